#pragma once
// Help, Contents: opens the manual for the system language with the desktop's default viewer.
#include <QString>
#include <QStringList>
#include <functional>

struct ManualLookup {
    QString file;          // the file given to the viewer; empty when none was found
    QStringList searched;  // every place looked at, in order
};

// Opens the manual found for the system language beside the program, in the installation's
// shared data folder or in the user data folder: the instrument's PDF when it is there, else the
// program's own HTML manual. open: hands the file to the desktop (default: QDesktopServices::openUrl).
ManualLookup openManual(const QString &userDataFolder, const std::function<void(const QString &file)> &open = {});

// The message shown when no manual was found: where it was looked for.
QString manualMissingText(const QStringList &searched, bool german);
