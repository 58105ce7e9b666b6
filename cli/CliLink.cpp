#include "cli/CliLink.h"

#include "link/PortList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

CliLink::CliLink()
    : m_mainTimer(100, [this] {
          try {
              m_link.MainTimerTimer();
          } catch (const SilentAbort &) {
          }
      }),
      m_link(m_state, m_port, m_clock, m_mainTimer, *this, [] { QCoreApplication::processEvents(); })
{
    m_port.setModemLines(true);
    m_port.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    m_port.setExceptionSink([](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
}

CliLink::~CliLink()
{
    disconnect();
}

void CliLink::notice(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool CliLink::connectMeter(const QString &portPath, int waitMs)
{
    PortList &ports = m_link.ports();
    ports.entries = portPath.isEmpty() ? listPorts() : QStringList{portPath};
    ports.select(0);
    m_link.selectDevice();
    try {
        m_link.StartupConnection();
    } catch (const SilentAbort &) {
    }
    if (!m_state.Connected)
        return false;
    QElapsedTimer t;
    t.start();
    while (m_link.decodedFrames() == 0 && t.elapsed() < waitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return m_state.Connected && m_link.decodedFrames() > 0;
}

void CliLink::disconnect()
{
    m_mainTimer.setEnabled(false);
    m_port.setRxHandler({});
    quietly([&] { m_port.close(); });
}
