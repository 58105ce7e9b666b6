#include "link/MeterLink.h"

#include "app/Catalogue.h"
#include "link/LiveFrame.h"
#include "link/PortLease.h"
#include "link/Protocol.h"

#include <cmath>

namespace {

// A live frame (19 bytes) and an echo (8 bytes) at 9600 baud, with some slack.
constexpr quint32 EchoBehindFrameMs = 35;

// Sets a flag for the lifetime of the scope, clearing it however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
};

} // namespace

MeterLink::MeterLink(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, LinkListener &listener,
                     std::function<void()> processEvents)
    : m_state(state), m_port(comm1), m_clock(clock), m_timer(mainTimer), m_view(listener),
      m_processEvents(std::move(processEvents))
{
}

SerialPort::RxHandler MeterLink::receiveHandler()
{
    return [this] {
        try {
            Comm1RxChar();
        } catch (const SilentAbort &) {
        }
    };
}

void MeterLink::writeCommandFrame(char command)
{
    m_state.CommandFrame[1] = command;
    m_port.write(m_state.CommandFrame);
}

void MeterLink::SendPlain(char command)
{
    writeCommandFrame(command);
}

void MeterLink::selectDevice()
{
    const QString entry = m_ports.text();
    if (entry.isEmpty())
        return;
    m_port.setDeviceName(devicePathFor(entry));
}

bool MeterLink::openQuietly(bool explain)
{
    if (quietly([&] { m_port.open(); }))
        return true;
    if (explain)
        explainOpenFailure();
    return false;
}

void MeterLink::explainOpenFailure()
{
    const PortError &error = m_port.lastError();
    // The commonest reason a meter is not found on Linux: the user is not in the dialout group.
    if (isPermissionError(error) && !m_permissionNoticeGiven) {
        m_permissionNoticeGiven = true;
        m_view.notice(QStringLiteral("%1: Zugriff verweigert (%2). Der Benutzer muss zur Gruppe \"dialout\" "
                                     "gehören: sudo usermod -aG dialout $USER, dann neu anmelden.")
                          .arg(m_port.deviceName(), error.message()));
    }
    // Another program has the device, or the modem manager is probing an adapter just plugged in.
    if (isBusyError(error) && !m_busyNoticesGiven.contains(m_port.deviceName())) {
        m_busyNoticesGiven << m_port.deviceName();
        m_view.notice(QStringLiteral("%1: Gerät belegt (%2). Ein anderes Programm benutzt die Schnittstelle, "
                                     "oder der ModemManager prüft einen eben eingesteckten Adapter. Ist sie "
                                     "wieder frei, kann sie in der Portliste erneut gewählt werden.")
                          .arg(m_port.deviceName(), error.message()));
    }
}

void MeterLink::closeQuietly()
{
    quietly([&] { m_port.close(); });
}

// ---------------------------------------------------------------------------------------------
// Receive handler: cut RxBuffer into 19-byte frames, check them, hand them on, acknowledge.

void MeterLink::Comm1RxChar()
{
    {
        FlagScope busy(m_state.RxBusy);
        int n = m_port.bytesWaiting();
        if (n > 256)
            n = 256;
        if (n > 0)
            m_state.RxBuffer.append(m_port.read(n));

        QByteArray &buf = m_state.RxBuffer;
        while (buf.size() >= LiveFrame::Size) {
            const int p = buf.indexOf(LiveFrame::Stx);
            if (p < 0) {
                buf.clear();
                break;
            }
            if (p > 0) {
                buf.remove(0, p);
                continue;
            }
            if (buf.at(LiveFrame::Size - 1) != LiveFrame::Etx) {
                buf.remove(0, 1); // the 0x02 was a data byte
                continue;
            }
            ++m_candidates;
            if (!LiveFrame::checksumOk(buf.constData())) {
                ++m_checksumFailures;
                buf.remove(0, LiveFrame::Size);
                continue;
            }
            m_state.FrameSeen = true;
            if (m_state.Connected) {
                const QByteArray frame = buf.left(LiveFrame::Size);
                buf.remove(0, LiveFrame::Size);
                ++m_decoded;
                if (onFrame)
                    onFrame(frame);
                writeCommandFrame(Protocol::Command::Acknowledge);
                continue;
            }
            // Valid frames while we believe the meter absent: complete the connection, then the
            // same frame is decoded on the next round.
            lateHandshake();
        }
    }
    m_view.setDiagnostics(QStringLiteral("%1/%2").arg(m_checksumFailures).arg(m_candidates));
}

void MeterLink::lateHandshake()
{
    {
        // Called from the receive handler, which is running: only the watchdog is waited for.
        PortLease lease(m_state, m_port, m_timer, m_clock, m_processEvents);
        lease.stopWatchdog();
        lease.detachNow();
        m_port.purgeInput();
        m_state.CommandFrame[1] = Protocol::Command::Identify;
        BusyWait(m_clock, 100);
        m_port.write(m_state.CommandFrame);
        BusyWait(m_clock, 1000);
        if (m_port.bytesWaiting() >= 4)
            m_port.read(4); // the reply is not examined here
        m_state.Connected = true;
        m_state.MeterLost = false;
        m_view.setPanelConnectedLook();
        m_view.loggerCommandsShown();
        lease.reattach();
        m_port.purgeInput();
        writeCommandFrame(Protocol::Command::Stream);
    }
    // A fixed English text, unlike the start's "Verbindung On".
    m_view.setStatus(m_ports.text(), QStringLiteral("On Connection"));
    m_view.setPanelNoConnection(false);
    m_view.linkChanged();
}

// ---------------------------------------------------------------------------------------------
// Watchdog.

void MeterLink::declareLost()
{
    if (m_state.Connected)
        m_state.RxBuffer.clear();
    m_state.Connected = false;
    m_state.MeterLost = true;
    m_state.MissedTicks = 0;
    m_view.linkChanged();
    m_view.setStatus(m_ports.text(), LoadStr(6));
    m_view.setPanelNoConnection(true);
}

void MeterLink::MainTimerTimer()
{
    FlagScope busy(m_state.TimerBusy);
    const double now = m_clock.now();

    if (m_state.FrameSeen) {
        m_state.FrameSeen = false;
        m_state.MissedTicks = 0;
    } else if (++m_state.MissedTicks >= MissedTickLimit) {
        declareLost();
    }

    reopenIfClosed();
    if (!m_state.Connected && m_port.isOpen()) {
        try {
            writeCommandFrame(Protocol::Command::Poll);
        } catch (const SilentAbort &) {
            // The poll failed; the tick period below must still be kept.
        }
    }

    // Tick once a second, each interval corrected by how late the previous tick came. The upper
    // bound keeps a clock set back (or a daylight-saving change) from stalling the watchdog.
    if (m_firstTick) {
        m_firstTick = false;
    } else {
        const double elapsed = (now - m_previousTick) * 86400.0;
        const double x = (elapsed - 1.0) * 1000.0;
        const double value = std::trunc(double(m_timer.interval()) - x);
        int next = 500;
        if (value > 500)
            next = value > 2000 ? 2000 : int(value);
        m_timer.setInterval(next);
    }
    m_previousTick = now;
}

void MeterLink::reopenIfClosed()
{
    if (m_port.isOpen() || m_ports.text().isEmpty()) {
        m_reopenTried = false;
        return;
    }
    // The adapter was pulled (the port closed itself) or the chosen device would not open. Open
    // the selected path again, not a name it resolved to earlier: a /dev/serial/by-id/... link
    // points at another tty after a replug. Once open, the polls and the late handshake take the
    // meter up again.
    const quint32 now = m_clock.tickMs();
    constexpr quint32 TickJitterMs = 100;
    if (m_reopenTried && quint32(now - m_lastReopenMs) + TickJitterMs < ReopenPeriodMs)
        return;
    m_reopenTried = true;
    m_lastReopenMs = now;
    quietly([&] { selectDevice(); });
    if (openQuietly(false))
        m_state.RxBuffer.clear(); // bytes of the device that went away mean nothing now
}

// ---------------------------------------------------------------------------------------------
// Search and start-up.

void MeterLink::FindMeter()
{
    m_port.setRxHandler({});
    const QStringList asListed = m_ports.entries;
    for (const QString &name : asListed) {
        const int index = m_ports.entries.indexOf(name);
        if (index < 0)
            continue;
        closeQuietly();
        m_ports.select(index);
        m_view.portListChanged();
        selectDevice();
        m_view.setSplashStatus(joinTexts(LoadStr(5), name));
        BusyWait(m_clock, 300);

        if (!openQuietly()) {
            m_ports.removeAt(m_ports.entries.indexOf(name));
            m_view.portListChanged();
            continue;
        }
        bool found = false;
        quietly([&] {
            m_port.write(m_state.CommandFrame);
            BusyWait(m_clock, 500);
            if (m_port.bytesWaiting() >= 4) {
                const QByteArray reply = m_port.read(4);
                found = reply.contains(Protocol::IdentifyReply);
            }
        });
        if (found) {
            m_state.Connected = true;
            m_state.MeterLost = false;
            m_view.linkChanged();
            break;
        }
        closeQuietly();
    }
    m_port.setRxHandler(receiveHandler());
}

void MeterLink::StartupConnection()
{
    m_view.setSplashStatus(LoadStr(7));
    FindMeter();

    if (m_state.Connected) {
        m_view.setPanelNoConnection(false);
        m_view.setStatus(m_ports.text(), LoadStr(8));
    } else {
        m_ports.select(0);
        m_view.portListChanged();
        closeQuietly();
        selectDevice();
        m_view.setPanelNoConnection(true);
        m_view.setStatus(m_ports.text(), QStringLiteral("Off Connection"));
    }
    m_view.setPanelConnectedLook();
    m_view.loggerCommandsShown();

    if (m_port.isOpen())
        closeQuietly();
    BusyWait(m_clock, 500);
    m_port.setRxHandler(receiveHandler());
    openQuietly();
    BusyWait(m_clock, 100);
    quietly([&] {
        if (m_port.isOpen())
            m_port.purgeInput();
        m_state.CommandFrame[1] = Protocol::Command::Stream;
        if (m_port.isOpen())
            m_port.write(m_state.CommandFrame);
    });
    m_timer.setEnabled(true);
    m_view.setSplashStatus(QString());
    m_view.closeSplash();
}

void MeterLink::ComboBoxDeviceNameChange(int index)
{
    waitWhileBusy(m_state.TimerBusy, m_clock, PortLease::BusyLimitMs, m_processEvents);
    closeQuietly();
    m_ports.select(index);
    quietly([&] { selectDevice(); });
    openQuietly();
}

void MeterLink::refreshPorts(const QStringList &present)
{
    m_ports.refresh(present);
    m_view.portListChanged();
}

// ---------------------------------------------------------------------------------------------
// Echo-checked exchange.

bool MeterLink::SendCommand(char command)
{
    m_state.CommandFrame[1] = command;
    return SendCommand(m_state.CommandFrame);
}

bool MeterLink::SendCommand(const QByteArray &frameIn)
{
    const QByteArray frame = frameIn; // CommandFrame itself changes to 'a' below
    PortLease lease(m_state, m_port, m_timer, m_clock, m_processEvents);
    lease.take();
    bool ok = false;
    try {
        for (int attempts = 0; !ok && attempts < 3;) {
            m_port.write(frame);
            BusyWait(m_clock, 100);
            int waiting = m_port.bytesWaiting();
            if (waiting == 0) {
                ++attempts;
                continue;
            }
            // The echo normally arrives whole; give a reply that is still coming in the time
            // of a few more bytes, then compare what is there (a short reply fails).
            const quint32 start = m_clock.tickMs();
            while (waiting < 8 && quint32(m_clock.tickMs() - start) <= 20)
                waiting = m_port.bytesWaiting();
            const QByteArray reply = m_port.read(waiting < 8 ? waiting : 8);
            ok = reply == frame;
            if (!ok) {
                // A live frame that was on its way came first. The rest is read, for up to a
                // frame and an echo's time: left there it would be taken for the echo of every
                // further attempt. When the echo is in it, the meter has taken the key; sending
                // it again would press the key a second time, and a toggling key (F/S, A/C, REC)
                // would end where it started.
                QByteArray all = reply;
                const quint32 since = m_clock.tickMs();
                for (;;) {
                    const int rest = m_port.bytesWaiting();
                    if (rest > 0)
                        all += m_port.read(rest);
                    ok = all.contains(frame);
                    if (ok || quint32(m_clock.tickMs() - since) > EchoBehindFrameMs)
                        break;
                }
                if (!ok)
                    ++attempts;
            }
        }
    } catch (const SilentAbort &) {
        return false;
    } catch (const PortError &) {
        return false;
    }
    lease.reattach();
    quietly([&] { writeCommandFrame(Protocol::Command::Stream); });
    return ok;
}
