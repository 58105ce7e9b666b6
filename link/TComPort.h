#pragma once
// The serial port over a tty device: exclusive, 9600 8N1, raw. Receive events come from a socket
// notifier on the user-interface thread, so they never arrive inside a busy wait and never overlap.
#include "link/SerialPort.h"

#include <QObject>
#include <functional>

class QSocketNotifier;

class TComPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit TComPort(QObject *parent = nullptr);
    ~TComPort() override;

    // Hold DTR inactive and RTS active after opening (the main port does; a borrowed port leaves
    // the lines as the driver has them). Devices without modem lines (a pty) are fine either way.
    void setModemLines(bool on) { m_modemLines = on; }
    // Receives the text of an exception a receive handler let escape (other than a silent abort).
    void setExceptionSink(std::function<void(const QString &)> sink) { m_sink = std::move(sink); }

    QString deviceName() const override { return m_name; }
    void setDeviceName(const QString &name) override;
    void open() override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int bytesWaiting() override;
    QByteArray read(int n) override;
    void write(const QByteArray &bytes) override;
    void purgeInput() override;
    void purgeOutput() override;
    RxHandler rxHandler() const override { return m_handler; }
    void setRxHandler(RxHandler handler) override;

private:
    void onReadable();
    void updateNotifier();
    [[noreturn]] void raiseErrno(const QString &what, int err);
    void requireOpen() const;
    // The device went away while open: close once and tell the error handler.
    void deviceGone(int err);
    bool hungUp() const;

    QString m_name = "COM1";
    int m_fd = -1;
    bool m_modemLines = true;
    bool m_inHandler = false;
    QSocketNotifier *m_notifier = nullptr;
    RxHandler m_handler;
    std::function<void(const QString &)> m_sink;
};
