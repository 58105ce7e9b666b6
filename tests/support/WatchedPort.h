#pragma once
// A serial port that forwards to another and notes, in a log shared by several of them, every
// moment at which two of them were open together.
#include "link/SerialPort.h"

#include <QStringList>

struct OpenWatch {
    int openNow = 0;
    int overlaps = 0;
    QStringList events;  // "open NAME" / "close NAME"
};

class WatchedPort : public SerialPort {
public:
    WatchedPort(SerialPort &inner, OpenWatch &watch, QString name) : m_inner(inner), m_watch(watch), m_name(name) {}

    QString deviceName() const override { return m_inner.deviceName(); }
    void setDeviceName(const QString &n) override { m_inner.setDeviceName(n); }
    void open() override
    {
        const bool was = m_inner.isOpen();
        m_inner.open();
        if (!was && m_inner.isOpen()) {
            if (++m_watch.openNow > 1)
                ++m_watch.overlaps;
            m_watch.events << "open " + m_name;
        }
    }
    void close() override
    {
        const bool was = m_inner.isOpen();
        m_inner.close();
        if (was && !m_inner.isOpen()) {
            --m_watch.openNow;
            m_watch.events << "close " + m_name;
        }
    }
    bool isOpen() const override { return m_inner.isOpen(); }
    int bytesWaiting() override { return m_inner.bytesWaiting(); }
    QByteArray read(int n) override { return m_inner.read(n); }
    void write(const QByteArray &b) override { m_inner.write(b); }
    void purgeInput() override { m_inner.purgeInput(); }
    void purgeOutput() override { m_inner.purgeOutput(); }
    RxHandler rxHandler() const override { return m_inner.rxHandler(); }
    void setRxHandler(RxHandler h) override { m_inner.setRxHandler(std::move(h)); }

private:
    SerialPort &m_inner;
    OpenWatch &m_watch;
    QString m_name;
};
