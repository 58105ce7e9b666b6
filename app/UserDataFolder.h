#pragma once
// The per-user data folder "k352_4" inside the user's documents folder.
#include <QString>

// The documents folder: the system's documents location when it exists, else the home folder;
// empty when neither can be found.
QString documentsFolder();

// documents + "/k352_4/", created (one level) when missing; documents + "/" when it cannot be
// created; empty when documents is empty. The result ends with "/" or is empty.
QString prepareUserDataFolder(const QString &documents);

// The per-user application data folder, "k352_4/" in the user's data location
// (~/.local/share/k352_4/ on Linux), ending with "/"; the chart template lives there because the
// program's own folder is usually not writable. Not created here. Empty when there is no data
// location.
QString appDataFolder();
