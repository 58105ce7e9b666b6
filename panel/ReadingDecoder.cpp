#include "panel/ReadingDecoder.h"

#include "app/Catalogue.h"

#include <QTime>
#include <cmath>

namespace {
quint8 byteAt(const QByteArray &f, int i)
{
    return quint8(f.at(i));
}
int word(const QByteArray &f, int i)
{
    return (byteAt(f, i) << 8) | byteAt(f, i + 1);
}
// Four BCD digits, high nibble of the first byte first. A nibble above 9 counts as its value,
// as the meter never sends one.
int bcdWord(const QByteArray &f, int i)
{
    const quint8 hi = byteAt(f, i), lo = byteAt(f, i + 1);
    return (hi >> 4) * 1000 + (hi & 0x0F) * 100 + (lo >> 4) * 10 + (lo & 0x0F);
}
QString hex2(quint8 v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

constexpr quint8 A_REC = 0x01, A_MAXMIN = 0x04, A_WEIGHT_A = 0x08, A_FAST = 0x10, A_UNDER = 0x40, A_OVER = 0x80;
constexpr quint8 B_BATTERY = 0x03, B_SELECTOR = 0x0C, B_FULL = 0x10, B_CLOCK = 0x20, B_RECALL = 0x40;
} // namespace

Reading decodeReading(const QByteArray &f)
{
    Reading r;
    const quint8 a = byteAt(f, 1), b = byteAt(f, 2);
    r.recording = a & A_REC;
    const bool maxMin = a & A_MAXMIN;
    const int current = ((b & B_RECALL) && !maxMin) ? bcdWord(f, 5) : word(f, 5);
    r.level = float(current) * 0.1f;
    r.displayCount = current;
    if (maxMin) {
        switch (b & B_SELECTOR) {
        case 0x04: r.displayCount = word(f, 7); break;
        case 0x08: r.displayCount = word(f, 9); break;
        default: break;
        }
    }
    return r;
}

bool displayDigits(int d, int digits[4])
{
    // The display has a half digit in front: 199.9 dB is the most it can show. A larger count
    // (never sent by the meter) would lose its thousands digit and show a wrong level, so the
    // digits are left as they are.
    if (d < 0 || d > 1999)
        return false;
    const int d1 = d / 1000, d2 = (d % 1000) / 100, d3 = (d % 100) / 10, d4 = d % 10;
    digits[0] = d1 == 1 ? 1 : 10;
    digits[1] = d2;
    digits[2] = d3;
    digits[3] = d4;
    return true;
}

int levelBarWidth(float level)
{
    int n = int(std::trunc((double(level) - 30.0) * 0.5));
    if (n > 50)
        n = 50;
    return 2 * n + 1;
}

QString meterTimeText(quint8 h, quint8 m, quint8 s, const QString &sep)
{
    const QString raw = hex2(h) + ':' + hex2(m) + ':' + hex2(s);
    const QTime t = QTime::fromString(raw, QStringLiteral("hh:mm:ss"));
    if (!t.isValid())
        return raw;
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(t.hour()) + sep + two(t.minute()) + sep + two(t.second());
}

ReadingDecoder::ReadingDecoder(SharedState &state, Timer &maxMinTimer) : m_state(state), m_maxMinTimer(maxMinTimer)
{
}

void ReadingDecoder::Decode(const QByteArray &f, TDateTime t)
{
    if (f.size() < 19)
        return;
    const quint8 a = byteAt(f, 1), b = byteAt(f, 2);
    m_last = decodeReading(f);
    m_state.MeterRecording = m_last.recording;

    if (PanelDisplay *p = m_panel) {
        p->setClockVisible(b & B_CLOCK);
        if (b & B_RECALL) {
            p->setRecallShown(true);
            p->setReadNo(QString::number(qint8(byteAt(f, 3))));
        } else {
            p->setRecallShown(false);
        }

        const quint8 seconds = byteAt(f, 13);
        if (seconds != m_lastSeconds) {
            p->setTimeText(meterTimeText(byteAt(f, 11), byteAt(f, 12), seconds, m_timeSeparator));
            p->setDateText(hex2(byteAt(f, 14)) + '-' + hex2(byteAt(f, 15)) + '-' + hex2(byteAt(f, 16)));
            m_lastSeconds = seconds;
        }

        int digits[4];
        if (displayDigits(m_last.displayCount, digits)) {
            for (int i = 0; i < 4; ++i) {
                if (digits[i] != m_shownDigit[i] || m_state.PanelRefresh) {
                    p->setDigit(i, digits[i]);
                    m_shownDigit[i] = digits[i];
                }
            }
        }

        if (a != m_lastA || b != m_lastB || m_state.PanelRefresh)
            drawIndicators(a, b);

        p->setBarWidth(levelBarWidth(m_last.level));
        m_state.PanelRefresh = false;
    }

    if (m_state.RealTimeRunning && realTimeHandOff && (!realTimeWindowExists || realTimeWindowExists()))
        realTimeHandOff(m_last.level, t);
}

void ReadingDecoder::drawIndicators(quint8 a, quint8 b)
{
    PanelDisplay *p = m_panel;
    if (!(a & A_MAXMIN)) {
        m_maxMinTimer.setEnabled(false);
        p->setMaxShown(false);
        p->setMinShown(false);
    } else {
        switch (b & B_SELECTOR) {
        case 0x00: m_maxMinTimer.setEnabled(false); break;
        case 0x04:
            p->setMaxShown(true);
            p->setMinShown(false);
            m_maxMinTimer.setEnabled(false);
            break;
        case 0x08:
            p->setMaxShown(false);
            p->setMinShown(true);
            m_maxMinTimer.setEnabled(false);
            break;
        default:
            if (!m_maxMinTimer.isEnabled())
                m_maxMinTimer.setEnabled(true);
            break;
        }
    }

    if (a & A_REC)
        p->setRecText(LoadStr(12));
    else if (b & B_FULL)
        p->setRecText(LoadStr(13));
    else
        p->setRecText(QString());
    p->setAutoOffShown(false);
    p->setFastText((a & A_FAST) ? LoadStr(15) : LoadStr(14));
    p->setWeightingText((a & A_WEIGHT_A) ? QStringLiteral("dBA") : QStringLiteral("dBC"));
    p->setUnderShown(a & A_UNDER);
    p->setOverShown(a & A_OVER);

    const int battery = b & B_BATTERY;
    if (battery != m_lastBattery || m_state.PanelRefresh) {
        p->setBatteryBar(battery);
        m_lastBattery = battery;
    }
    m_lastA = a;
    m_lastB = b;
}

void ReadingDecoder::MaxMinTimerTimer()
{
    m_state.MaxMinBusy = true;
    m_blinkOn = !m_blinkOn;
    if (m_panel) {
        m_panel->setMaxShown(m_blinkOn);
        m_panel->setMinShown(m_blinkOn);
    }
    m_state.MaxMinBusy = false;
}
