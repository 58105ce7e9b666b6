#include "sim/PtyMeter.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

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

bool PtyMeter::start()
{
    if (isRunning())
        return true;
    auto fail = [this](const char *what) {
        m_error = QString::fromLatin1(what) + QLatin1String(": ") + qt_error_string(errno);
        closeAll();
        return false;
    };

    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail("posix_openpt");
    setCloseOnExec(m_master);
    if (grantpt(m_master) != 0)
        return fail("grantpt");
    if (unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);

    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Raw line: no echo (it would turn the meter's own bytes into input), no translation.
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0)
        return fail("eventfd");

    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
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
    for (int *fd : {&m_wakeFd, &m_slave, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
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
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            pumpLocked();
            const qint64 next = m_wire.nextEventUs();
            if (next != SimulatedMeter::Never) {
                const qint64 wait = (next - nowUs() + 999) / 1000;
                timeoutMs = int(std::clamp<qint64>(wait, 1, 60000));
            }
        }
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
            const ssize_t n = ::read(m_master, buf, sizeof buf);
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
