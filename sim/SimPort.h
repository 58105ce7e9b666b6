#pragma once
// An in-process serial port over a virtual wire to simulated meters, on a virtual clock. Every
// call first lets the open device run up to the clock's now, so what the program sees depends
// only on virtual time. The test loop calls deliver() where the real port's thread would hand a
// receive event to the user-interface thread.
#include "link/Clock.h"
#include "link/SerialPort.h"
#include "sim/MeterWire.h"

#include <QList>
#include <memory>
#include <vector>

class SimPort : public SerialPort {
public:
    struct WrittenByte {
        qint64 us; // virtual time of the write call
        char byte;
    };
    // The input queue holds this many bytes; more are lost.
    static constexpr int InputQueueSize = 4096;

    explicit SimPort(VirtualClock &clock);
    ~SimPort() override;
    SimPort(const SimPort &) = delete;
    SimPort &operator=(const SimPort &) = delete;

    // A device the port can open; nullptr is a device that takes writes and never answers.
    // Names match with or without a leading "/dev/". The meter must outlive the port. Only one
    // port at a time can have a given meter open.
    void addDevice(const QString &name, SimulatedMeter *meter);
    // A device that exists but may not be opened (EACCES).
    void denyDevice(const QString &name);

    // Calls the receive handler once when it is attached and bytes are waiting.
    bool deliver();
    // Runs the open device up to the clock's now.
    void sync();
    // The next virtual time at which a byte arrives at either end of the open device's line, or
    // the meter acts; SimulatedMeter::Never when closed or idle.
    qint64 nextEventUs() const;
    // The meter of the open device (nullptr when closed or silent).
    SimulatedMeter *meter() const;

    const QList<WrittenByte> &writtenLog() const { return m_written; }
    QByteArray written() const;
    void clearWrittenLog() { m_written.clear(); }
    int overrunBytes() const { return m_overrun; }
    // Every byte that has arrived from the meter since the port was made, read or not.
    qint64 arrivedBytes() const { return m_arrived; }

    QString deviceName() const override { return m_name; }
    void setDeviceName(const QString &name) override;
    void open() override;
    void close() override;
    bool isOpen() const override { return m_open != nullptr; }
    int bytesWaiting() override;
    QByteArray read(int n) override;
    void write(const QByteArray &bytes) override;
    void purgeInput() override;
    void purgeOutput() override;
    RxHandler rxHandler() const override { return m_handler; }
    void setRxHandler(RxHandler handler) override { m_handler = std::move(handler); }

private:
    struct Device {
        QString name;
        MeterWire wire;
        bool denied = false;
    };
    Device *find(const QString &name) const;
    void requireOpen() const;

    VirtualClock &m_clock;
    std::vector<std::unique_ptr<Device>> m_devices;
    QString m_name = "COM1";
    Device *m_open = nullptr;
    QByteArray m_input;
    int m_overrun = 0;
    qint64 m_arrived = 0;
    RxHandler m_handler;
    QList<WrittenByte> m_written;
};
