#include "link/PortList.h"

#include <QSerialPortInfo>

void PortList::removeAt(int i)
{
    if (i < 0 || i >= entries.size())
        return;
    entries.removeAt(i);
    if (selected == i)
        selected = -1;
    else if (selected > i)
        --selected;
}

QString devicePathFor(const QString &entry)
{
    return entry.startsWith('/') ? entry : QStringLiteral("/dev/") + entry;
}

QStringList listPorts(const QStringList &extraPaths)
{
    QStringList usb, other;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        const bool isUsb = info.hasVendorIdentifier() || name.startsWith("ttyUSB") || name.startsWith("ttyACM");
        (isUsb ? usb : other) << name;
    }
    QStringList all;
    for (const QString &p : extraPaths + usb + other) {
        // A path given on the command line and the same device from the system count once.
        const QString path = devicePathFor(p);
        bool dup = false;
        for (const QString &q : all)
            dup = dup || devicePathFor(q) == path;
        if (!dup)
            all << p;
    }
    return all;
}
