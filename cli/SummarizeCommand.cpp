#include "cli/SummarizeCommand.h"

#include "cli/CliArgs.h"
#include "cli/ExitCodes.h"
#include "monitor/Summarize.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

namespace {
int fail(int code, const QString &text)
{
    std::fprintf(stderr, "k352-cli: summarize: %s\n", qPrintable(text));
    return code;
}
} // namespace

int commandSummarize(const QStringList &args)
{
    QString dir;
    int period = 900;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--period")) {
            if (i + 1 >= args.size() || !parseCliInt(args[i + 1], period))
                return fail(CliExit::Usage, QStringLiteral("--period needs a whole number of seconds"));
            ++i;
        } else if (a.startsWith(QLatin1String("--")) || !dir.isEmpty()) {
            return fail(CliExit::Usage, QStringLiteral("unknown option or extra argument: %1").arg(a));
        } else {
            dir = a;
        }
    }
    if (dir.isEmpty())
        return fail(CliExit::Usage, QStringLiteral("needs the folder: summarize DIR [--period S]"));
    if (period < 1 || period > 86400 || 86400 % period != 0)
        return fail(CliExit::Usage, QStringLiteral("the period must be a divisor of 86400 seconds"));
    if (!QFileInfo(dir).isDir())
        return fail(CliExit::FileError, QStringLiteral("%1: no such folder").arg(dir));
    {
        QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".summarize-XXXXXX")));
        if (!probe.open())
            return fail(CliExit::FileError, QStringLiteral("%1: the folder cannot be written").arg(dir));
    }
    const SummarizeReport r = summarizeFolder(dir, period);
    for (const QString &f : r.foreign)
        std::fprintf(stderr, "k352-cli: summarize: %s: not a journal of this program; left alone\n", qPrintable(f));
    if (r.error)
        return fail(CliExit::FileError, r.error.message());
    std::fprintf(stderr, "%lld samples, %d days\n", static_cast<long long>(r.samples), r.days);
    return CliExit::Success;
}
