#pragma once
// The line from the computer to one simulated meter: the computer's bytes leave one after the
// other at 9600 baud and reach the meter when their last bit is in. The meter's own transmitter
// paces the other direction. With no meter (a device that never answers) the bytes vanish.
#include "sim/SimulatedMeter.h"

#include <deque>

class MeterWire {
public:
    explicit MeterWire(SimulatedMeter *meter = nullptr) : m_meter(meter) {}

    SimulatedMeter *meter() const { return m_meter; }

    // The computer hands bytes to the line at tUs.
    void send(const QByteArray &bytes, qint64 tUs);
    // Delivers what has reached the meter by tUs, runs the meter to tUs and returns the
    // meter's bytes that have arrived at the computer by then.
    QByteArray sync(qint64 tUs);
    // Delivers every byte still on its way, each at its own arrival time.
    void flush();
    // Throws away what has not reached the meter by tUs.
    void dropInFlight(qint64 tUs);
    // The next time something arrives at either end; SimulatedMeter::Never if nothing will.
    qint64 nextEventUs() const;

private:
    struct InFlight {
        qint64 arrivalUs;
        char byte;
    };
    void deliverUpTo(qint64 tUs);

    SimulatedMeter *m_meter;
    std::deque<InFlight> m_inFlight;
    qint64 m_txFreeUs = 0;
};
