#include "logger/BlockReceiver.h"

#include "link/Protocol.h"
#include "logger/LoggerExchange.h"

BlockReceiver::BlockReceiver(SerialPort &port, Clock &clock, QByteArray &loggerFrame)
    : m_port(port), m_clock(clock), m_frame(loggerFrame)
{
}

void BlockReceiver::answer(char command)
{
    m_frame[1] = command;
    m_port.write(m_frame);
}

QByteArray BlockReceiver::receive(const Rules &rules)
{
    using namespace Protocol::Logger;
    QByteArray data;
    int errors = 0;
    m_rejected = 0;
    auto reject = [&] {
        ++errors;
        ++m_rejected;
        if (rules.rejected)
            rules.rejected();
        answer(BlockRejected);
    };

    quint32 last = m_clock.tickMs();
    quint32 now = last;
    while (quint32(now - last) < NoBlockLimitMs) {
        const int received = int(data.size());
        const bool enough = rules.stopAtLength ? received >= rules.length : received > rules.length;
        if (enough || errors > MaxErrors) {
            answer(StopTransfer);
            break;
        }
        const int n = m_port.bytesWaiting();
        if (n >= BlockSize + 1) {
            const QByteArray block = m_port.read(BlockSize + 1);
            quint8 sum = 0;
            for (int i = 0; i < BlockSize; ++i)
                sum = quint8(sum + quint8(block.at(i)));
            if (sum == quint8(block.at(BlockSize))) {
                data.append(block.left(BlockSize));
                for (int i = 0; i < 10; ++i) {
                    answer(BlockAccepted);
                    if (waitForBytes(m_port, m_clock, 1, AcceptWaitMs, rules.fixedWaits) >= 1)
                        break;
                }
                if (rules.accepted)
                    rules.accepted(int(data.size()));
            } else {
                reject();
            }
            last = m_clock.tickMs();
        } else if (n > 0 && quint32(now - last) > PartialBlockLimitMs) {
            m_port.read(n);
            reject();
            last = m_clock.tickMs();
        }
        now = m_clock.tickMs();
    }
    return data;
}
