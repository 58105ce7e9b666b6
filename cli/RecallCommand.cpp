#include "cli/RecallCommand.h"

#include "cli/CliLink.h"
#include "logger/SingleValuesRecall.h"

#include <QCoreApplication>
#include <QFile>

namespace {
// The single-values window as the command line has it: the rows, and messages passed on.
class RowsUi : public RecallUi {
public:
    explicit RowsUi(std::function<void(const QString &)> out) : rows(99, QStringList(5)), m_out(std::move(out)) {}
    QList<QStringList> rows;  // rows 1 to 99 at 0 to 98
    bool messageShown = false;

    void prepareWindow() override {}
    void clearRows() override
    {
        for (QStringList &r : rows)
            r = QStringList(5);
    }
    void setRow(int row, const QStringList &cells) override
    {
        if (row >= 1 && row <= 99)
            rows[row - 1] = cells;
    }
    void message(const QString &text) override
    {
        messageShown = true;
        m_out(text);
    }
    void setBusyCursor(bool) override {}

private:
    std::function<void(const QString &)> m_out;
};
} // namespace

QString recallStdoutLine(int number, const StoredReading &r)
{
    const QString level = r.level > StoredValues::ShownLimit ? QStringLiteral("----")
                                                             : QString::number(double(r.level), 'f', 1);
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(fromTDateTime(r.when).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")), level,
             r.weightingA ? QStringLiteral("dBA") : QStringLiteral("dBC"),
             r.fast ? QStringLiteral("FAST") : QStringLiteral("SLOW"));
}

bool writeCaptureFile(const QString &path, const QList<QStringList> &rows)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QChar sep = path.right(3).compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0 ? QLatin1Char(',')
                                                                                            : QLatin1Char('\t');
    QByteArray out;
    for (int r = 0; r < 99; ++r) {
        QString line;
        for (int c = 0; c < 5; ++c)
            line += rows.value(r).value(c) + sep;
        out += line.toLocal8Bit() + "\r\n";
    }
    return f.write(out) == out.size() && f.flush();
}

int runRecall(CliLink &cli, const QString &capturePath, const std::function<bool(const QString &)> &writeLine,
              const std::function<void(const QString &)> &messageOut)
{
    RowsUi ui(messageOut);
    SingleValuesRecall recall(cli.state(), cli.link().port(), cli.clock(), cli.mainTimer(), ui,
                              [] { QCoreApplication::processEvents(); });
    recall.setReceiveHandler(cli.link().receiveHandler());
    const auto out = recall.RECALL1Click();
    switch (out.kind) {
    case SingleValuesRecall::Outcome::NotConnected: return CliExit::NoMeter;
    case SingleValuesRecall::Outcome::Recording: return CliExit::MeterRecording;
    case SingleValuesRecall::Outcome::Aborted: messageOut(QStringLiteral("the port failed during the transfer")); return CliExit::ExchangeFailed;
    case SingleValuesRecall::Outcome::Finished: break;
    }
    if (out.memory.size() < StoredValues::MemorySize) {
        messageOut(QStringLiteral("the meter did not send its stored values"));
        return CliExit::ExchangeFailed;
    }
    if (!capturePath.isEmpty())
        return writeCaptureFile(capturePath, ui.rows) ? CliExit::Success : CliExit::FileError;
    for (int i = 0; i < out.readings.size(); ++i)
        if (!writeLine(recallStdoutLine(i + 1, out.readings[i])))
            return CliExit::FileError;
    return CliExit::Success;
}
