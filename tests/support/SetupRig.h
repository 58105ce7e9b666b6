#pragma once
// The logger set-up operations against the simulated meter on virtual time: Comm1 and Comm2 as two
// in-process ports on the same device, each watched so that a moment with both open is noticed.
#include "link/LinkState.h"
#include "app/TDateTime.h"
#include "logger/LoggerSetup.h"
#include "sim/SimPort.h"
#include "support/ServiceUis.h"
#include "support/WatchedPort.h"

struct SetupRig {
    VirtualClock clock;
    SimulatedMeter meter;
    SimPort port1{clock}, port2{clock};
    OpenWatch watch;
    WatchedPort comm1{port1, watch, "Comm1"}, comm2{port2, watch, "Comm2"};
    LinkState state;
    ManualTimer timer{1000};
    ScriptedSetupUi ui;
    LoggerSetup setup{state, comm1, comm2, clock, timer, ui};
    int handlerCalls = 0;

    explicit SetupRig(const QDateTime &computerNow = QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)),
                      bool meterPresent = true)
        : clock(toTDateTime(computerNow)), meter(QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0)))
    {
        port1.addDevice("ttyUSB0", &meter);
        if (meterPresent)
            port2.addDevice("ttyUSB0", &meter);
        comm1.setDeviceName("ttyUSB0");
        comm1.open();
        comm1.setRxHandler([this] {
            ++handlerCalls;
            port1.read(port1.bytesWaiting());
        });
        state.Connected = true;
        state.DateSeparator = ".";
        state.DateOrder = 1;
        timer.setEnabled(true);
    }
    // The 8-byte frames written on a port.
    static QList<QByteArray> frames(const SimPort &p)
    {
        QList<QByteArray> out;
        const QByteArray all = p.written();
        for (int i = 0; i + 8 <= all.size(); i += 8)
            out << all.mid(i, 8);
        return out;
    }
    // The end of every operation: Comm2 closed, Comm1 open again with its handler, 'a' written on
    // it last, the timer running, never both open.
    bool handedBack() const
    {
        return !port2.isOpen() && port1.isOpen() && port1.rxHandler() && timer.isEnabled() && watch.overlaps == 0
               && port1.written().endsWith(QByteArray("\x02\x61\0\0\0\0\0\x03", 8));
    }
};
