#include "cli/CollectionCommands.h"

#include "app/TDateTime.h"
#include "cli/CliArgs.h"
#include "cli/ExitCodes.h"
#include "cli/SetList.h"
#include "data/CollectionFile.h"
#include "data/GraphTextFile.h"
#include "data/WorkingCopy.h"

#include <QDateTime>
#include <cstdio>

namespace {

// The export's dialogs on a terminal: the whole range, no progress, messages to standard error.
class WholeRangeUi : public UnattendedTextUi {
public:
    void message(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: %s\n", qPrintable(text));
    return code;
}

} // namespace

int loadCollectionForCli(const QString &path, DataSetStore &store, QString &error)
{
    MemoryImage image;
    const CollectionOpenResult r = readCollectionFile(path, store, image, toTDateTime(QDateTime::currentDateTime()));
    image.clear();
    switch (r.outcome) {
    case CollectionOpenResult::Loaded: return CliExit::Success;
    case CollectionOpenResult::CannotOpen: error = path + QStringLiteral(": cannot be read"); return CliExit::FileError;
    case CollectionOpenResult::EmptyFile: error = path + QStringLiteral(": the file is empty"); return CliExit::FileError;
    case CollectionOpenResult::TooLarge:
        error = path + QStringLiteral(": larger than a logger memory (more than %1 bytes)").arg(kMaxCollectionBytes);
        return CliExit::FileError;
    default:
        error = path + QStringLiteral(": ") + loadResultDescription(loadResultOf(r.parseCode));
        return CliExit::forLoadResult(loadResultOf(r.parseCode));
    }
}

int exportSetAsText(const DataSetStore &store, int k, const QString &path, QString &error)
{
    if (k < 1 || k > store.setCount()) {
        error = QStringLiteral("there is no data set %1 (the file holds %2)").arg(k).arg(store.setCount());
        return CliExit::Usage;
    }
    const int set = k - 1;
    const int count = store.SetCount.at(set);
    const qsizetype offset = store.setOffset(set);
    if (count == 0) {
        if (!writeFileSafely(path, {})) {
            error = path + QStringLiteral(": cannot be written");
            return CliExit::FileError;
        }
        return CliExit::Success;
    }
    WholeRangeUi ui;
    const TextExportResult r = exportGraphText(ui, path, store.LevelTimes.constData() + offset,
                                               store.Levels.constData() + offset, count, separatorForFileName(path));
    if (r.status != TextExportResult::Written) {
        error = path + QStringLiteral(": cannot be written");
        return CliExit::FileError;
    }
    return CliExit::Success;
}

int commandSets(const QStringList &args)
{
    if (args.size() != 1)
        return fail(CliExit::Usage, QStringLiteral("sets needs exactly one collection file"));
    DataSetStore store;
    QString error;
    const int code = loadCollectionForCli(args[0], store, error);
    if (code != CliExit::Success)
        return fail(code, error);
    std::printf("%s\n", qPrintable(setListHeading()));
    for (const QString &line : setListLines(store))
        std::printf("%s\n", qPrintable(line));
    return std::fflush(stdout) == 0 ? CliExit::Success : CliExit::FileError;
}

int commandExport(const QStringList &args)
{
    QString file, out;
    int k = 0;
    bool haveSet = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--set" && hasValue && parseCliInt(args[i + 1], k))
            haveSet = true, ++i;
        else if (a == "--out" && hasValue)
            out = args[++i];
        else if (!a.startsWith("--") && file.isEmpty())
            file = a;
        else
            return fail(CliExit::Usage, QStringLiteral("export: bad or unknown option ") + a);
    }
    if (file.isEmpty() || !haveSet || out.isEmpty())
        return fail(CliExit::Usage, QStringLiteral("export needs FILE.rec --set K --out FILE"));
    DataSetStore store;
    QString error;
    int code = loadCollectionForCli(file, store, error);
    if (code == CliExit::Success)
        code = exportSetAsText(store, k, out, error);
    return code == CliExit::Success ? code : fail(code, error);
}
