#pragma once
// The working copy of the last logger memory image, "temp/DataSetsTemp.tmp" under the user data
// folder (or the program's folder when there is none). A collection is saved by copying it.
// Every write goes to a file beside the target that replaces it only when complete, so a crash
// or a full disk never leaves a half-written file in place of a good one.
#include "data/DataSetStore.h"

#include <QString>
#include <stdexcept>

// The folder could not be created; what() is its full name, the text the user is shown.
class WorkingCopyFolderError : public std::runtime_error {
public:
    explicit WorkingCopyFolderError(const QString &folder)
        : std::runtime_error(folder.toStdString()), m_folder(folder) {}
    QString folder() const { return m_folder; }

private:
    QString m_folder;
};

// base (user data folder, or the program's folder when that is empty; ends with "/") + "temp/".
QString workingCopyFolder(const QString &userDataFolder, const QString &programFolder);
// The folder + "DataSetsTemp.tmp".
QString workingCopyPath(const QString &folder);
// Creates the folder (one level) when missing; raises WorkingCopyFolderError when it cannot.
void ensureWorkingCopyFolder(const QString &folder);

// Bytes beyond the end of the image in a written copy; never taken for a marker (0xA5).
constexpr char WorkingCopyFiller = char(0xFF);

// The L + 257 bytes a working copy holds, L from image bytes 12 and 13: the image, then filler
// where it is shorter. Empty when the image is too short to hold L.
QByteArray workingCopyBytes(const MemoryImage &image);
// Writes workingCopyBytes(image) to path; false (nothing replaced) when it cannot be written.
bool writeWorkingCopy(const MemoryImage &image, const QString &path);

// Replaces path with bytes, or leaves it untouched and returns false.
bool writeFileSafely(const QString &path, const QByteArray &bytes);
