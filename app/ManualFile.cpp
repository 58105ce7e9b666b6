#include "app/ManualFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

QString manualFileName(QLocale::Language language)
{
    const char *code = "en";
    switch (language) {
    case QLocale::Chinese: code = "cn"; break;
    case QLocale::German: code = "de"; break;
    case QLocale::Spanish: code = "es"; break;
    case QLocale::French: code = "fr"; break;
    case QLocale::Italian: code = "it"; break;
    case QLocale::Dutch: code = "nl"; break;
    default: break;
    }
    return QStringLiteral("0415 3524 %1 03.pdf").arg(QLatin1String(code));
}

QStringList manualCandidates(QLocale::Language language, const QString &programFolder, const QString &userDataFolder)
{
    const QString tail = QStringLiteral("Instruction Manual/") + manualFileName(language);
    QStringList out;
    if (!programFolder.isEmpty()) {
        out << withSlash(programFolder) + tail;
        // <prefix>/bin/k352 -> <prefix>/share/k352_4/
        const QString share = QDir::cleanPath(withSlash(programFolder) + QStringLiteral("../share/k352_4"));
        out << withSlash(share) + tail;
    }
    if (!userDataFolder.isEmpty())
        out << withSlash(userDataFolder) + tail;
    return out;
}

QString programManualFileName(QLocale::Language language)
{
    return language == QLocale::German ? QStringLiteral("k352_4-manual-de.html")
                                       : QStringLiteral("k352_4-manual-en.html");
}

QStringList helpCandidates(QLocale::Language language, const QString &programFolder, const QString &userDataFolder)
{
    QStringList out = manualCandidates(language, programFolder, userDataFolder);
    const QString instrument = manualFileName(language);
    const QString own = programManualFileName(language);
    const int n = out.size();
    for (int i = 0; i < n; ++i)
        out << out[i].left(out[i].size() - instrument.size()) + own;
    return out;
}

QString findManual(const QStringList &candidates, const std::function<bool(const QString &)> &exists)
{
    for (const QString &c : candidates) {
        if (exists(c))
            return c;
    }
    return {};
}

QString findManual(QLocale::Language language, const QString &programFolder, const QString &userDataFolder)
{
    return findManual(helpCandidates(language, programFolder, userDataFolder),
                      [](const QString &path) { return QFileInfo(path).isFile(); });
}
