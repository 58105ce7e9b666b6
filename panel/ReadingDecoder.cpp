#include "panel/ReadingDecoder.h"

#include "app/Catalogue.h"
#include "link/LiveFrame.h"

#include <QTime>
#include <cmath>

namespace {
QString hex2(quint8 v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

Reading decodeReading(const QByteArray &f)
{
    return decodeReading(LiveStatus::parse(f));
}

Reading decodeReading(const LiveStatus &s)
{
    Reading r;
    r.recording = s.recording;
    const int current = (s.recallShown && !s.maxMin) ? s.levelBcd : s.levelWord;
    r.level = float(current) * 0.1f;
    r.displayCount = current;
    if (s.maxMin) {
        switch (s.selector) {
        case MaxMinSelector::Max: r.displayCount = s.maximumWord; break;
        case MaxMinSelector::Min: r.displayCount = s.minimumWord; break;
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

ReadingDecoder::ReadingDecoder(LinkState &state, Timer &maxMinTimer) : m_state(state), m_maxMinTimer(maxMinTimer)
{
}

void ReadingDecoder::Decode(const QByteArray &f, TDateTime t)
{
    if (f.size() < LiveFrame::Size)
        return;
    const LiveStatus s = LiveStatus::parse(f);
    m_last = decodeReading(s);
    m_state.MeterRecording = m_last.recording;

    if (PanelDisplay *p = m_panel) {
        p->setClockVisible(s.clockShown);
        if (s.recallShown) {
            p->setRecallShown(true);
            p->setReadNo(QString::number(s.recallNumber));
        } else {
            p->setRecallShown(false);
        }

        if (s.seconds != m_lastSeconds) {
            p->setTimeText(meterTimeText(s.hours, s.minutes, s.seconds, m_timeSeparator));
            p->setDateText(hex2(s.date[0]) + '-' + hex2(s.date[1]) + '-' + hex2(s.date[2]));
            m_lastSeconds = s.seconds;
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

        if (!m_shownIndicators || !s.sameIndicators(*m_shownIndicators) || m_state.PanelRefresh)
            drawIndicators(s);

        p->setBarWidth(levelBarWidth(m_last.level));
        m_state.PanelRefresh = false;
    }

    if (m_state.RealTimeRunning && realTimeHandOff && (!realTimeWindowExists || realTimeWindowExists()))
        realTimeHandOff(m_last.level, t);
}

void ReadingDecoder::drawIndicators(const LiveStatus &s)
{
    PanelDisplay *p = m_panel;
    if (!s.maxMin) {
        m_maxMinTimer.setEnabled(false);
        p->setMaxShown(false);
        p->setMinShown(false);
    } else {
        switch (s.selector) {
        case MaxMinSelector::None: m_maxMinTimer.setEnabled(false); break;
        case MaxMinSelector::Max:
            p->setMaxShown(true);
            p->setMinShown(false);
            m_maxMinTimer.setEnabled(false);
            break;
        case MaxMinSelector::Min:
            p->setMaxShown(false);
            p->setMinShown(true);
            m_maxMinTimer.setEnabled(false);
            break;
        case MaxMinSelector::Both:
            if (!m_maxMinTimer.isEnabled())
                m_maxMinTimer.setEnabled(true);
            break;
        }
    }

    if (s.recording)
        p->setRecText(LoadStr(12));
    else if (s.memoryFull)
        p->setRecText(LoadStr(13));
    else
        p->setRecText(QString());
    p->setAutoOffShown(false);
    p->setFastText(s.fast ? LoadStr(15) : LoadStr(14));
    p->setWeightingText(s.weightingA ? QStringLiteral("dBA") : QStringLiteral("dBC"));
    p->setUnderShown(s.under);
    p->setOverShown(s.over);

    if (s.battery != m_lastBattery || m_state.PanelRefresh) {
        p->setBatteryBar(s.battery);
        m_lastBattery = s.battery;
    }
    m_shownIndicators = s;
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
