#include "data/WorkingCopy.h"

#include "data/MemoryImageParser.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString workingCopyFolder(const QString &userDataFolder, const QString &programFolder)
{
    QString base = userDataFolder.isEmpty() ? programFolder : userDataFolder;
    if (!base.isEmpty() && !base.endsWith('/'))
        base += '/';
    return base + QStringLiteral("temp/");
}

QString workingCopyPath(const QString &folder)
{
    return folder + QStringLiteral("DataSetsTemp.tmp");
}

void ensureWorkingCopyFolder(const QString &folder)
{
    QString path = folder;
    while (path.endsWith('/') && path.size() > 1)
        path.chop(1);
    if (QFileInfo(path).isDir())
        return;
    if (!QDir().mkdir(path))
        throw WorkingCopyFolderError(folder);
}

QByteArray workingCopyBytes(const MemoryImage &image)
{
    const qint32 last = lastAddressOf(image);
    if (last < 0)
        return {};
    const qsizetype length = qsizetype(last) + 257;
    QByteArray bytes = image.left(length);
    if (bytes.size() < length)
        bytes.append(length - bytes.size(), WorkingCopyFiller);
    return bytes;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

bool writeWorkingCopy(const MemoryImage &image, const QString &path)
{
    const QByteArray bytes = workingCopyBytes(image);
    if (bytes.isEmpty())
        return false;
    return writeFileSafely(path, bytes);
}
