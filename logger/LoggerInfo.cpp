// The logger set-up window's information read, its memory test and the whole initialisation.
#include "logger/LoggerSetup.h"
#include "logger/SetupFrames.h"

#include <QLocale>
#include <QTime>
#include <exception>
#include <optional>

namespace {
constexpr quint32 ReplyLimitMs = 2500;
constexpr quint32 TestReplyLimitMs = 1500;
constexpr int BlockWithSum = 65;
constexpr int BlockRepeats = 3;
constexpr int MemoryTop = 64255;
constexpr int RestoreAttempts = 3;
constexpr quint32 RestoreRetryPauseMs = 100;

QString meterTimeText(const QByteArray &r, const QString &sep, int order)
{
    const QString y = hex2(quint8(r.at(0))), m = hex2(quint8(r.at(2))), d = hex2(quint8(r.at(3)));
    QString date;
    switch (order) {
    case 1: date = d + sep + m + sep + y; break;
    case 3: date = y + sep + m + sep + d; break;
    case 4: date = y + sep + d + sep + m; break;
    default: date = m + sep + d + sep + y; break;
    }
    const QString time = hex2(quint8(r.at(4))) + QLatin1Char(':') + hex2(quint8(r.at(5))) + QLatin1Char(':')
                         + hex2(quint8(r.at(6)));
    return date + QStringLiteral("  ") + time;
}
} // namespace

bool LoggerSetup::ReadLoggerInfo()
{
    m_info = Info();
    using L = SetupUi::Label;

    m_comm2.write(SetupFrames::Version);
    if (waitBytes(9, ReplyLimitMs, true) != 9)
        return false;
    const QByteArray version = m_comm2.read(9);
    m_info.versionHundredths = quint8(version.at(8));
    m_ui.setLabel(L::Version, QLocale().toString(m_info.versionHundredths * 0.01, 'f', 2));

    m_comm2.write(SetupFrames::Time);
    if (waitBytes(8, ReplyLimitMs, true) != 8)
        return false;
    m_info.meterTime = m_comm2.read(8);
    m_ui.setLabel(L::MeterTime, meterTimeText(m_info.meterTime, m_state.DateSeparator, m_state.DateOrder));

    if (!SendSetupCommand(SetupFrames::FirstBlock))
        return false;
    for (int repeats = 0;; ++repeats) {
        if (waitBytes(BlockWithSum, ReplyLimitMs, false) == BlockWithSum)
            break;
        if (repeats == BlockRepeats)
            return false;
        m_comm2.purgeInput();
        SendSetupCommand(SetupFrames::FirstBlock);
    }
    const QByteArray block = m_comm2.read(BlockWithSum);
    auto b = [&](int i) { return int(quint8(block.at(i))); };
    m_info.header = block.left(64);
    m_info.dataSets = b(9) * 256 + b(10);
    m_ui.setLabel(L::DataSets, QString::number(m_info.dataSets));
    m_ui.setLabel(L::Interval, hex2(quint8(b(14))) + QLatin1Char(':') + hex2(quint8(b(15))) + QStringLiteral("(mm:ss)"));

    m_comm2.write(SetupFrames::EndBlocks);
    BusyWait(m_clock, 100);
    m_comm2.purgeInput();

    m_info.endPointer = b(11) * 65536 + b(12) * 256 + b(13);
    m_info.valuesAvailable = std::max(0, (MemoryTop - m_info.endPointer) / 2);
    m_ui.setLabel(L::MemoryAvailable, QString::number(m_info.valuesAvailable));

    if (!m_memTestEnabled)
        return true;
    BusyWait(m_clock, 1500);
    m_info.memTestRun = true;
    m_info.memTestOk = TestMemory();
    m_ui.setLabel(L::MemTest, m_info.memTestOk ? QStringLiteral("OK") : QStringLiteral("False"));
    return true;
}

std::optional<QByteArray> LoggerSetup::memoryByteReply(const QByteArray &frame, quint32 &elapsedMs)
{
    m_comm2.purgeInput();
    m_comm2.write(frame);
    const quint32 t0 = m_clock.tickMs();
    const int n = waitBytes(9, TestReplyLimitMs, false);
    elapsedMs = m_clock.tickMs() - t0;
    if (n != 9)
        return std::nullopt;
    return m_comm2.read(9);
}

namespace {
bool replyHolds(const std::optional<QByteArray> &reply, const QByteArray &frame, quint8 value)
{
    return reply && reply->left(8) == frame && quint8(reply->at(8)) == value;
}
} // namespace

// The test byte goes only where the byte that was there has been read first, and that byte is
// written back afterwards, so stored data sets come through the test unchanged. A port error after
// the test write still gets the restore (the port reopened when it closed) before it ends the test;
// a restore that keeps failing is reported with the address whose byte may have changed.
bool LoggerSetup::testOneAddress(quint8 a)
{
    quint32 ms = 0;
    const QByteArray readFrame = memoryReadFrame(a);
    const auto before = memoryByteReply(readFrame, ms);
    if (!before || before->left(8) != readFrame)
        return false;
    const quint8 original = quint8(before->at(8));

    const QByteArray writeFrame = memoryWriteFrame(a, SetupFrames::TestByte);
    bool ok = false;
    std::exception_ptr portFailure;
    try {
        const auto written = memoryByteReply(writeFrame, ms);
        if (written) {
            QStringList cells;
            for (char c : *written)
                cells << hex2(quint8(c));
            cells << QTime(0, 0).addMSecs(int(ms)).toString(QStringLiteral("hh:mm:ss.zzz"));
            m_ui.memTestReply(cells);
            ok = replyHolds(written, writeFrame, SetupFrames::TestByte)
                 && replyHolds(memoryByteReply(readFrame, ms), readFrame, SetupFrames::TestByte);
        }
    } catch (const SilentAbort &) {
        portFailure = std::current_exception();
    } catch (const PortError &) {
        portFailure = std::current_exception();
    }

    if (!restoreByte(a, original)) {
        m_info.unrestoredAddresses << (int(a) << 8);
        m_ui.message(unrestoredText(int(a) << 8));
    }
    if (portFailure)
        std::rethrow_exception(portFailure);
    return ok && m_info.unrestoredAddresses.isEmpty();
}

bool LoggerSetup::restoreByte(quint8 a, quint8 original)
{
    const QByteArray restoreFrame = memoryWriteFrame(a, original);
    quint32 ms = 0;
    for (int i = 0; i < RestoreAttempts; ++i) {
        const auto held = quietly([&] {
            if (i > 0)
                BusyWait(m_clock, RestoreRetryPauseMs);
            if (!m_comm2.isOpen())
                m_comm2.open();
            return replyHolds(memoryByteReply(restoreFrame, ms), restoreFrame, original);
        });
        if (held.value_or(false))
            return true;
    }
    return false;
}

QString LoggerSetup::unrestoredText(int address)
{
    return QStringLiteral("Memory test: the byte at address %1 could not be written back and may have changed.")
        .arg(QStringLiteral("0x") + QString::number(address, 16).toUpper().rightJustified(6, QLatin1Char('0')));
}

bool LoggerSetup::TestMemory()
{
    m_ui.memTestReset();
    for (quint8 a : SetupFrames::TestAddresses)
        if (!testOneAddress(a))
            return false;
    return true;
}

bool LoggerSetup::Button4Click()
{
    using L = SetupUi::Label;
    for (L l : {L::MemoryAvailable, L::MeterTime, L::Interval, L::DataSets})
        m_ui.setLabel(l, QString());
    m_ui.setBusyCursor(true);
    bool ok = false;
    try {
        if (SwitchToSetupPort()) {
            beginExchange();
            ok = ReadLoggerInfo();
        }
    } catch (const SilentAbort &) {
        ok = false;
    } catch (const PortError &) {
        ok = false;
    }
    m_ui.setBusyCursor(false);
    RestoreMainPort();
    return ok;
}

bool LoggerSetup::Button5Click()
{
    using L = SetupUi::Label;
    m_ui.showInfo(QStringLiteral("開始設定電表時間"));
    m_ui.setBusyCursor(true);
    bool ok = false;
    try {
        ok = [&] {
            if (!SwitchToSetupPort())
                return false;
            beginExchange();
            BusyWait(m_clock, 100);
            if (!setClock())
                return false;

            m_ui.setInfoText(QStringLiteral("設定記錄間隔"));
            const auto interval = parseInterval(m_ui.intervalMinutes(), m_ui.intervalSeconds());
            if (!interval)
                return false;
            BusyWait(m_clock, 100);
            purgeBoth();
            BusyWait(m_clock, 100);
            if (!SendSetupCommand(intervalFrame(*interval)))
                return false;

            m_ui.setInfoText(QStringLiteral("清除記憶體"));
            BusyWait(m_clock, 100);
            purgeBoth();
            BusyWait(m_clock, 100);
            m_comm2.write(SetupFrames::Erase);
            BusyWait(m_clock, 2500);

            m_ui.setInfoText(QStringLiteral("開始測試記憶體"));
            for (L l : {L::MemoryAvailable, L::MeterTime, L::Interval, L::DataSets})
                m_ui.setLabel(l, QString());
            BusyWait(m_clock, 100);
            purgeBoth();
            BusyWait(m_clock, 100);
            return ReadLoggerInfo();
        }();
    } catch (const SilentAbort &) {
        ok = false;
    } catch (const PortError &) {
        ok = false;
    }
    m_ui.setInfoText(QStringLiteral("Preparing to load ....."));
    m_ui.closeInfo();
    m_ui.setBusyCursor(false);
    if (!ok)
        m_ui.message(QStringLiteral("設定失敗"));
    BusyWait(m_clock, 100);
    quietly([&] {
        if (m_comm2.isOpen())
            m_comm2.write(SetupFrames::Boot);
    });
    RestoreMainPort(true);
    return ok;
}
