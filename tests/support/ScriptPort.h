#pragma once
// A port for tests whose input the test scripts: bytes arrive at given virtual times, and a
// responder may answer what the program writes. Records every write with its virtual time.
#include "link/Clock.h"
#include "link/SerialPort.h"

#include <QList>
#include <functional>

class ScriptPort : public SerialPort {
public:
    struct Write {
        qint64 us;
        QByteArray bytes;
    };

    explicit ScriptPort(VirtualClock &clock) : m_clock(clock) {}

    // Devices that can be opened; any other name fails like a missing device (ENOENT).
    void addDevice(const QString &name) { m_devices << name; }
    void denyDevice(const QString &name) { m_denied << name; }
    // Another program has it open (EBUSY).
    void busyDevice(const QString &name) { m_busy << name; }
    // The device goes away (adapter pulled): the port closes as a real one does.
    void removeDevice(const QString &name)
    {
        m_devices.removeAll(name);
        if (name == m_name)
            m_open = false;
    }

    // Bytes that arrive now, or at now + delayUs.
    void feed(const QByteArray &bytes, qint64 delayUs = 0);
    // Called with each write; may feed a reply.
    std::function<void(const QByteArray &)> responder;

    const QList<Write> &writes() const { return m_writes; }
    QByteArray allWritten() const;
    void clearWrites() { m_writes.clear(); }
    int openCount() const { return m_opens; }
    int openAttempts() const { return m_openAttempts; }
    // Calls the receive handler once when it is attached and bytes are waiting.
    bool deliver();

    QString deviceName() const override { return m_name; }
    void setDeviceName(const QString &name) override;
    void open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int bytesWaiting() override;
    QByteArray read(int n) override;
    void write(const QByteArray &bytes) override;
    void purgeInput() override;
    void purgeOutput() override {}
    RxHandler rxHandler() const override { return m_handler; }
    void setRxHandler(RxHandler handler) override { m_handler = std::move(handler); }

private:
    struct Pending {
        qint64 us;
        char byte;
    };
    VirtualClock &m_clock;
    QStringList m_devices, m_denied, m_busy;
    QString m_name = "COM1";
    bool m_open = false;
    int m_opens = 0;
    int m_openAttempts = 0;
    QList<Pending> m_input;
    QList<Write> m_writes;
    RxHandler m_handler;
};
