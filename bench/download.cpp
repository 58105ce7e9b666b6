// A full 64 KiB logger memory download from the in-process simulated meter on the virtual clock at
// 9600 baud, once with the waits that end when the expected reply is there and once with every
// wait run to its full length. Each run is set against its wire time: the bytes that crossed the
// line in both directions, 10 bits each, at 9600 baud.
#include "link/LinkState.h"
#include "data/WorkingCopy.h"
#include "link/Clock.h"
#include "link/Timer.h"
#include "logger/MemoryDownload.h"
#include "sim/SimPort.h"
#include "sim/SimulatedMeter.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// One data set of 32248 values fills the memory: 1024 + 14 + 2 * 32248 + 2 = 65536 bytes.
constexpr int Values = 32248;

struct QuietUi : LoggerUi {
    QStringList messages;
    void showPreparing() override {}
    void closePreparing() override {}
    void openProgress(const QString &, int) override {}
    void setProgress(int) override {}
    void refreshProgress() override {}
    void closeProgress() override {}
    void message(const QString &text) override { messages << text; }
    Button confirm(const QString &text, const QList<Button> &) override
    {
        messages << text;
        return Button::Cancel;
    }
    bool prepareDataSetWindow() override { return false; }
    void dataSetsLoaded() override {}
    void setDownloadUnsaved() override {}
};

struct Run {
    bool ok = false;
    double virtualSeconds = 0, wireSeconds = 0;
    qint64 sent = 0, arrived = 0;
};

Run download(MemoryDownload::Waits waits, const QString &folder)
{
    VirtualClock clock;
    SimulatedMeter meter(QDateTime(QDate(2026, 12, 9), QTime(12, 0, 0)));
    SimDataSet set{QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)), 1, true, {}};
    for (int i = 0; i < Values; ++i)
        set.levels.append(quint16(450 + (i * 37) % 400));
    meter.loggerMemory().store({set});
    if (meter.loggerMemory().endPointer() != 0xFFFF) {
        std::fprintf(stderr, "end pointer %x, not ffff\n", meter.loggerMemory().endPointer());
        return {};
    }
    SimPort port(clock);
    port.addDevice("ttyUSB0", &meter);
    port.setDeviceName("ttyUSB0");
    port.open();
    port.setRxHandler([] {});
    // Let the live stream run for a moment, as it does before the user starts a download.
    clock.advanceMs(500);
    port.sync();

    LinkState state;
    state.Connected = true;
    ManualTimer timer(1000);
    timer.setEnabled(true);
    DataSetStore store;
    MemoryImage image;
    QuietUi ui;
    MemoryDownload dl(state, port, clock, timer, store, image, ui);
    dl.setWorkingCopyFolder(folder);
    dl.setWaits(waits);

    const qint64 startUs = clock.elapsedUs();
    const qint64 arrivedBefore = port.arrivedBytes();
    const qsizetype sentBefore = port.written().size();
    const MemoryDownload::Outcome out = dl.LoadData1Click();
    port.sync();

    Run r;
    r.virtualSeconds = double(clock.elapsedUs() - startUs) / 1e6;
    r.sent = port.written().size() - sentBefore;
    r.arrived = port.arrivedBytes() - arrivedBefore;
    r.wireSeconds = double(r.sent + r.arrived) * 10.0 / 9600.0;
    r.ok = out.kind == MemoryDownload::Outcome::Finished && out.lastCode == LoadResult::Loaded && store.SetCount == QList<qint32>{Values};
    if (!r.ok)
        std::fprintf(stderr, "download failed: kind %d, code %d, %s\n", int(out.kind), int(out.lastCode),
                     qPrintable(ui.messages.join(" | ")));
    return r;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString folder = workingCopyFolder(dir.path() + '/', {});
    const Run replies = download(MemoryDownload::Waits::Replies, folder);
    const Run fixed = download(MemoryDownload::Waits::Fixed, folder);
    if (!replies.ok || !fixed.ok)
        return 1;
    std::printf("download_ratio_reply_waits: %.3f ratio\n", replies.virtualSeconds / replies.wireSeconds);
    std::printf("download_ratio_fixed_waits: %.3f ratio\n", fixed.virtualSeconds / fixed.wireSeconds);
    std::printf("download_virtual_reply_waits: %.2f s\n", replies.virtualSeconds);
    std::printf("download_virtual_fixed_waits: %.2f s\n", fixed.virtualSeconds);
    std::printf("download_wire_reply_waits: %.2f s\n", replies.wireSeconds);
    std::printf("download_wire_fixed_waits: %.2f s\n", fixed.wireSeconds);
    std::printf("download_bytes_to_meter: %lld bytes\n", qlonglong(replies.sent));
    std::printf("download_bytes_from_meter: %lld bytes\n", qlonglong(replies.arrived));
    return 0;
}
