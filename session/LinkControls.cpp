#include "session/LinkControls.h"

bool linkControlEnabled(Control control, const LinkState &state)
{
    switch (control) {
    case Control::btnRun:
    case Control::Run1:
        return state.Connected && !state.RealTimeRunning;
    case Control::btnStop:
    case Control::Stop1:
        return state.Connected && state.RealTimeRunning;
    case Control::btnDataLogger:
    case Control::DataLogger1:
        return !state.MeterLost;
    case Control::tbntClr:
        return !state.RealTimeRunning;
    }
    return false;
}
