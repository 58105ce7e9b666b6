#include "app/ui/ManualViewer.h"

#include "app/ManualFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>

ManualLookup openManual(const QString &userDataFolder, const std::function<void(const QString &)> &open)
{
    const QLocale::Language language = QLocale::system().language();
    ManualLookup out;
    out.searched = helpCandidates(language, QCoreApplication::applicationDirPath(), userDataFolder);
    out.file = findManual(language, QCoreApplication::applicationDirPath(), userDataFolder);
    if (out.file.isEmpty())
        return out;
    if (open)
        open(out.file);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(out.file));  // the result is not checked
    return out;
}

QString manualMissingText(const QStringList &searched, bool german)
{
    const QString head = german ? QStringLiteral("Die Bedienungsanleitung wurde nicht gefunden. Gesucht in:")
                                : QStringLiteral("The user manual was not found. Looked for:");
    return head + QLatin1Char('\n') + searched.join(QLatin1Char('\n'));
}
