#include "link/PortList.h"

#include "link/SerialPort.h"

#include <QSerialPortInfo>

#include <cerrno>

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

void PortList::refresh(const QStringList &present)
{
    const QString current = text();
    entries = present;
    selected = -1;
    if (current.isEmpty())
        return;
    for (int i = 0; i < entries.size(); ++i) {
        if (devicePathFor(entries[i]) == devicePathFor(current)) {
            entries[i] = current;
            selected = i;
            return;
        }
    }
    entries.prepend(current);
    selected = 0;
}

QString devicePathFor(const QString &entry)
{
    return entry.startsWith(QLatin1Char('/')) ? entry : QStringLiteral("/dev/") + entry;
}

QStringList listPorts(const QStringList &extraPaths)
{
    // USB adapters (where a meter is to be found) before built-in ports, each group in the
    // system's order.
    QStringList usb, other;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        const bool isUsb = info.hasVendorIdentifier() || name.startsWith(QLatin1String("ttyUSB"))
            || name.startsWith(QLatin1String("ttyACM"));
        (isUsb ? usb : other) << name;
    }
    QStringList all;
    QStringList paths;
    for (const QString &entry : extraPaths + usb + other) {
        if (entry.trimmed().isEmpty())
            continue;
        // A path given on the command line and the same device from the system count once.
        const QString path = devicePathFor(entry);
        if (paths.contains(path))
            continue;
        paths << path;
        all << entry;
    }
    return all;
}

bool isPermissionError(const PortError &error)
{
    return error.code() == EACCES || error.code() == EPERM;
}

bool isBusyError(const PortError &error)
{
    return error.code() == EBUSY;
}
