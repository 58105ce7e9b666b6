#pragma once
// The system clock, which can also keep the windows painted while a busy wait spins on it: while
// painting is on, every tick read that comes at least a frame after the last one lets the event
// loop run once, without user input and without serial receive events. The start-up search for
// the meter waits several seconds on this clock; without it the splash and the main window stay
// black (unpainted) meanwhile.
#include "link/Clock.h"

#include <QElapsedTimer>

class PaintingClock : public SystemClock {
public:
    quint32 tickMs() override;

    // Turns the painting on or off; returns the previous setting.
    bool setPainting(bool on);

private:
    bool m_painting = false;
    bool m_inside = false;
    QElapsedTimer m_sinceLast;
};
