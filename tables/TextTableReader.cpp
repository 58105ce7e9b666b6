#include "tables/TextTableReader.h"
#include "app/WindowTexts.h"

#include "data/GraphTextFile.h"
#include "data/TextFields.h"
#include "tables/TextGridModel.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

// Splits a device into lines without reading a whole long line: only its first kMaxTextLine + 1
// characters are kept, which is all the reader needs to know that the line is too long.
class LineSource {
public:
    explicit LineSource(QIODevice &in) : m_in(in) {}

    // The next line without its line end; false at the end of the input. *tooLong tells that the
    // line had more than kMaxTextLine characters and was cut.
    bool next(std::string_view &line, bool &tooLong)
    {
        constexpr qsizetype kLimit = kMaxTextLine + 2;  // 179 characters, CR, and one more
        for (;;) {
            const qsizetype avail = m_buf.size() - m_pos;
            const char *start = m_buf.constData() + m_pos;
            const qsizetype look = std::min(avail, kLimit);
            const void *lf = std::memchr(start, '\n', size_t(look));
            if (lf || avail >= kLimit || (m_eof && avail > 0)) {
                qsizetype len = lf ? static_cast<const char *>(lf) - start : look;
                const bool ended = lf != nullptr;
                if (ended)
                    m_pos += len + 1;
                else if (m_eof && avail < kLimit)
                    m_pos += len;
                else
                    m_pos = m_buf.size();  // cut: the rest of the input is not read
                if ((ended || m_eof) && len > 0 && start[len - 1] == '\r')
                    --len;
                tooLong = len > kMaxTextLine;
                if (tooLong) {
                    m_cut.assign(start, size_t(kMaxTextLine));
                    m_eof = true;
                    m_buf.clear();
                    m_pos = 0;
                    line = m_cut;
                    return true;
                }
                line = std::string_view(start, size_t(len));
                return true;
            }
            if (m_eof)
                return false;
            // Keep the unread part and read more.
            m_buf.remove(0, m_pos);
            m_pos = 0;
            const qsizetype old = m_buf.size();
            m_buf.resize(old + kChunk);
            const qint64 got = m_in.read(m_buf.data() + old, kChunk);
            m_buf.resize(old + std::max<qint64>(0, got));
            if (got <= 0)
                m_eof = true;
        }
    }

private:
    static constexpr qsizetype kChunk = 1 << 20;
    QIODevice &m_in;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    bool m_eof = false;
    std::string m_cut;
};

} // namespace

qint64 readTextLines(QIODevice &in, char separator, TextGrid &grid, TextUi *ui, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    LineSource source(in);
    std::vector<std::string_view> cells(size_t(grid.columnCount()));
    std::vector<std::string_view> fields;
    std::string unquoted;
    char number[24];
    qint64 n = 0;
    std::string_view line;
    bool tooLong = false;
    while (source.next(line, tooLong)) {
        if (!splitFields(line, separator, fields, unquoted))
            break;
        ++n;
        if (ui && !ui->progressStep(n)) {
            if (cancelled)
                *cancelled = true;
            --n;  // this line is not taken
            break;
        }
        const auto r = std::to_chars(number, number + sizeof number, n);
        std::fill(cells.begin(), cells.end(), std::string_view());
        cells[0] = std::string_view(number, size_t(r.ptr - number));
        for (size_t c = 1; c < cells.size() && c - 1 < fields.size(); ++c)
            cells[c] = fields[c - 1];
        grid.setRow(n, cells);
        if (tooLong)
            break;
    }
    return n;
}

qint64 defaultTableMemoryLimit()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return qint64(1) << 30;
    return qint64(pages) * qint64(pageSize) / 4;
}

TableEstimate estimateTable(qint64 fileSize, QByteArrayView sample, int columns)
{
    TableEstimate e;
    if (fileSize <= 0)
        return e;
    // The lines that end within the sample give the mean line length; without one line end the
    // first line is all the reader takes (it is cut after 179 characters or ends the file).
    const qsizetype lastEnd = sample.lastIndexOf('\n');
    qint64 lines = 0;
    for (qsizetype i = 0; i <= lastEnd; ++i)
        lines += sample.at(i) == '\n';
    if (lines == 0) {
        e.rows = 1;
        e.textBytes = std::min<qint64>(fileSize, kMaxTextLine);
    } else {
        const qint64 meanLine = std::max<qint64>(1, (qint64(lastEnd) + 1) / lines);
        e.rows = (fileSize + meanLine - 1) / meanLine;
        e.textBytes = fileSize;
    }
    e.bytes = e.textBytes + e.rows * TextGrid::rowOverhead(columns);
    return e;
}

namespace {

QString tooLargeMessage(const QString &fileName, const TableEstimate &e, qint64 limit)
{
    const auto mb = [](qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); };
    return messageText("TableTooLarge")
        .arg(fileName, mb(e.bytes), mb(limit));
}

// The reading both kinds of file share: refuse a table that would not fit, then read the lines
// into the new grid with or without the progress window.
TextReadResult readTable(const QString &fileName, char separator, std::shared_ptr<TextGrid> (*newGrid)(),
                         TextUi &ui, bool showProgress, qint64 memoryLimit)
{
    TextReadResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    std::shared_ptr<TextGrid> grid = newGrid();
    const TableEstimate estimate = estimateTable(file.size(), file.peek(1 << 16), grid->columnCount());
    // The table windows count their rows in an int as well.
    if (estimate.bytes > memoryLimit || estimate.rows >= std::numeric_limits<int>::max()) {
        result.refused = true;
        ui.message(tooLargeMessage(fileName, estimate, memoryLimit));
        return result;
    }
    grid->reserve(estimate.rows + 1, estimate.textBytes);
    result.grid = std::move(grid);
    if (!showProgress) {
        result.rows = readTextLines(file, separator, *result.grid, nullptr);
        return result;
    }
    ProgressSetup setup;
    setup.caption = QStringLiteral("Open Progress");
    setup.text = QStringLiteral("0");
    setup.showBar = false;
    setup.showCancel = true;
    setup.countInText = true;
    setup.processEvents = true;
    ui.progressOpen(setup);
    result.rows = readTextLines(file, separator, *result.grid, &ui, &result.cancelled);
    ui.progressClose();
    return result;
}

} // namespace

TextReadResult readTextTable(const QString &fileName, char separator, TextUi &ui, const TextReadLimits &limits)
{
    return readTable(fileName, separator, newListGrid, ui, true, limits.tableBytes);
}

TextReadResult readCaptureFile(const QString &fileName, TextUi &ui, const TextReadLimits &limits)
{
    const bool large = QFileInfo(fileName).size() >= limits.captureProgressFrom;
    return readTable(fileName, separatorForFileName(fileName), newDataCaptureGrid, ui, large, limits.tableBytes);
}
