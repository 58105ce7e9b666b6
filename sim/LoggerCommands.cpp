// The simulated meter's logger commands: memory byte reads and writes, and the block transfer.
#include "sim/SimulatedMeter.h"

bool SimulatedMeter::dispatchLogger(const QByteArray &frame)
{
    const char command = frame[1];
    const int address = ((quint8(frame[3]) << 16) | (quint8(frame[4]) << 8) | quint8(frame[5])) & 0xFFFF;
    if (m_transfer.isActive()) {
        switch (command) {
        case 'y':
            reply(m_transfer.next(), EchoDelayUs);
            return true;
        case 'n':
            reply(m_transfer.again(), EchoDelayUs);
            return true;
        case 'Q':
            // End of the transfer: back to the live stream.
            m_transfer.stop();
            requestFrame();
            return true;
        default:
            m_transfer.stop(); // any other command ends a transfer the computer gave up
            break;
        }
    }
    switch (command) {
    case 'r':
        if (frame[2] != 'E')
            return false;
        reply(frame + QByteArray(1, char(m_logger.at(address))), EchoDelayUs);
        return true;
    case 'w':
        if (frame[2] != 'E')
            return false;
        m_logger.write(address, quint8(frame[6]));
        if (!m_echoWrites)
            return true;
        // In a set-up session the meter also reports the byte now at the address.
        reply(m_setupMode ? frame + QByteArray(1, char(m_logger.at(address))) : frame, EchoDelayUs);
        return true;
    case 'P':
        reply(frame, EchoDelayUs);
        reply(m_transfer.start(), EchoDelayUs + 8 * ByteUs + EchoBlockPauseUs);
        return true;
    case 'y':
    case 'n':
        return true; // nothing to accept or reject
    default:
        return false;
    }
}
