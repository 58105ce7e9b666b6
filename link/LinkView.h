#pragma once
// What the link logic changes on the screen. The main window implements it; tests record it.
#include <QString>

enum class Control { btnRun, Run1, btnStop, Stop1, btnDataLogger, DataLogger1, tbntClr };

class LinkView {
public:
    virtual ~LinkView() = default;

    virtual void setControlEnabled(Control control, bool enabled) = 0;
    virtual void setControlVisible(Control control, bool visible) = 0;
    // Status bar: panel 0 the port name, panel 1 the connection state.
    virtual void setStatus(const QString &port, const QString &state) = 0;
    // Hidden diagnostic label: checksum failures "/" candidate frames.
    virtual void setDiagnostics(const QString &text) = 0;
    // The port list's entries or selection changed.
    virtual void portListChanged() = 0;
    // A one-time notice to the user (for example a port that may not be opened).
    virtual void notice(const QString &text) = 0;

    // Start-up splash.
    virtual bool splashOpen() const = 0;
    virtual void setSplashStatus(const QString &text) = 0;
    virtual void closeSplash() = 0;

    // Control panel: whether it exists, its "no connection" label, and its connected look
    // (base artwork hidden, REC text empty, clock shown).
    virtual bool panelOpen() const = 0;
    virtual void setPanelNoConnection(bool shown) = 0;
    virtual void setPanelConnectedLook() = 0;

    virtual bool realTimeWindowExists() const = 0;
};
