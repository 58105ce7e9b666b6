#include "sim/SimPort.h"

#include <cerrno>
#include <set>

namespace {
QString bareName(const QString &name)
{
    return name.startsWith(QLatin1String("/dev/")) ? name.mid(5) : name;
}

// Meters that some port has open: a device is opened exclusively.
std::set<const SimulatedMeter *> &claimedMeters()
{
    static std::set<const SimulatedMeter *> claimed;
    return claimed;
}

PortError osError(int code)
{
    return PortError(qt_error_string(code), code);
}
} // namespace

SimPort::SimPort(VirtualClock &clock) : m_clock(clock) {}

SimPort::~SimPort()
{
    if (m_open && m_open->wire.meter())
        claimedMeters().erase(m_open->wire.meter());
}

SimPort::Device *SimPort::find(const QString &name) const
{
    const QString bare = bareName(name);
    for (const auto &d : m_devices)
        if (bareName(d->name) == bare)
            return d.get();
    return nullptr;
}

void SimPort::addDevice(const QString &name, SimulatedMeter *meter)
{
    if (Device *d = find(name)) {
        if (d == m_open)
            return; // keep the open line as it is
        d->wire = MeterWire(meter);
        d->denied = false;
        return;
    }
    m_devices.push_back(std::make_unique<Device>(Device{name, MeterWire(meter), false}));
}

void SimPort::denyDevice(const QString &name)
{
    if (Device *d = find(name))
        d->denied = true;
    else
        m_devices.push_back(std::make_unique<Device>(Device{name, MeterWire(nullptr), true}));
}

void SimPort::requireOpen() const
{
    if (!m_open)
        raise(PortError(PortMessages::ClosedPort));
}

void SimPort::sync()
{
    if (!m_open)
        return;
    const QByteArray arrived = m_open->wire.sync(m_clock.elapsedUs());
    m_arrived += arrived.size();
    const int room = InputQueueSize - int(m_input.size());
    if (arrived.size() > room) {
        m_overrun += int(arrived.size()) - room;
        m_input.append(arrived.left(room));
    } else {
        m_input.append(arrived);
    }
}

qint64 SimPort::nextEventUs() const
{
    return m_open ? m_open->wire.nextEventUs() : SimulatedMeter::Never;
}

SimulatedMeter *SimPort::meter() const
{
    return m_open ? m_open->wire.meter() : nullptr;
}

bool SimPort::deliver()
{
    sync();
    if (!m_open || !m_handler || m_input.isEmpty())
        return false;
    RxHandler handler = m_handler; // the handler may detach itself
    handler();
    return true;
}

QByteArray SimPort::written() const
{
    QByteArray all;
    for (const WrittenByte &w : m_written)
        all.append(w.byte);
    return all;
}

void SimPort::setDeviceName(const QString &name)
{
    if (m_open)
        raise(PortError(PortMessages::OpenPort));
    m_name = name;
}

void SimPort::open()
{
    if (m_open)
        return;
    Device *d = find(m_name);
    if (!d)
        raise(osError(ENOENT));
    if (d->denied)
        raise(osError(EACCES));
    SimulatedMeter *meter = d->wire.meter();
    if (meter && claimedMeters().count(meter))
        raise(osError(EBUSY));
    if (meter)
        claimedMeters().insert(meter);
    m_open = d;
    // Opening purges both queues: what the meter sent while nobody listened is gone.
    sync();
    m_input.clear();
}

void SimPort::close()
{
    if (!m_open)
        return;
    sync();
    // Like a tty's close, which waits until the output has drained.
    m_open->wire.flush();
    if (SimulatedMeter *meter = m_open->wire.meter())
        claimedMeters().erase(meter);
    m_open = nullptr;
    m_input.clear();
}

int SimPort::bytesWaiting()
{
    requireOpen();
    sync();
    return int(m_input.size());
}

QByteArray SimPort::read(int n)
{
    requireOpen();
    sync();
    if (n <= 0)
        return {};
    if (m_input.size() < n)
        raise(PortError(PortMessages::Timeout));
    const QByteArray out = m_input.left(n);
    m_input.remove(0, n);
    return out;
}

void SimPort::write(const QByteArray &bytes)
{
    requireOpen();
    sync();
    const qint64 now = m_clock.elapsedUs();
    for (char b : bytes)
        m_written.append({now, b});
    m_open->wire.send(bytes, now);
}

void SimPort::purgeInput()
{
    requireOpen();
    sync();
    m_input.clear();
}

void SimPort::purgeOutput()
{
    requireOpen();
    m_open->wire.dropInFlight(m_clock.elapsedUs());
}
