#include "cli/ConsoleLoggerUi.h"

#include "app/Catalogue.h"

#include <algorithm>
#include <unistd.h>

namespace {
// Steps of the progress shown when standard error is not a terminal: one line per tenth.
constexpr int kSteps = 10;

// The terminal speaks English: the catalogue's texts of the download in the active language are
// shown in their English version; the download's fixed texts are English already.
QString inEnglish(const QString &text)
{
    for (const int id : {96, 97, 99, 100}) {
        if (text == LoadStr(id))
            return LoadStr(id, Language::English);
    }
    return text;
}
} // namespace

ConsoleLoggerUi::ConsoleLoggerUi(std::FILE *out, int retries, bool repair)
    : m_out(out), m_retries(retries), m_repair(repair), m_terminal(out && ::isatty(::fileno(out)) == 1)
{
}

void ConsoleLoggerUi::print(const QString &line)
{
    if (!m_out)
        return;
    if (m_lineOpen) {
        std::fputc('\n', m_out);
        m_lineOpen = false;
    }
    std::fprintf(m_out, "%s\n", qPrintable(line));
    std::fflush(m_out);
}

void ConsoleLoggerUi::showPreparing()
{
    print(QStringLiteral("Preparing to load ....."));
}

void ConsoleLoggerUi::openProgress(const QString &, int total)
{
    m_total = total;
    m_shownStep = -1;
    print(QStringLiteral("%1 total bytes").arg(total));
}

void ConsoleLoggerUi::setProgress(int received)
{
    if (!m_out || m_total <= 0)
        return;
    if (m_terminal) {
        std::fprintf(m_out, "\r%d bytes received", received);
        std::fflush(m_out);
        m_lineOpen = true;
        return;
    }
    const int step = int(qint64(std::min(received, m_total)) * kSteps / m_total);
    if (step != m_shownStep) {
        m_shownStep = step;
        print(QStringLiteral("%1 bytes received").arg(received));
    }
}

void ConsoleLoggerUi::closeProgress()
{
    if (m_out && m_lineOpen) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
        m_lineOpen = false;
    }
}

void ConsoleLoggerUi::message(const QString &text)
{
    m_messages << text;
    print(inEnglish(text));
}

LoggerUi::Button ConsoleLoggerUi::confirm(const QString &text, const QList<Button> &buttons)
{
    m_messages << text;
    print(inEnglish(text));
    Button answer = Button::Cancel;
    if (m_repair && buttons.contains(Button::Ok))
        answer = Button::Ok;
    else if (m_retries > 0 && buttons.contains(Button::Retry)) {
        --m_retries;
        answer = Button::Retry;
    }
    print(answer == Button::Ok ? QStringLiteral("-> OK (repairing the meter's memory header)")
          : answer == Button::Retry ? QStringLiteral("-> Retry")
                                    : QStringLiteral("-> Cancel"));
    return answer;
}
