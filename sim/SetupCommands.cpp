// The simulated meter's service frames: the set-up session opened by 'c', the clock setting
// ("rtc" followed by the clock frame), the recording interval, erase and restart, the firmware
// version and clock replies, and the calibration frame.
#include "sim/SimulatedMeter.h"

namespace {
quint8 bcd(int v)
{
    return quint8(((v / 10 % 10) << 4) | (v % 10));
}
int fromBcd(char b)
{
    return (quint8(b) >> 4) * 10 + (quint8(b) & 0x0F);
}
bool spells(const QByteArray &frame, const char *word)
{
    for (int i = 0; word[i]; ++i)
        if (frame[1 + i] != word[i])
            return false;
    return true;
}
} // namespace

bool SimulatedMeter::dispatchSetup(const QByteArray &frame)
{
    if (m_expectClock) {
        // The frame after "rtc" is the new clock, whatever its bytes look like.
        m_expectClock = false;
        const QDateTime t(QDate(2000 + fromBcd(frame[1]), fromBcd(frame[2]), fromBcd(frame[3])),
                          QTime(fromBcd(frame[4]), fromBcd(frame[5]), fromBcd(frame[6])));
        if (t.isValid())
            setClock(t);
        reply(frame, EchoDelayUs);
        return true;
    }
    switch (frame[1]) {
    case 'c':
        // Set-up session: the live stream pauses.
        m_setupMode = true;
        std::erase_if(m_pending, [](const Pending &p) { return p.action == Action::LiveFrame; });
        return true;
    case 'a':
        m_setupMode = false;
        return false; // the live stream starts as usual
    case 'J':
        m_calibrations.append({quint8(frame[3]), quint8(frame[2])});
        return true;
    case 'V':
        reply(QByteArray("K352-4FW", 8) + char(m_firmware), EchoDelayUs);
        return true;
    default:
        break;
    }
    if (spells(frame, "rtc")) {
        m_expectClock = true;
        reply(frame, EchoDelayUs);
        return true;
    }
    if (spells(frame, "ti")) {
        const QDateTime now = clockAt(m_nowUs);
        QByteArray r(8, '\0');
        r[0] = char(bcd(now.date().year() % 100));
        r[2] = char(bcd(now.date().month()));
        r[3] = char(bcd(now.date().day()));
        r[4] = char(bcd(now.time().hour()));
        r[5] = char(bcd(now.time().minute()));
        r[6] = char(bcd(now.time().second()));
        reply(r, EchoDelayUs);
        return true;
    }
    if (spells(frame, "int")) {
        m_logger.setInterval(quint8(frame[4]), quint8(frame[5]));
        reply(frame, EchoDelayUs);
        return true;
    }
    if (spells(frame, "erase")) {
        m_transfer.stop();
        m_logger.erase();
        return true;
    }
    if (spells(frame, "boot")) {
        m_transfer.stop();
        m_setupMode = false;
        m_state.recording = false;
        m_state.maxMinMode = false;
        m_state.maxMinSelector = 0;
        m_state.recallDisplay = false;
        m_state.extremesValid = false;
        ++m_boots;
        return true;
    }
    return false;
}
