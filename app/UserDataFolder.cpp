#include "app/UserDataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString documentsFolder()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QFileInfo(docs).isDir())
        return docs;
    const QString home = QDir::homePath();
    return QFileInfo(home).isDir() ? home : QString();
}

QString prepareUserDataFolder(const QString &documents)
{
    if (documents.isEmpty())
        return {};
    QString base = documents;
    if (!base.endsWith('/'))
        base += '/';
    const QString folder = base + "k352_4";
    QFileInfo info(folder);
    if (info.isDir() || QDir().mkdir(folder))
        return folder + '/';
    return base;
}

QString appDataFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    return data + QStringLiteral("/k352_4/");
}
