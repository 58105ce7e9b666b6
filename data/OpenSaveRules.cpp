#include "data/OpenSaveRules.h"
#include "app/Catalogue.h"

namespace {

const QString kGraphAndText = QStringLiteral(
    "Graph file(*.ghf,only for k352-4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT");
const QString kGraphTextCsv = kGraphAndText + QStringLiteral("|EXCEL file format(*.CSV,seperated by comma)|*.CSV");

} // namespace

SaveWindow saveWindowFor(ChildClass cls, const QString &caption)
{
    switch (cls) {
    case ChildClass::None: return SaveWindow::None;
    case ChildClass::Graph:
        return caption == LoadStr(30) ? SaveWindow::DataSetGraph : SaveWindow::OtherGraph;
    case ChildClass::List: return SaveWindow::Table;
    case ChildClass::DataCapture: return SaveWindow::SingleValues;
    case ChildClass::Other: return SaveWindow::Other;
    }
    return SaveWindow::None;
}

QString fileExtension(const QString &fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return {};
    return fileName.mid(dot).toLower();
}

OpenOperation singleFileOperation(const QString &fileName)
{
    const QString ext = fileExtension(fileName);
    if (ext == QLatin1String(".ghf"))
        return OpenOperation::GraphFile;
    if (ext == QLatin1String(".csv"))
        return OpenOperation::TextTableComma;
    if (ext == QLatin1String(".txt"))
        return OpenOperation::TextTableTab;
    return OpenOperation::None;
}

OpenOperation fileOperation(const QString &fileName)
{
    const QString ext = fileExtension(fileName);
    if (ext == QLatin1String(".rec"))
        return OpenOperation::Collection;
    if (ext == QLatin1String(".cap"))
        return OpenOperation::Capture;
    return singleFileOperation(fileName);
}

OpenOperation openOperation(OpenChoice choice, const QString &fileName)
{
    switch (choice) {
    case OpenChoice::Collection: return OpenOperation::Collection;
    case OpenChoice::SingleFile: return singleFileOperation(fileName);
    case OpenChoice::Capture: return OpenOperation::Capture;
    case OpenChoice::Cancel: return OpenOperation::None;
    }
    return OpenOperation::None;
}

SaveOperation saveOperation(SaveWindow window, const QString &fileName)
{
    const QString ext = fileExtension(fileName);
    switch (window) {
    case SaveWindow::DataSetGraph:
        if (ext == QLatin1String(".ghf"))
            return SaveOperation::GraphFile;
        if (ext == QLatin1String(".rec"))
            return SaveOperation::Collection;
        if (ext == QLatin1String(".txt"))
            return SaveOperation::GraphTextTab;
        return SaveOperation::None;  // ".csv" included
    case SaveWindow::OtherGraph:
        if (ext == QLatin1String(".ghf"))
            return SaveOperation::GraphFile;
        if (ext == QLatin1String(".txt"))
            return SaveOperation::GraphTextTab;
        if (ext == QLatin1String(".csv"))
            return SaveOperation::GraphTextComma;  // also when the filter did not offer CSV
        return SaveOperation::None;
    case SaveWindow::Table: return SaveOperation::TableText;
    case SaveWindow::SingleValues: return SaveOperation::CaptureText;
    case SaveWindow::None:
    case SaveWindow::Other: return SaveOperation::None;
    }
    return SaveOperation::None;
}

QString openFilter(OpenChoice choice, bool commaDecimal)
{
    switch (choice) {
    case OpenChoice::Collection: return QStringLiteral("Data Sets Collection (*.REC)|*.REC");
    case OpenChoice::SingleFile: return commaDecimal ? kGraphAndText : kGraphTextCsv;
    case OpenChoice::Capture: return QStringLiteral("Capture file(*.CAP,only for k352-4)|*.CAP");
    case OpenChoice::Cancel: return {};
    }
    return {};
}

QString saveFilter(SaveWindow window, bool commaDecimal)
{
    switch (window) {
    case SaveWindow::DataSetGraph:
        return QStringLiteral("Data Set Collection file(*.rec,only for k352-4)|*.REC|") + kGraphAndText;
    case SaveWindow::OtherGraph: return commaDecimal ? kGraphAndText : kGraphTextCsv;
    case SaveWindow::Table:
        return commaDecimal ? QStringLiteral(" TXT file(*.txt,data seperated by tab)|*.TXT")
                            : QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT|"
                                             "EXCEL file format(*.csv,seperated by comma) |*.CSV");
    case SaveWindow::SingleValues:
        return commaDecimal ? QStringLiteral(" CAP file(*.CAP)|*.CAP|TXT file(*.txt,data seperated by tab)|*.TXT|")
                            : QStringLiteral(" CAP file(*.CAP)|*.CAP|TXT file(*.txt,data seperated by tab)|*.TXT|"
                                             "EXCEL file format(*.CSV,seperated by comma)|*.CSV");
    case SaveWindow::None:
    case SaveWindow::Other: return {};
    }
    return {};
}

QStringList qtNameFilters(const QString &barFilter)
{
    QStringList out;
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (description.isEmpty() && pattern.isEmpty())
            continue;  // the empty pair after a trailing bar
        QStringList patterns;
        for (const QString &p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (!t.isEmpty())
                patterns << t;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString own = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        if (description.trimmed().endsWith(own))
            out << description;
        else
            out << description + QLatin1Char(' ') + own;
    }
    return out;
}

QString initialFolder(const QString &userDataFolder, const QString &programFolder)
{
    return userDataFolder.isEmpty() ? programFolder : userDataFolder;
}

FileDialogSetup openDialogSetup(OpenChoice choice, bool commaDecimal, const QString &folder)
{
    FileDialogSetup s;
    s.filter = openFilter(choice, commaDecimal);
    s.nameFilters = qtNameFilters(s.filter);
    s.folder = folder;
    if (choice == OpenChoice::Collection) {
        s.setsDefaultExtension = true;
        s.defaultExtension = QStringLiteral("REC");
    }
    return s;
}

FileDialogSetup saveDialogSetup(SaveWindow window, bool commaDecimal, const QString &folder)
{
    FileDialogSetup s;
    s.filter = saveFilter(window, commaDecimal);
    s.nameFilters = qtNameFilters(s.filter);
    s.folder = folder;
    switch (window) {
    case SaveWindow::DataSetGraph: s.defaultExtension = QStringLiteral("REC"); break;
    case SaveWindow::OtherGraph: s.defaultExtension = QStringLiteral("GHF"); break;
    case SaveWindow::Table: s.defaultExtension = QStringLiteral("TXT"); break;
    case SaveWindow::SingleValues: s.defaultExtension = QStringLiteral("CAP"); break;
    case SaveWindow::None:
    case SaveWindow::Other: break;
    }
    s.setsDefaultExtension = !s.defaultExtension.isEmpty();
    return s;
}

QString defaultSuffix(const QString &defaultExtension)
{
    QString s = defaultExtension.trimmed();
    if (s.startsWith(QLatin1Char('*')))
        s.remove(0, 1);
    if (s.startsWith(QLatin1Char('.')))
        s.remove(0, 1);
    if (s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?')) || s.contains(QLatin1Char('/')))
        return {};
    return s;
}

QString withDefaultExtension(const QString &fileName, const QString &defaultExtension)
{
    const QString suffix = defaultSuffix(defaultExtension);
    if (suffix.isEmpty() || fileName.isEmpty() || fileName.endsWith(QLatin1Char('/')))
        return fileName;
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (fileName.indexOf(QLatin1Char('.'), slash + 1) >= 0)
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}
