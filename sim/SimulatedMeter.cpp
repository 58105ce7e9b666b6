#include "sim/SimulatedMeter.h"
#include "link/LiveFrame.h"

#include <algorithm>
#include <cmath>

namespace {
quint8 bcd(int value)
{
    value = std::clamp(value, 0, 99);
    return quint8(((value / 10) << 4) | (value % 10));
}

void putCount(QByteArray &frame, int offset, int count)
{
    const quint16 c = quint16(std::clamp(count, 0, 0xFFFF));
    frame[offset] = char(c >> 8);
    frame[offset + 1] = char(c & 0xFF);
}
} // namespace

quint8 MeterState::statusA() const
{
    quint8 a = 0;
    if (recording)
        a |= 0x01;
    if (maxMinMode)
        a |= 0x04;
    if (weightingA)
        a |= 0x08;
    if (fast)
        a |= 0x10;
    if (underRange)
        a |= 0x40;
    if (overRange)
        a |= 0x80;
    return a;
}

quint8 MeterState::statusB() const
{
    quint8 b = quint8(std::clamp(battery, 0, 3));
    b |= maxMinSelector & 0x0C;
    if (memoryFull)
        b |= 0x10;
    if (showClock)
        b |= 0x20;
    if (recallDisplay)
        b |= 0x40;
    return b;
}

SimulatedMeter::SimulatedMeter(const QDateTime &clockStart, quint32 seed)
    : m_clockStart(clockStart), m_rng(seed), m_levels(m_rng)
{
    m_logger.setReadings(LoggerMemory::standardReadings());
    m_logger.store(LoggerMemory::standardSets());
}

QDateTime SimulatedMeter::clockAt(qint64 tUs) const
{
    return m_clockStart.addMSecs(tUs / 1000);
}

void SimulatedMeter::setClock(const QDateTime &shownNow)
{
    m_clockStart = shownNow.addMSecs(-(m_nowUs / 1000));
}

QByteArray SimulatedMeter::liveFrame(const MeterState &s, const QDateTime &clock)
{
    QByteArray f(LiveFrame::Size, '\0');
    f[0] = LiveFrame::Stx;
    f[1] = char(s.statusA());
    f[2] = char(s.statusB());
    f[3] = char(s.recallNumber);
    if (s.recallDisplay && !s.maxMinMode) {
        const int v = std::clamp(int(s.recallValue), 0, 9999);
        f[5] = char(bcd(v / 100));
        f[6] = char(bcd(v % 100));
    } else {
        putCount(f, 5, s.level);
    }
    putCount(f, 7, s.maxLevel);
    putCount(f, 9, s.minLevel);
    const QTime t = clock.time();
    const QDate d = clock.date();
    f[11] = char(bcd(t.hour()));
    f[12] = char(bcd(t.minute()));
    f[13] = char(bcd(t.second()));
    f[14] = char(bcd(d.year() % 100));
    f[15] = char(bcd(d.month()));
    f[16] = char(bcd(d.day()));
    f[LiveFrame::SumOffset] = char(LiveFrame::checksum(f.constData()));
    f[18] = LiveFrame::Etx;
    return f;
}

bool SimulatedMeter::isSilent() const
{
    return m_silentUntil == Never || m_silentUntil > m_nowUs;
}

void SimulatedMeter::receive(char byte, qint64 tUs)
{
    advanceTo(tUs);
    if (!m_on || isSilent())
        return;
    m_input.append(byte);
    while (!m_input.isEmpty()) {
        if (m_input[0] != 0x02) {
            const qsizetype stx = m_input.indexOf(char(0x02));
            m_input.remove(0, stx < 0 ? m_input.size() : stx);
            continue;
        }
        if (m_input.size() < 8)
            break;
        if (m_input[7] != 0x03) {
            m_input.remove(0, 1); // that 0x02 was not the start of a frame
            continue;
        }
        const QByteArray frame = m_input.left(8);
        m_input.remove(0, 8);
        m_received.append({m_nowUs, frame});
        dispatch(frame);
    }
}

void SimulatedMeter::dispatch(const QByteArray &frame)
{
    if (dispatchSetup(frame))
        return;
    if (dispatchLogger(frame))
        return;
    switch (frame[1]) {
    case 'K':
        reply(m_identification, IdentDelayUs);
        break;
    case 'X': // acknowledgement of the last live frame
    case 'a': // start the live stream
    case 'A': // poll while the computer has lost us
        requestFrame();
        break;
    case 'F':
    case 'C':
    case 'E':
    case 'M':
    case 'N':
    case 'T':
    case 'R':
    case 'Q':
    case 'S':
    case 'e':
        pressKey(frame[1]);
        reply(frame, EchoDelayUs);
        break;
    case 'l':
    case 'W':
    case 'L':
        pressKey(frame[1]); // keys the meter takes without an echo
        break;
    default:
        break; // not understood: no answer
    }
}

void SimulatedMeter::pressKey(char key)
{
    MeterState &s = m_state;
    switch (key) {
    case 'F': s.fast = !s.fast; break;
    case 'C': s.weightingA = !s.weightingA; break;
    case 'E': // REC starts and stops logging; a full memory refuses to start
        s.recording = !s.recording && !s.memoryFull;
        break;
    case 'M': // MAX/MIN: enter showing MAX, then MIN, then both (blinking), then MAX again
        if (!s.maxMinMode) {
            s.maxMinMode = true;
            s.maxMinSelector = 0x04;
            s.extremesValid = false;
        } else {
            s.maxMinSelector = s.maxMinSelector == 0x04 ? 0x08 : s.maxMinSelector == 0x08 ? 0x0C : 0x04;
        }
        break;
    case 'N': // MAX/MIN held: leave the mode
        s.maxMinMode = false;
        s.maxMinSelector = 0;
        break;
    case 'R': // MEM: store the current level as a single value
        if (s.storedValues.size() < 99) {
            s.storedValues.append(quint16(std::clamp(s.level, 0, 9999)));
            m_logger.addReading({clockAt(m_nowUs), s.weightingA, s.fast, s.storedValues.last(), false});
        }
        break;
    case 'e': // erase the logger memory
        m_logger.erase();
        break;
    case 'Q': // RECALL: show the newest stored value, or back to measuring
        if (s.recallDisplay || s.storedValues.isEmpty()) {
            s.recallDisplay = false;
        } else {
            s.recallDisplay = true;
            s.recallNumber = qint8(s.storedValues.size());
            s.recallValue = s.storedValues.last();
        }
        break;
    case 'L': // DOWN: the previous stored value while recalling
        if (s.recallDisplay && !s.storedValues.isEmpty()) {
            int n = s.recallNumber - 1;
            if (n < 1)
                n = int(s.storedValues.size());
            s.recallNumber = qint8(n);
            s.recallValue = s.storedValues[n - 1];
        }
        break;
    case 'S': s.showClock = !s.showClock; break; // clock display on and off
    default: break; // INTV, LEVEL, backlight: nothing the live frame shows
    }
}

void SimulatedMeter::reply(const QByteArray &bytes, qint64 delayUs)
{
    schedule(m_nowUs + delayUs, Action::Bytes, bytes);
}

void SimulatedMeter::requestFrame()
{
    for (const Pending &p : m_pending)
        if (p.action == Action::LiveFrame)
            return; // already due; acknowledgements do not pile up
    schedule(std::max(m_nowUs + FrameDelayUs, m_lastFrameStartUs + FramePeriodUs), Action::LiveFrame);
}

void SimulatedMeter::schedule(qint64 atUs, Action action, const QByteArray &bytes)
{
    auto it = std::upper_bound(m_pending.begin(), m_pending.end(), atUs,
                               [](qint64 t, const Pending &p) { return t < p.atUs; });
    m_pending.insert(it, Pending{atUs, action, bytes});
}

void SimulatedMeter::advanceTo(qint64 tUs)
{
    for (;;) {
        qint64 next = m_pending.empty() ? Never : m_pending.front().atUs;
        const bool silenceEnds = m_silentUntil != Never && m_silentUntil > m_nowUs && m_silentUntil <= next;
        if (silenceEnds)
            next = m_silentUntil;
        if (next > tUs)
            break;
        m_nowUs = std::max(m_nowUs, next);
        if (silenceEnds) {
            m_silentUntil = 0;
            continue;
        }
        const Pending p = m_pending.front();
        m_pending.erase(m_pending.begin());
        if (!m_on || isSilent())
            continue;
        if (p.action == Action::LiveFrame)
            sendLiveFrame();
        else
            transmit(p.bytes);
    }
    m_nowUs = std::max(m_nowUs, tUs);
}

void SimulatedMeter::startSpell(double db, qint64 ms)
{
    m_spellLevel = db;
    m_spellUntilUs = m_nowUs + ms * 1000;
}

void SimulatedMeter::measure()
{
    const double dt = double(m_nowUs - m_lastMeasureUs) / 1e6;
    m_lastMeasureUs = m_nowUs;
    // The C weighting lets the low rumble through as well: a little more level.
    double db = m_levels.step(dt, m_state.fast) + (m_state.weightingA ? 0.0 : 2.5);
    if (m_nowUs < m_spellUntilUs)
        db = m_spellLevel;
    else if (m_steadyLevel)
        db = *m_steadyLevel;
    m_state.level = int(std::lround(std::clamp(db, LevelModel::Lowest, LevelModel::Highest) * 10));
    if (!m_state.extremesValid) {
        m_state.maxLevel = m_state.minLevel = m_state.level;
        m_state.extremesValid = true;
    }
    m_state.maxLevel = std::max(m_state.maxLevel, m_state.level);
    m_state.minLevel = std::min(m_state.minLevel, m_state.level);
}

void SimulatedMeter::sendLiveFrame()
{
    measure();
    QByteArray frame = liveFrame(m_state, clockAt(m_nowUs));
    if (m_corruptNext) {
        frame[LiveFrame::SumOffset] = char(quint8(frame[LiveFrame::SumOffset]) + 1);
        m_corruptNext = false;
    }
    qint64 start;
    if (m_splitPauseUs > 0) {
        const int half = LiveFrame::Size / 2;
        start = transmit(frame.left(half));
        m_txFreeUs += m_splitPauseUs; // the transmitter stalls; whatever follows waits too
        transmit(frame.mid(half));
        m_splitPauseUs = 0;
    } else {
        start = transmit(frame);
    }
    m_lastFrameStartUs = start;
    m_sent.append({start, frame});
}

qint64 SimulatedMeter::transmit(const QByteArray &bytes)
{
    const qint64 first = std::max(m_nowUs, m_txFreeUs);
    m_txFreeUs = first;
    m_bytesTransmitted += bytes.size();
    for (char b : bytes) {
        m_txFreeUs += ByteUs;
        m_output.push_back({m_txFreeUs, b});
    }
    return first;
}

QByteArray SimulatedMeter::takeOutput(qint64 uptoUs)
{
    advanceTo(uptoUs);
    QByteArray out;
    while (!m_output.empty() && m_output.front().readyUs <= uptoUs) {
        out.append(m_output.front().byte);
        m_output.pop_front();
    }
    return out;
}

qint64 SimulatedMeter::nextEventUs() const
{
    qint64 next = m_pending.empty() ? Never : m_pending.front().atUs;
    if (!m_output.empty())
        next = std::min(next, m_output.front().readyUs);
    if (m_silentUntil != Never && m_silentUntil > m_nowUs)
        next = std::min(next, m_silentUntil);
    return next;
}

void SimulatedMeter::injectNoise(const QByteArray &bytes)
{
    if (m_on)
        transmit(bytes);
}

void SimulatedMeter::injectNoise(int count)
{
    std::uniform_int_distribution<int> byteDist(0, 255);
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(byteDist(m_rng)));
    injectNoise(bytes);
}

void SimulatedMeter::corruptNextChecksum()
{
    m_corruptNext = true;
}

void SimulatedMeter::splitNextFrame(int pauseMs)
{
    m_splitPauseUs = qint64(std::max(pauseMs, 0)) * 1000;
}

void SimulatedMeter::silence(qint64 ms)
{
    m_silentUntil = ms < 0 ? Never : m_nowUs + ms * 1000;
    m_pending.clear();
    m_input.clear();
}

void SimulatedMeter::resume()
{
    m_silentUntil = 0;
}

void SimulatedMeter::powerOff()
{
    if (!m_on)
        return;
    m_on = false;
    // The line goes quiet at once: what had not left the transmitter is lost.
    while (!m_output.empty() && m_output.back().readyUs > m_nowUs)
        m_output.pop_back();
    m_txFreeUs = m_nowUs;
    m_pending.clear();
    m_input.clear();
    m_silentUntil = 0;
}

void SimulatedMeter::powerOn()
{
    if (m_on)
        return;
    m_on = true;
    // A fresh start of the measurement; settings and the clock survive.
    m_state.maxMinMode = false;
    m_state.maxMinSelector = 0;
    m_state.recallDisplay = false;
    m_state.extremesValid = false;
    m_lastMeasureUs = m_nowUs;
}
