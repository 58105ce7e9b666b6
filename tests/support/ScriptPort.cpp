#include "support/ScriptPort.h"

#include <cerrno>

void ScriptPort::feed(const QByteArray &bytes, qint64 delayUs)
{
    const qint64 at = m_clock.elapsedUs() + delayUs;
    for (char b : bytes)
        m_input.append({at, b});
}

QByteArray ScriptPort::allWritten() const
{
    QByteArray all;
    for (const Write &w : m_writes)
        all += w.bytes;
    return all;
}

bool ScriptPort::deliver()
{
    if (!m_open || !m_handler || bytesWaiting() == 0)
        return false;
    RxHandler h = m_handler;
    h();
    return true;
}

void ScriptPort::setDeviceName(const QString &name)
{
    if (m_open)
        raise(PortError(PortMessages::OpenPort));
    m_name = name;
}

void ScriptPort::open()
{
    if (m_open)
        return;
    ++m_openAttempts;
    if (m_denied.contains(m_name))
        raise(PortError("Permission denied", EACCES));
    if (m_busy.contains(m_name))
        raise(PortError("Can't open " + m_name + ": Device or resource busy", EBUSY));
    if (!m_devices.contains(m_name))
        raise(PortError("No such file or directory", ENOENT));
    m_open = true;
    ++m_opens;
}

int ScriptPort::bytesWaiting()
{
    if (!m_open)
        raise(PortError(PortMessages::ClosedPort));
    const qint64 now = m_clock.elapsedUs();
    int n = 0;
    while (n < m_input.size() && m_input[n].us <= now)
        ++n;
    return n;
}

QByteArray ScriptPort::read(int n)
{
    if (!m_open)
        raise(PortError(PortMessages::ClosedPort));
    if (bytesWaiting() < n)
        raise(PortError(PortMessages::Timeout));
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out.append(m_input.takeFirst().byte);
    return out;
}

void ScriptPort::write(const QByteArray &bytes)
{
    if (!m_open)
        raise(PortError(PortMessages::ClosedPort));
    m_writes.append({m_clock.elapsedUs(), bytes});
    if (responder)
        responder(bytes);
}

void ScriptPort::purgeInput()
{
    const qint64 now = m_clock.elapsedUs();
    QList<Pending> later;
    for (const Pending &p : m_input)
        if (p.us > now)
            later.append(p);
    m_input = later;
}
