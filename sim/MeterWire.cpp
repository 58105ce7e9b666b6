#include "sim/MeterWire.h"

#include <algorithm>

void MeterWire::send(const QByteArray &bytes, qint64 tUs)
{
    qint64 t = std::max(tUs, m_txFreeUs);
    for (char b : bytes) {
        t += SimulatedMeter::ByteUs;
        if (m_meter)
            m_inFlight.push_back({t, b});
    }
    m_txFreeUs = t;
}

void MeterWire::deliverUpTo(qint64 tUs)
{
    while (!m_inFlight.empty() && m_inFlight.front().arrivalUs <= tUs) {
        const InFlight b = m_inFlight.front();
        m_inFlight.pop_front();
        m_meter->receive(b.byte, b.arrivalUs);
    }
}

QByteArray MeterWire::sync(qint64 tUs)
{
    if (!m_meter)
        return {};
    deliverUpTo(tUs);
    return m_meter->takeOutput(tUs);
}

void MeterWire::flush()
{
    if (m_meter)
        deliverUpTo(SimulatedMeter::Never);
}

void MeterWire::dropInFlight(qint64 tUs)
{
    while (!m_inFlight.empty() && m_inFlight.back().arrivalUs > tUs)
        m_inFlight.pop_back();
    m_txFreeUs = std::min(m_txFreeUs, tUs);
}

qint64 MeterWire::nextEventUs() const
{
    if (!m_meter)
        return SimulatedMeter::Never;
    qint64 next = m_meter->nextEventUs();
    if (!m_inFlight.empty())
        next = std::min(next, m_inFlight.front().arrivalUs);
    return next;
}
