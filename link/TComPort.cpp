#include "link/TComPort.h"

#include "link/PortList.h"
#include "link/WireLog.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until the deadline, never negative.
int msUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? int(left) : 0;
}

// True when poll() says the other end is gone: the adapter was pulled or the pty master closed.
bool hungUp(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

// A read of exactly n bytes of bytes already seen waiting returns at once; the grace covers bytes
// still travelling (9600 baud is about 1 ms a byte).
constexpr int ReadGraceMs = 50;
constexpr int ReadMsPerByte = 2;
// A tty takes the bytes into its output queue; the wait only covers a full queue.
constexpr int WriteGraceMs = 1000;
// Delay before the next delivery when the handler read none of the waiting bytes.
constexpr int RearmDelayMs = 10;
} // namespace

TComPort::TComPort(QObject *parent) : QObject(parent), m_deviceName(QStringLiteral("COM1"))
{
    m_rearm.setSingleShot(true);
    m_rearm.setInterval(RearmDelayMs);
    connect(&m_rearm, &QTimer::timeout, this, &TComPort::updateDelivery);
}

TComPort::~TComPort()
{
    closeDevice();
}

bool TComPort::isGoneError(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

PortError TComPort::osError(const QString &what, int err) const
{
    return PortError(QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(err))), err);
}

void TComPort::fail(const PortError &error)
{
    m_lastError = error;
    raise(error);
}

void TComPort::requireOpen()
{
    if (m_fd < 0)
        fail(PortError(PortMessages::ClosedPort));
}

void TComPort::setDeviceName(const QString &name)
{
    if (name == m_deviceName)
        return;
    if (isOpen())
        fail(PortError(PortMessages::OpenPort));
    m_deviceName = name;
}

void TComPort::open()
{
    if (isOpen())
        return;
    const QString path = devicePathFor(m_deviceName);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(osError(QStringLiteral("Can't open %1").arg(path), errno));
    m_fd = fd;
    try {
        configure();
    } catch (...) {
        closeDevice();
        throw;
    }
    updateDelivery();
}

void TComPort::configure()
{
    const QString path = devicePathFor(m_deviceName);
    // Exclusive use: the lock keeps out every other opener that locks (including processes with
    // the privilege to ignore TIOCEXCL); TIOCEXCL keeps out plain opens by other programs.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        fail(osError(QStringLiteral("Can't open %1").arg(path), err == EWOULDBLOCK ? EBUSY : err));
    }
    m_exclusive = ::ioctl(m_fd, TIOCEXCL) == 0;

    if (::tcflush(m_fd, TCIOFLUSH) != 0)
        fail(osError(QStringLiteral("Can't purge %1").arg(path), errno));

    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0)
        fail(osError(QStringLiteral("Can't configure %1").arg(path), errno));
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNBRK | BRKINT | ISTRIP | IGNCR | ICRNL | INLCR);
    tio.c_iflag |= IGNPAR;
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    // With O_NONBLOCK and VMIN 1 a read with nothing there fails with EAGAIN, so a read that
    // returns 0 means the device hung up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0)
        fail(osError(QStringLiteral("Can't configure %1").arg(path), errno));

    if (m_modemLines) {
        // DTR inactive, RTS active. Devices without modem lines (a pty) refuse these ioctls;
        // that does not make the port unusable, so the result is not checked.
        int dtr = TIOCM_DTR;
        int rts = TIOCM_RTS;
        ::ioctl(m_fd, TIOCMBIC, &dtr);
        ::ioctl(m_fd, TIOCMBIS, &rts);
    }
}

void TComPort::close()
{
    closeDevice();
}

void TComPort::closeDevice()
{
    m_rearm.stop();
    if (m_notifier) {
        // Possibly called from inside the notifier's own signal (the handler closed the port).
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_fd < 0)
        return;
    // A pty slave keeps its flags while the master lives; drop exclusivity so it can be reopened.
    // Only if this port set it: a failed open must not unlock the port of whoever holds the device.
    if (m_exclusive)
        ::ioctl(m_fd, TIOCNXCL);
    m_exclusive = false;
    ::close(m_fd);
    m_fd = -1;
}

PortError TComPort::deviceGone(int err)
{
    const PortError error = osError(QStringLiteral("%1 went away").arg(devicePathFor(m_deviceName)), err);
    closeDevice();
    m_lastError = error;
    return error;
}

int TComPort::bytesWaiting()
{
    requireOpen();
    int n = 0;
    if (::ioctl(m_fd, FIONREAD, &n) != 0) {
        const int err = errno;
        if (isGoneError(err))
            fail(deviceGone(err));
        fail(osError(QStringLiteral("Can't count bytes on %1").arg(devicePathFor(m_deviceName)), err));
    }
    if (n == 0 && hungUp(m_fd))
        fail(deviceGone(EIO));
    return n;
}

QByteArray TComPort::read(int n)
{
    requireOpen();
    if (n <= 0)
        return {};
    QByteArray out(n, '\0');
    int got = 0;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(ReadGraceMs + ReadMsPerByte * n);
    while (got < n) {
        const ssize_t r = ::read(m_fd, out.data() + got, size_t(n - got));
        if (r > 0) {
            got += int(r);
            continue;
        }
        const int err = r < 0 ? errno : EIO;
        if (r == 0 || (err != EAGAIN && err != EINTR)) {
            if (r == 0 || isGoneError(err)) {
                fail(deviceGone(err));
            }
            fail(osError(QStringLiteral("Can't read from %1").arg(devicePathFor(m_deviceName)), err));
        }
        const int left = msUntil(deadline);
        if (left == 0)
            fail(PortError(PortMessages::Timeout));
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, std::min(left, 10));
    }
    logWire(WireDirection::In, m_deviceName, out);
    return out;
}

void TComPort::write(const QByteArray &bytes)
{
    requireOpen();
    qsizetype sent = 0;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(WriteGraceMs);
    while (sent < bytes.size()) {
        const ssize_t w = ::write(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (w > 0) {
            sent += w;
            continue;
        }
        const int err = w < 0 ? errno : EAGAIN;
        if (err != EAGAIN && err != EINTR) {
            if (isGoneError(err)) {
                fail(deviceGone(err));
            }
            fail(osError(QStringLiteral("Can't write to %1").arg(devicePathFor(m_deviceName)), err));
        }
        const int left = msUntil(deadline);
        if (left == 0)
            fail(PortError(PortMessages::Timeout));
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, std::min(left, 10));
    }
    logWire(WireDirection::Out, m_deviceName, bytes);
}

void TComPort::purgeInput()
{
    requireOpen();
    if (::tcflush(m_fd, TCIFLUSH) != 0) {
        const int err = errno;
        if (isGoneError(err)) {
            fail(deviceGone(err));
        }
        fail(osError(QStringLiteral("Can't purge %1").arg(devicePathFor(m_deviceName)), err));
    }
}

void TComPort::purgeOutput()
{
    requireOpen();
    if (::tcflush(m_fd, TCOFLUSH) != 0) {
        const int err = errno;
        if (isGoneError(err)) {
            fail(deviceGone(err));
        }
        fail(osError(QStringLiteral("Can't purge %1").arg(devicePathFor(m_deviceName)), err));
    }
}

void TComPort::setRxHandler(RxHandler handler)
{
    m_rxHandler = std::move(handler);
    if (!m_rxHandler)
        m_rearm.stop();
    updateDelivery();
}

void TComPort::updateDelivery()
{
    const bool wanted = isOpen() && m_rxHandler && !m_inHandler && !m_rearm.isActive();
    if (!wanted) {
        if (m_notifier)
            m_notifier->setEnabled(false);
        return;
    }
    if (!m_notifier) {
        // Without an event loop on this thread there is nobody to deliver to.
        if (!QAbstractEventDispatcher::instance(thread()))
            return;
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &TComPort::onReadable);
    }
    m_notifier->setEnabled(true);
}

void TComPort::onReadable()
{
    if (!isOpen() || !m_rxHandler || m_inHandler)
        return;
    int before = 0;
    if (::ioctl(m_fd, FIONREAD, &before) != 0) {
        // Nothing sane to deliver from a device that cannot even be asked: close it and report
        // once, rather than retrying into an error flood.
        report(deviceGone(errno));
        return;
    }
    if (before == 0) {
        if (hungUp(m_fd)) {
            report(deviceGone(EIO));
            return;
        }
        // Readable with nothing to read: do not let the notifier spin on it.
        m_rearm.start();
        updateDelivery();
        return;
    }
    // The handler may have closed the port, detached itself, or even destroyed this object.
    if (!callHandler() || !isOpen() || !m_rxHandler)
        return;
    int after = 0;
    if (::ioctl(m_fd, FIONREAD, &after) == 0 && after > 0 && after == before)
        m_rearm.start();
    updateDelivery();
}

bool TComPort::callHandler()
{
    const QPointer<TComPort> self(this);
    // No further call until this one has returned, even if it runs a nested event loop. The copy
    // keeps the handler alive if it replaces itself.
    m_inHandler = true;
    updateDelivery();
    const RxHandler handler = m_rxHandler;
    const auto sink = m_exceptionSink;
    try {
        handler();
    } catch (const SilentAbort &) {
        // The running command was unwound on purpose; nothing to tell.
    } catch (const std::exception &e) {
        const QString text = QString::fromLocal8Bit(e.what());
        if (sink)
            sink(text);
        else
            qWarning("Receive handler failed: %s", qPrintable(text));
    } catch (...) {
        if (sink)
            sink(QStringLiteral("Unknown exception"));
        else
            qWarning("Receive handler failed with an unknown exception");
    }
    if (!self)
        return false;
    m_inHandler = false;
    return true;
}
