#pragma once
// Turns each valid live frame into the meter's reading and mirrors the meter's display on the
// control panel, touching only the elements that changed.
#include "link/LinkState.h"
#include "app/TDateTime.h"
#include "link/Protocol.h"
#include "link/Timer.h"
#include "panel/PanelDisplay.h"

#include <QByteArray>
#include <functional>
#include <optional>

struct Reading {
    float level = 0;      // dB, what the real-time recording gets
    int displayCount = 0; // tenths of a dB shown in the four digits
    bool recording = false;
};

// The reading of a 19-byte frame (no display work).
Reading decodeReading(const QByteArray &frame);
Reading decodeReading(const LiveStatus &status);

// Digit images for a display count: LCD index per place, the thousands place "1" or blank (10).
// Returns false for a count the display cannot show (above 1999): the digits are left as they are.
bool displayDigits(int count, int digits[4]);

// Width of the level bar in pixels for a level in dB (<= 0: nothing drawn).
int levelBarWidth(float level);

// The meter clock's time caption: "hh:mm:ss" with the system's time separator when the three
// BCD bytes read as a time of day, else the raw hexadecimal text joined by ":".
QString meterTimeText(quint8 hours, quint8 minutes, quint8 seconds, const QString &timeSeparator);

class ReadingDecoder {
public:
    ReadingDecoder(LinkState &state, Timer &maxMinTimer);

    // The control panel's display, or none while the panel is closed.
    void setPanel(PanelDisplay *panel) { m_panel = panel; }
    PanelDisplay *panel() const { return m_panel; }
    // Time separator used for the clock caption (the system's).
    void setTimeSeparator(const QString &sep) { m_timeSeparator = sep; }

    // Real-time hand-off: level and time stamp of each frame while a recording runs.
    std::function<void(float level, TDateTime t)> realTimeHandOff;
    // Whether the real-time graph window exists.
    std::function<bool()> realTimeWindowExists;

    // One valid frame, decoded at time t.
    void Decode(const QByteArray &frame, TDateTime t);
    // One tick of the MAX/MIN blink timer.
    void MaxMinTimerTimer();

    const Reading &lastReading() const { return m_last; }
    bool blinkState() const { return m_blinkOn; }

private:
    void drawIndicators(const LiveStatus &status);

    LinkState &m_state;
    Timer &m_maxMinTimer;
    PanelDisplay *m_panel = nullptr;
    QString m_timeSeparator = ":";
    Reading m_last;

    // Display caches: what the panel shows now.
    int m_shownDigit[4] = {-1, -1, -1, -1};
    std::optional<LiveStatus> m_shownIndicators;
    int m_lastSeconds = -1;
    int m_lastBattery = 5;
    bool m_blinkOn = false;
};
