#pragma once
// The receiving side of the logger's block transfer on Comm1, once the meter has echoed the start
// 'P': blocks of 64 data bytes and their sum come in; each good block is answered 'y', a bad or
// incomplete one 'n' (the meter sends it again). The transfer is stopped with 'Q' when enough has
// come or too many blocks failed, and ends by itself when the meter falls silent.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <functional>

class BlockReceiver {
public:
    struct Rules {
        int length = 0;               // the bytes wanted
        bool stopAtLength = false;    // 'Q' once length bytes are in; otherwise only once more are
        bool fixedWaits = false;      // the wait for the next block after a 'y' always runs in full
        std::function<void(int received)> accepted; // after each accepted block
        std::function<void()> rejected;             // before the 'n' of each rejected block
    };

    static constexpr int MaxErrors = 20;
    static constexpr quint32 NoBlockLimitMs = 3000;
    static constexpr quint32 PartialBlockLimitMs = 1500;
    static constexpr quint32 AcceptWaitMs = 100;

    // loggerFrame: the frame whose command byte is set for each answer (the other bytes go out as
    // they stand).
    BlockReceiver(SerialPort &port, Clock &clock, QByteArray &loggerFrame);

    // Runs the transfer; the data bytes of the accepted blocks, in order.
    QByteArray receive(const Rules &rules);
    int blocksRejected() const { return m_rejected; }

private:
    void answer(char command);

    SerialPort &m_port;
    Clock &m_clock;
    QByteArray &m_frame;
    int m_rejected = 0;
};
