#include "app/ui/ManualViewer.h"

#include "app/ManualFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>

QString openManual(const QString &userDataFolder, const std::function<void(const QString &)> &open)
{
    const QString file = findManual(QLocale::system().language(), QCoreApplication::applicationDirPath(), userDataFolder);
    if (file.isEmpty())
        return {};
    if (open)
        open(file);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));  // the result is not checked
    return file;
}
