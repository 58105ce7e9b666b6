#pragma once
// The port list of the main window's tool bar: entry names and the selection.
#include <QString>
#include <QStringList>

class PortError;

class PortList {
public:
    QStringList entries;
    int selected = -1;

    QString text() const { return selected >= 0 && selected < entries.size() ? entries[selected] : QString(); }
    void select(int i) { selected = (i >= 0 && i < entries.size()) ? i : -1; }
    void removeAt(int i);
    // Replaces the entries by the ports present now. The selected entry stays selected, kept in
    // front when it is no longer present (its device may come back).
    void refresh(const QStringList &present);
};

// The device path for a list entry: a path as it stands, a bare name under /dev/.
QString devicePathFor(const QString &entry);

// Ports the system reports, USB adapters first, with the given extra paths in front
// (duplicates dropped).
QStringList listPorts(const QStringList &extraPaths = {});

// The port could not be opened for lack of rights (on Linux: the user is not in group dialout).
bool isPermissionError(const PortError &error);
// The port could not be opened because another program (or a port of this one) has it.
bool isBusyError(const PortError &error);
