#pragma once
// Help, Contents: opens the instruction manual for the system language with the desktop's
// default viewer. Nothing happens when the manual or a viewer is missing.
#include <QString>
#include <functional>

// Opens the manual found for the system language beside the program, in the installation's
// shared data folder or in the user data folder. Returns the file given to the viewer, or empty
// when there was none. open: hands the file to the desktop (default: QDesktopServices::openUrl).
QString openManual(const QString &userDataFolder, const std::function<void(const QString &file)> &open = {});
