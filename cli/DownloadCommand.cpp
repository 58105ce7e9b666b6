#include "cli/DownloadCommand.h"

#include "app/Catalogue.h"
#include "cli/CliArgs.h"
#include "cli/CliLink.h"
#include "cli/ConsoleLoggerUi.h"
#include "cli/ExitCodes.h"
#include "cli/SetList.h"
#include "data/CollectionFile.h"
#include "data/WorkingCopy.h"
#include "logger/MemoryDownload.h"
#include "panel/ReadingDecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

namespace {

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: %s\n", qPrintable(text));
    return code;
}

// Follows the recording mark of the live frames, as the reading decoder does in the program, and
// waits for the next frame so that the mark is the meter's present one.
void followRecordingMark(CliLink &cli, int waitMs)
{
    bool seen = false;
    cli.link().onFrame = [&cli, &seen](const QByteArray &frame) {
        cli.state().MeterRecording = decodeReading(frame).recording;
        seen = true;
    };
    QElapsedTimer t;
    t.start();
    while (!seen && t.elapsed() < waitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    // Frames that still come in before the transfer takes the port keep the mark up to date.
    cli.link().onFrame = [&cli](const QByteArray &frame) {
        cli.state().MeterRecording = decodeReading(frame).recording;
    };
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
    followRecordingMark(cli, options.frameWaitMs);

    MemoryImage image;
    MemoryDownload download(cli.state(), cli.port(), cli.clock(), cli.mainTimer(), store, image, ui,
                            [] { QCoreApplication::processEvents(); });
    const QString folder = workingCopyFolder(temp.path() + QLatin1Char('/'), {});
    download.setWorkingCopyFolder(folder);
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
    if (out.lastCode != LoadResult::Loaded) {
        error = loadResultDescription(out.lastCode);
        if (out.repaired)
            error += QStringLiteral("; the meter's memory header was repaired, switch the meter off and on "
                                    "before loading again");
        return CliExit::forLoadResult(out.lastCode);
    }
    if (!saveCollection(workingCopyPath(folder), options.outPath)) {
        // Keep what took minutes to download.
        temp.setAutoRemove(false);
        error = options.outPath + QStringLiteral(": cannot be written; the memory is kept in ")
                + workingCopyPath(folder);
        return CliExit::FileError;
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
    if (!cli.connectMeter(port))
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
