#include "link/TComPort.h"

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
qint64 msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
}
bool isGoneError(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}
} // namespace

TComPort::TComPort(QObject *parent) : QObject(parent) {}

TComPort::~TComPort()
{
    close();
}

void TComPort::raiseErrno(const QString &what, int err)
{
    raise(PortError(QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(err))), err));
}

void TComPort::requireOpen() const
{
    if (m_fd < 0)
        raise(PortError(PortMessages::ClosedPort));
}

void TComPort::setDeviceName(const QString &name)
{
    if (m_fd >= 0)
        raise(PortError(PortMessages::OpenPort));
    m_name = name;
}

void TComPort::open()
{
    if (m_fd >= 0)
        return;
    const QByteArray path = m_name.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raiseErrno(m_name, errno);
    // Exclusive: a second open of the device, by us or another program, fails.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        raiseErrno(m_name, err);
    }
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        raiseErrno(m_name, err);
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        raiseErrno(m_name, err);
    }
    if (m_modemLines) {
        // A pty has no modem lines: the ioctls fail there, which is no reason to close.
        int dtr = TIOCM_DTR, rts = TIOCM_RTS;
        ::ioctl(fd, TIOCMBIC, &dtr);
        ::ioctl(fd, TIOCMBIS, &rts);
    }
    ::tcflush(fd, TCIOFLUSH);

    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TComPort::onReadable);
    updateNotifier();
}

void TComPort::close()
{
    if (m_fd < 0)
        return;
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    ::close(m_fd);
    m_fd = -1;
}

bool TComPort::hungUp() const
{
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

void TComPort::deviceGone(int err)
{
    close();
    report(PortError(QStringLiteral("%1: %2").arg(m_name, QString::fromLocal8Bit(strerror(err))), err));
}

int TComPort::bytesWaiting()
{
    requireOpen();
    int n = 0;
    if (::ioctl(m_fd, FIONREAD, &n) != 0)
        raiseErrno(m_name, errno);
    return n;
}

QByteArray TComPort::read(int n)
{
    requireOpen();
    QByteArray out(n, '\0');
    int got = 0;
    const auto t0 = std::chrono::steady_clock::now();
    while (got < n) {
        const ssize_t r = ::read(m_fd, out.data() + got, size_t(n - got));
        if (r > 0) {
            got += int(r);
            continue;
        }
        const int err = r < 0 ? errno : EIO;
        if (r < 0 && err != EAGAIN && err != EINTR) {
            if (isGoneError(err)) {
                deviceGone(err);
                raise(PortError(PortMessages::ClosedPort, err));
            }
            raiseErrno(m_name, err);
        }
        // Asked only for bytes seen waiting, so this is short; a little grace, then Timeout.
        if (msSince(t0) > 50)
            raise(PortError(PortMessages::Timeout));
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, 5);
    }
    return out;
}

void TComPort::write(const QByteArray &bytes)
{
    requireOpen();
    int sent = 0;
    const auto t0 = std::chrono::steady_clock::now();
    while (sent < bytes.size()) {
        const ssize_t w = ::write(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (w > 0) {
            sent += int(w);
            continue;
        }
        const int err = errno;
        if (w < 0 && err != EAGAIN && err != EINTR) {
            if (isGoneError(err)) {
                deviceGone(err);
                raise(PortError(PortMessages::ClosedPort, err));
            }
            raiseErrno(m_name, err);
        }
        if (msSince(t0) > 2000)
            raise(PortError(PortMessages::Timeout));
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
}

void TComPort::purgeInput()
{
    requireOpen();
    if (::tcflush(m_fd, TCIFLUSH) != 0)
        raiseErrno(m_name, errno);
}

void TComPort::purgeOutput()
{
    requireOpen();
    if (::tcflush(m_fd, TCOFLUSH) != 0)
        raiseErrno(m_name, errno);
}

void TComPort::setRxHandler(RxHandler handler)
{
    m_handler = std::move(handler);
    updateNotifier();
}

void TComPort::updateNotifier()
{
    if (m_notifier)
        m_notifier->setEnabled(m_handler && !m_inHandler);
}

void TComPort::onReadable()
{
    if (m_fd < 0 || !m_handler || m_inHandler)
        return;
    int n = 0;
    if (::ioctl(m_fd, FIONREAD, &n) != 0) {
        deviceGone(errno);
        return;
    }
    if (n == 0) {
        // Readable without data: the other end hung up (adapter pulled, pty closed).
        if (hungUp())
            deviceGone(EIO);
        return;
    }
    // No further events until this call has returned, even if it runs a nested event loop.
    m_inHandler = true;
    updateNotifier();
    RxHandler handler = m_handler;
    try {
        handler();
    } catch (const SilentAbort &) {
    } catch (const std::exception &e) {
        if (m_sink)
            m_sink(QString::fromLocal8Bit(e.what()));
    }
    m_inHandler = false;
    updateNotifier();
}
