#include "cli/SetupCommand.h"

#include "cli/CliLink.h"
#include "cli/RecallCommand.h"
#include "link/TComPort.h"
#include "logger/LoggerSetup.h"
#include "logger/SetupFrames.h"

#include <QCoreApplication>

namespace {
// The set-up window without a screen: the interval as given, labels kept, messages passed on.
class QuietSetupUi : public SetupUi {
public:
    explicit QuietSetupUi(std::function<void(const QString &)> out) : m_out(std::move(out)) {}
    QString minutes = QStringLiteral("00"), seconds = QStringLiteral("02");
    QStringList messages;

    QString intervalMinutes() const override { return minutes; }
    QString intervalSeconds() const override { return seconds; }
    void setLabel(Label, const QString &) override {}
    void message(const QString &text) override
    {
        messages << text;
        m_out(text);
    }
    void setBusyCursor(bool) override {}
    void memTestReset() override {}
    void memTestReply(const QStringList &) override {}
    void showInfo(const QString &) override {}
    void setInfoText(const QString &) override {}
    void closeInfo() override {}

private:
    std::function<void(const QString &)> m_out;
};

// The pieces an operation needs: the window's own port and the operations over both ports.
struct SetupSession {
    TComPort comm2;
    QuietSetupUi ui;
    LoggerSetup setup;
    SetupSession(CliLink &cli, std::function<void(const QString &)> out)
        : ui(std::move(out)),
          setup(cli.state(), cli.link().port(), comm2, cli.clock(), cli.mainTimer(), ui,
                [] { QCoreApplication::processEvents(); })
    {
        comm2.setModemLines(false);
        comm2.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });
    }
};
} // namespace

int runInfo(CliLink &cli, const SetupCliOptions &o, const std::function<bool(const QString &)> &writeLine,
            const std::function<void(const QString &)> &messageOut)
{
    SetupSession s(cli, messageOut);
    s.setup.setMemoryTestEnabled(o.memoryTest);
    if (!s.setup.Button4Click()) {
        messageOut(QStringLiteral("the meter did not answer the information read"));
        return CliExit::ExchangeFailed;
    }
    const LoggerSetup::Info &i = s.setup.info();
    auto h = [&](const QByteArray &b, int k) { return hex2(quint8(b.at(k))); };
    const QByteArray &t = i.meterTime;
    QStringList lines{
        QStringLiteral("Firmware version: ") + QString::number(i.versionHundredths / 100.0, 'f', 2),
        QStringLiteral("Meter time: 20%1-%2-%3T%4:%5:%6")
            .arg(h(t, 0), h(t, 2), h(t, 3), h(t, 4), h(t, 5), h(t, 6)),
        QStringLiteral("Recording interval: ") + h(i.header, 14) + QLatin1Char(':') + h(i.header, 15),
        QStringLiteral("Data sets: ") + QString::number(i.dataSets),
        QStringLiteral("Memory available: %1 values").arg(i.valuesAvailable),
    };
    if (o.memoryTest)
        lines << QStringLiteral("Memory test: ") + (i.memTestOk ? QStringLiteral("OK") : QStringLiteral("False"));
    for (const QString &l : lines)
        if (!writeLine(l))
            return CliExit::FileError;
    return o.memoryTest && !i.memTestOk ? CliExit::ExchangeFailed : CliExit::Success;
}

int runSetClock(CliLink &cli, const std::function<void(const QString &)> &messageOut)
{
    SetupSession s(cli, messageOut);
    return s.setup.Button1Click() ? CliExit::Success : CliExit::ExchangeFailed;
}

int runSetInterval(CliLink &cli, const SetupCliOptions &o, const std::function<void(const QString &)> &messageOut)
{
    const QStringList parts = o.interval.split(QLatin1Char(':'));
    if (parts.size() != 2 || !parseInterval(parts[0], parts[1])) {
        messageOut(QStringLiteral("Invalid Input"));
        return CliExit::Usage;
    }
    SetupSession s(cli, messageOut);
    s.ui.minutes = parts[0];
    s.ui.seconds = parts[1];
    return s.setup.Button2Click() ? CliExit::Success : CliExit::ExchangeFailed;
}

int runErase(CliLink &cli, bool yes, const std::function<void(const QString &)> &messageOut)
{
    if (!yes) {
        messageOut(QStringLiteral("erase removes every data set in the meter; give --yes to go ahead"));
        return CliExit::Usage;
    }
    switch (eraseMemoryFromMenu(cli.state(), cli.link(), messageOut, [](const QString &) { return true; })) {
    case MenuErase::Refused: return CliExit::MeterRecording;
    case MenuErase::Echoed: messageOut(QStringLiteral("Memory erased")); return CliExit::Success;
    default: messageOut(QStringLiteral("the meter did not echo the erase command")); return CliExit::ExchangeFailed;
    }
}
