#pragma once
// The real serial port: a tty device driven through termios, 9600 baud 8N1, raw.
//
// Receive delivery runs on the thread that owns the port (the user-interface thread): a socket
// notifier on the file descriptor calls the receive handler when bytes are waiting. Nothing runs
// while that thread is busy, so bytes that arrive during a busy wait stay in the system's input
// queue, where bytesWaiting() sees them.
//
// Every operation on a closed port (bytes waiting, read, write, purge) raises ClosedPort. When the
// device goes away while open (adapter pulled, other end of a pty closed) the port closes itself
// once and reports the error to the error handler; the operation that found out raises it.
#include "link/SerialPort.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QSocketNotifier;

class TComPort : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    QString deviceName() const override { return m_deviceName; }
    void setDeviceName(const QString &name) override;

    void open() override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }

    int bytesWaiting() override;
    QByteArray read(int n) override;
    void write(const QByteArray &bytes) override;
    void purgeInput() override;
    void purgeOutput() override;

    RxHandler rxHandler() const override { return m_rxHandler; }
    void setRxHandler(RxHandler handler) override;

    // When on (the default), opening holds DTR inactive and RTS active. When off, the modem
    // lines are left as the device driver has them. A device that has no modem lines (a
    // pseudo-terminal) is opened all the same.
    void setModemLines(bool on) { m_modemLines = on; }
    bool modemLines() const { return m_modemLines; }

    // Receives the text of an exception the receive handler let escape (other than SilentAbort,
    // which is dropped). Without a sink the text goes to the warning log. Delivery continues.
    void setExceptionSink(std::function<void(const QString &)> sink) { m_exceptionSink = std::move(sink); }

    // The error most recently raised or reported by this port (empty message if none).
    const PortError &lastError() const { return m_lastError; }

private:
    [[noreturn]] void fail(const PortError &error);
    void requireOpen();
    void configure();
    void closeDevice();
    // The device went away while open: close, and return the error for the caller to raise (an
    // operation) or report (receive delivery), so the error handler hears of it once.
    PortError deviceGone(int err);
    static bool isGoneError(int err);
    PortError osError(const QString &what, int err) const;

    void onReadable();
    // Runs the handler; false if it destroyed this port.
    bool callHandler();
    void updateDelivery();

    QString m_deviceName;
    int m_fd = -1;
    bool m_exclusive = false; // this port set the tty's exclusive-use flag
    bool m_modemLines = true;
    RxHandler m_rxHandler;
    std::function<void(const QString &)> m_exceptionSink;

    QPointer<QSocketNotifier> m_notifier;
    // Re-arms the notifier a little later when the handler left the waiting bytes untouched, so a
    // handler that does not read cannot make the notifier fire in a tight loop.
    QTimer m_rearm;
    bool m_inHandler = false;
    PortError m_lastError{QString()};
};
