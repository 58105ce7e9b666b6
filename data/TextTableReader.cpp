#include "data/TextTableReader.h"

#include "tables/TextGridModel.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cstring>
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
    char number[24];
    qint64 n = 0;
    std::string_view line;
    bool tooLong = false;
    while (source.next(line, tooLong)) {
        if (line.find(separator) == std::string_view::npos)
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
        std::string_view rest = line;
        for (size_t c = 1; c < cells.size(); ++c) {
            const size_t p = rest.find(separator);
            if (p != std::string_view::npos) {
                cells[c] = rest.substr(0, p);
                rest.remove_prefix(p + 1);
            } else {
                cells[c] = rest;  // empty when the line ended with a separator
                break;
            }
        }
        grid.setRow(n, cells);
        if (tooLong)
            break;
    }
    return n;
}

TextReadResult readTextTable(const QString &fileName, char separator, TextUi &ui)
{
    TextReadResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.grid = newListGrid();
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

TextReadResult readCaptureFile(const QString &fileName)
{
    TextReadResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.grid = newDataCaptureGrid();
    result.rows = readTextLines(file, '\t', *result.grid, nullptr);
    return result;
}
