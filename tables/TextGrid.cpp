#include "tables/TextGrid.h"

#include <algorithm>

TextGrid::TextGrid(int columns, qint64 rows) : m_columns(std::max(1, columns))
{
    setRowCount(rows);
}

void TextGrid::setRowCount(qint64 rows)
{
    rows = std::max<qint64>(0, rows);
    m_rowStart.resize(size_t(rows), 0);
    m_length.resize(size_t(rows) * size_t(m_columns), 0);
}

std::string_view TextGrid::cellUtf8(int col, qint64 row) const
{
    if (col < 0 || col >= m_columns || row < 0 || row >= rowCount())
        return {};
    const size_t base = size_t(row) * size_t(m_columns);
    quint64 off = m_rowStart[size_t(row)];
    for (int c = 0; c < col; ++c)
        off += m_length[base + size_t(c)];
    const quint16 len = m_length[base + size_t(col)];
    return len ? std::string_view(m_text.data() + off, len) : std::string_view();
}

QString TextGrid::cell(int col, qint64 row) const
{
    const std::string_view s = cellUtf8(col, row);
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

bool TextGrid::cellEmpty(int col, qint64 row) const
{
    if (col < 0 || col >= m_columns || row < 0 || row >= rowCount())
        return true;
    return m_length[size_t(row) * size_t(m_columns) + size_t(col)] == 0;
}

void TextGrid::setRow(qint64 row, const std::vector<std::string_view> &cells)
{
    if (row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    const size_t base = size_t(row) * size_t(m_columns);
    for (int c = 0; c < m_columns; ++c)
        m_garbage += m_length[base + size_t(c)];
    m_rowStart[size_t(row)] = m_text.size();
    for (int c = 0; c < m_columns; ++c) {
        std::string_view s = size_t(c) < cells.size() ? cells[size_t(c)] : std::string_view();
        if (s.size() > 0xffff)
            s = s.substr(0, 0xffff);
        m_text.insert(m_text.end(), s.begin(), s.end());
        m_length[base + size_t(c)] = quint16(s.size());
    }
    compactIfNeeded();
}

void TextGrid::setCell(int col, qint64 row, const QString &text)
{
    if (col < 0 || col >= m_columns || row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    std::vector<std::string> keep(static_cast<size_t>(m_columns));
    for (int c = 0; c < m_columns; ++c)
        keep[size_t(c)] = std::string(cellUtf8(c, row));
    keep[size_t(col)] = text.toUtf8().toStdString();
    std::vector<std::string_view> views(keep.begin(), keep.end());
    setRow(row, views);
}

void TextGrid::compactIfNeeded()
{
    if (m_garbage < 4096 || m_garbage * 2 < m_text.size())
        return;
    std::vector<char> text;
    text.reserve(m_text.size() - m_garbage);
    for (size_t r = 0; r < m_rowStart.size(); ++r) {
        quint64 len = 0;
        for (int c = 0; c < m_columns; ++c)
            len += m_length[r * size_t(m_columns) + size_t(c)];
        const quint64 start = m_rowStart[r];
        m_rowStart[r] = text.size();
        text.insert(text.end(), m_text.begin() + qint64(start), m_text.begin() + qint64(start + len));
    }
    m_text.swap(text);
    m_garbage = 0;
}

void TextGrid::reserve(qint64 rows, qint64 textBytes)
{
    rows = std::max<qint64>(0, rows);
    m_rowStart.reserve(size_t(rows));
    m_length.reserve(size_t(rows) * size_t(m_columns));
    m_text.reserve(size_t(std::max<qint64>(0, textBytes)));
}

qint64 TextGrid::memoryBytes() const
{
    return qint64(m_text.capacity() + m_rowStart.capacity() * sizeof(quint64)
                  + m_length.capacity() * sizeof(quint16));
}
