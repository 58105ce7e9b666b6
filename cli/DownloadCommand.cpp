#include "cli/DownloadCommand.h"

#include "app/Catalogue.h"
#include "cli/CliArgs.h"
#include "cli/CliLink.h"
#include "cli/ConsoleLoggerUi.h"
#include "cli/ExitCodes.h"
#include "cli/ServiceCli.h"
#include "cli/SetList.h"
#include "data/CollectionFile.h"
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

namespace {

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: %s\n", qPrintable(text));
    return code;
}

} // namespace

int runDownload(CliLink &cli, const DownloadOptions &options, ConsoleLoggerUi &ui, DataSetStore &store,
                QString &error)
{
    QTemporaryDir temp;
    if (!temp.isValid()) {
        error = QStringLiteral("no temporary folder for the working copy: ") + temp.errorString();
        return CliExit::FileError;
    }

    MemoryImage image;
    MemoryDownload download(cli.state(), cli.port(), cli.clock(), cli.mainTimer(), store, image, ui,
                            [] { QCoreApplication::processEvents(); });
    const QString folder = workingCopyFolder(temp.path() + QLatin1Char('/'), {});
    download.setWorkingCopyFolder(folder);
    // Every completed transfer goes to the file at once, whatever the parse finds and before any
    // repair changes the meter; when the file cannot be written the working copy is kept instead.
    bool transferred = false, fileWritten = false;
    download.setMemoryKeeper([&](bool copyWritten) {
        transferred = true;
        fileWritten = copyWritten && saveCollection(workingCopyPath(folder), options.outPath);
        if (!fileWritten && copyWritten)
            temp.setAutoRemove(false);
        return fileWritten;
    });
    const MemoryDownload::Outcome out = download.LoadData1Click();
    cli.link().onFrame = {};

    switch (out.kind) {
    case MemoryDownload::Outcome::NotConnected:
        error = LoadStr(96, Language::English);
        return CliExit::NoMeter;
    case MemoryDownload::Outcome::Recording:
        error = LoadStr(97, Language::English);
        return CliExit::MeterRecording;
    case MemoryDownload::Outcome::Aborted:
        error = QStringLiteral("the serial port failed during the transfer");
        return CliExit::LinkFailed;
    case MemoryDownload::Outcome::FolderError:
        error = QStringLiteral("the working copy's folder cannot be created: ") + out.errorText;
        return CliExit::FileError;
    case MemoryDownload::Outcome::Finished: break;
    }
    using Repair = MemoryDownload::Outcome::Repair;
    if (out.repair == Repair::Failed) {
        error = QStringLiteral("a damaged data set was found; fixing the meter's memory header failed (%1 of 5 "
                               "writes echoed), switch the meter off and on before loading again")
                    .arg(out.repairWritesEchoed);
        return CliExit::ExchangeFailed;
    }
    if (transferred && !fileWritten) {
        error = options.outPath + QStringLiteral(": cannot be written");
        if (QFileInfo::exists(workingCopyPath(folder)))
            error += QStringLiteral("; the memory is kept in ") + workingCopyPath(folder);
        if (out.repair == Repair::Withheld)
            error += QStringLiteral("; the meter's memory header was left as it is");
        return CliExit::FileError;
    }
    if (out.lastCode != LoadResult::Loaded) {
        error = loadResultDescription(out.lastCode);
        if (out.repaired)
            error += QStringLiteral("; the meter's memory header was repaired, switch the meter off and on "
                                    "before loading again");
        return CliExit::forLoadResult(out.lastCode);
    }
    return CliExit::Success;
}

int commandDownload(const QString &port, const QStringList &args)
{
    DownloadOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--out" && hasValue)
            o.outPath = args[++i];
        else if (a == "--retry" && hasValue && parseCliInt(args[i + 1], o.retries) && o.retries >= 0)
            ++i;
        else if (a == "--repair")
            o.repair = true;
        else
            return fail(CliExit::Usage, QStringLiteral("download: bad or unknown option ") + a);
    }
    if (o.outPath.isEmpty())
        return fail(CliExit::Usage, QStringLiteral("download needs --out FILE.rec"));
    if (!isCollectionFileName(o.outPath))
        std::fprintf(stderr, "k352-cli: note: %s does not end in .rec\n", qPrintable(o.outPath));

    // Ctrl-C ends a download at once, as the program's own signal handling cannot reach into the
    // transfer; the collection file is written only complete, so nothing half-written is left.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    CliLink cli;
    if (!connectTrackingRecording(cli, port))
        return fail(CliExit::NoMeter, LoadStr(96, Language::English));
    std::fprintf(stderr, "%s %s\n", qPrintable(LoadStr(8, Language::English)), qPrintable(cli.portName()));

    ConsoleLoggerUi ui(stderr, o.retries, o.repair);
    DataSetStore store;
    QString error;
    const int code = runDownload(cli, o, ui, store, error);
    cli.disconnect();
    if (code != CliExit::Success)
        return fail(code, error);
    std::printf("%s\n", qPrintable(setListHeading()));
    for (const QString &line : setListLines(store))
        std::printf("%s\n", qPrintable(line));
    return std::fflush(stdout) == 0 ? CliExit::Success : CliExit::FileError;
}
