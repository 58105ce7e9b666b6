#pragma once
// The stored-values recall on Comm1: the link taken from the live stream and drained, the block
// transfer of the first 1024 bytes of the meter's memory, and the rows of the single-values
// window. Runs on the user-interface thread and blocks it; delays are busy waits on the clock.
#include "link/LinkState.h"
#include "link/Clock.h"
#include "link/PortLease.h"
#include "link/SerialPort.h"
#include "link/Timer.h"
#include "logger/RecallUi.h"
#include "logger/StoredValues.h"

#include <functional>

class SingleValuesRecall {
public:
    struct Outcome {
        enum class Kind { NotConnected, Recording, Finished, Aborted };
        using enum Kind;
        Kind kind = Finished;
        QByteArray memory;              // the bytes received (at most 1024 kept in the rows)
        QList<StoredReading> readings;  // what the rows show
    };

    SingleValuesRecall(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, RecallUi &ui,
                       std::function<void()> processEvents = {});

    // What is re-attached to the port at the end; empty: the handler attached when the command
    // starts.
    void setReceiveHandler(SerialPort::RxHandler handler) { m_receiveHandler = std::move(handler); }

    // The whole command: window, refusals, transfer, rows, link handed back. Port errors end it
    // silently (Aborted), the link still handed back.
    Outcome RECALL1Click();
    // Stops the main timer, detaches the receive handler and drains what the live stream had on
    // its way.
    void PrepareRecallLink(PortLease &lease);
    // The block transfer; the bytes received.
    QByteArray ReadSingleValues();

    int blocksRejected() const { return m_rejected; }

private:
    // The port taken from the live link, the transfer, the rows, the port handed back.
    void runTransfer(Outcome &out);

    LinkState &m_state;
    SerialPort &m_port;
    Clock &m_clock;
    Timer &m_timer;
    RecallUi &m_ui;
    std::function<void()> m_processEvents;
    SerialPort::RxHandler m_receiveHandler;
    int m_rejected = 0;
};
