#include "session/MeterSession.h"

#include "link/PortList.h"

#include <QCoreApplication>
#include <QElapsedTimer>

// The link's reports, passed on as the session's signals.
class MeterSession::Relay : public LinkListener {
public:
    explicit Relay(MeterSession &s) : m_s(s) {}
    void linkChanged() override { emit m_s.linkChanged(); }
    void loggerCommandsShown() override { emit m_s.loggerCommandsShown(); }
    void setStatus(const QString &port, const QString &state) override { emit m_s.statusChanged(port, state); }
    void setDiagnostics(const QString &text) override { emit m_s.diagnosticsChanged(text); }
    void portListChanged() override { emit m_s.portListChanged(); }
    void notice(const QString &text) override { emit m_s.notice(text); }
    void setSplashStatus(const QString &text) override { emit m_s.searchProgress(text); }
    void closeSplash() override { emit m_s.searchFinished(); }
    void setPanelNoConnection(bool shown) override { emit m_s.panelNoConnection(shown); }
    void setPanelConnectedLook() override { emit m_s.panelConnectedLook(); }

private:
    MeterSession &m_s;
};

MeterSession::MeterSession(std::unique_ptr<Clock> clock, std::function<void(const QString &)> exceptionSink,
                           QObject *parent)
    : QObject(parent), m_relay(std::make_unique<Relay>(*this)), m_clock(std::move(clock)), m_mainTimer(100, [this] {
          try {
              m_link.MainTimerTimer();
          } catch (const SilentAbort &) {
          }
      }),
      m_link(m_state, m_port, *m_clock, m_mainTimer, *m_relay, &MeterSession::processEvents)
{
    m_port.setModemLines(true);
    m_port.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    m_port.setExceptionSink(std::move(exceptionSink));
    m_link.onFrame = [this](const QByteArray &frame) { emit frameDecoded(frame, m_clock->now()); };
    m_state.Loans.lent = [this](const QString &reason) { emit paused(reason); };
    m_state.Loans.returned = [this] { emit resumed(); };
}

MeterSession::~MeterSession()
{
    m_mainTimer.setEnabled(false);
    m_port.setRxHandler({});
    m_state.Loans.lent = {};
    m_state.Loans.returned = {};
}

void MeterSession::processEvents()
{
    QCoreApplication::processEvents();
}

void MeterSession::start()
{
    try {
        m_link.StartupConnection();
    } catch (const SilentAbort &) {
    }
}

bool MeterSession::connectMeter(const QString &portPath, int waitMs)
{
    PortList &list = ports();
    list.entries = portPath.isEmpty() ? listPorts() : QStringList{portPath};
    list.select(0);
    m_link.selectDevice();
    start();
    if (!m_state.Connected)
        return false;
    QElapsedTimer t;
    t.start();
    while (m_link.decodedFrames() == 0 && t.elapsed() < waitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return m_state.Connected && m_link.decodedFrames() > 0;
}

void MeterSession::choosePort(int index)
{
    try {
        m_link.ComboBoxDeviceNameChange(index);
    } catch (const SilentAbort &) {
    }
}

void MeterSession::refreshPorts(const QStringList &present)
{
    m_link.refreshPorts(present);
}

void MeterSession::close()
{
    m_mainTimer.setEnabled(false);
    m_port.setRxHandler({});
    quietly([&] { m_port.close(); });
}
