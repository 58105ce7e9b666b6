#include "sim/PtyMeter.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {
void sleepAfterError()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void setCloseOnExec(int fd)
{
    const int flags = fcntl(fd, F_GETFD);
    if (flags >= 0)
        fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}
} // namespace

PtyMeter::PtyMeter(const QDateTime &clockStart, quint32 seed)
    : m_meter(clockStart, seed), m_t0(std::chrono::steady_clock::now())
{
}

PtyMeter::~PtyMeter()
{
    stop();
}

qint64 PtyMeter::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now() - m_t0).count();
}

bool PtyMeter::plugIn(const QString &avoid)
{
    QString error;
    auto fail = [&error](const char *what) {
        error = QString::fromLatin1(what) + QLatin1String(": ") + qt_error_string(errno);
        return false;
    };
    // A terminal closed a moment ago usually gets its number back; hold the ones that would
    // repeat it, so the program cannot pass by reopening a name it resolved earlier.
    std::vector<int> held;
    const auto release = [&held] {
        for (int fd : held)
            ::close(fd);
    };
    int master = -1;
    QString path;
    for (int attempt = 0; attempt < 8; ++attempt) {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0)
            break;
        setCloseOnExec(master);
        char name[128];
        if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
            ::close(master);
            master = -1;
            break;
        }
        path = QString::fromLocal8Bit(name);
        if (path != avoid)
            break;
        held.push_back(master);
        master = -1;
    }
    release();
    bool ok = master >= 0 || fail("posix_openpt");
    int slave = -1;
    if (ok) {
        slave = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ok = slave >= 0 || fail("open slave");
    }
    if (ok) {
        // Raw line: no echo (it would turn the meter's own bytes into input), no translation.
        termios tio{};
        ok = tcgetattr(slave, &tio) == 0 || fail("tcgetattr");
        if (ok) {
            cfmakeraw(&tio);
            cfsetispeed(&tio, B9600);
            cfsetospeed(&tio, B9600);
            tio.c_cflag |= CLOCAL | CREAD;
            ok = tcsetattr(slave, TCSANOW, &tio) == 0 || fail("tcsetattr");
        }
    }
    if (!ok) {
        for (int fd : {slave, master})
            if (fd >= 0)
                ::close(fd);
        m_error = error;
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_slavePath = path;
    pointLink();
    return true;
}

void PtyMeter::pointLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Made beside the link and renamed over it, so the name never points nowhere half-way.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray temp = link + ".new";
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(m_slavePath).constData(), temp.constData()) == 0)
        ::rename(temp.constData(), link.constData());
}

void PtyMeter::unplugLocked()
{
    for (int *fd : {&m_slave, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (!m_linkPath.isEmpty())
        ::unlink(QFile::encodeName(m_linkPath).constData());
}

bool PtyMeter::start()
{
    if (isRunning())
        return true;
    if (!plugIn(QString())) {
        closeAll();
        return false;
    }
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        m_error = QLatin1String("eventfd: ") + qt_error_string(errno);
        closeAll();
        return false;
    }
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

QString PtyMeter::slavePath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_slavePath;
}

void PtyMeter::replug(qint64 ms)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_unplugAtUs = nowUs();
        m_plugAtUs = m_unplugAtUs + std::max<qint64>(ms, 0) * 1000;
    }
    wake();
}

void PtyMeter::stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        wake();
        m_thread.join();
    }
    closeAll();
}

void PtyMeter::closeAll()
{
    unplugLocked();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    m_wakeFd = -1;
}

void PtyMeter::wake()
{
    if (m_wakeFd >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
}

void PtyMeter::pumpLocked()
{
    const QByteArray due = m_wire.sync(nowUs());
    if (due.isEmpty() || m_master < 0)
        return;
    const ssize_t n = ::write(m_master, due.constData(), size_t(due.size()));
    // A meter does not wait for the computer: bytes the terminal has no room for are lost,
    // as they would be in an overrun receiver.
    (void)n;
}

void PtyMeter::run()
{
    char buf[256];
    while (!m_stop) {
        int timeoutMs = -1;
        QString plugged;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_unplugAtUs >= 0) {
                m_unplugAtUs = -1;
                pumpLocked(); // what was due before the pull still goes out
                unplugLocked();
            }
            if (m_master < 0 && m_plugAtUs >= 0 && nowUs() >= m_plugAtUs) {
                const QString old = m_slavePath;
                if (plugIn(old)) {
                    m_plugAtUs = -1;
                    plugged = m_slavePath;
                } else {
                    m_plugAtUs = nowUs() + 100000; // try again shortly
                }
            }
            pumpLocked();
            qint64 next = m_wire.nextEventUs();
            if (m_master < 0 && m_plugAtUs >= 0 && (next == SimulatedMeter::Never || m_plugAtUs < next))
                next = m_plugAtUs;
            if (next != SimulatedMeter::Never) {
                const qint64 wait = (next - nowUs() + 999) / 1000;
                timeoutMs = int(std::clamp<qint64>(wait, 1, 60000));
            }
        }
        if (!plugged.isEmpty() && m_plugged)
            m_plugged(plugged);
        // While unplugged only the wake-up is watched (poll ignores a negative descriptor).
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        const int r = ::poll(fds, 2, timeoutMs);
        if (r < 0) {
            if (errno != EINTR)
                sleepAfterError();
            continue;
        }
        if (fds[1].revents & POLLIN) {
            quint64 count;
            [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(fds[0].fd, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_wire.send(QByteArray(buf, int(n)), nowUs());
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                sleepAfterError();
            }
        } else if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            sleepAfterError();
        }
    }
}

void PtyMeter::withMeter(const std::function<void(SimulatedMeter &)> &f)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pumpLocked();
        f(m_meter);
    }
    wake();
}

void PtyMeter::powerOff()
{
    withMeter([](SimulatedMeter &m) { m.powerOff(); });
}

void PtyMeter::powerOn()
{
    withMeter([](SimulatedMeter &m) { m.powerOn(); });
}

void PtyMeter::silence(qint64 ms)
{
    withMeter([ms](SimulatedMeter &m) { m.silence(ms); });
}

void PtyMeter::resume()
{
    withMeter([](SimulatedMeter &m) { m.resume(); });
}

void PtyMeter::injectNoise(int count)
{
    withMeter([count](SimulatedMeter &m) { m.injectNoise(count); });
}

void PtyMeter::corruptNextChecksum()
{
    withMeter([](SimulatedMeter &m) { m.corruptNextChecksum(); });
}

void PtyMeter::splitNextFrame(int pauseMs)
{
    withMeter([pauseMs](SimulatedMeter &m) { m.splitNextFrame(pauseMs); });
}
