#pragma once
// The cells of a table window's grid, in grid coordinates: row 0 is the header row, column 0 the
// row labels. All cell texts share one UTF-8 buffer; each row keeps its start offset and each cell
// its length, so a million rows take a few tens of megabytes.
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

class TextGrid {
public:
    TextGrid(int columns, qint64 rows);

    int columnCount() const { return m_columns; }
    qint64 rowCount() const { return qint64(m_rowStart.size()); }
    void setRowCount(qint64 rows);

    std::string_view cellUtf8(int col, qint64 row) const;
    QString cell(int col, qint64 row) const;
    bool cellEmpty(int col, qint64 row) const;
    void setCell(int col, qint64 row, const QString &text);
    // Replaces a whole row; cells beyond the given ones become empty.
    void setRow(qint64 row, const std::vector<std::string_view> &utf8Cells);

    // Room for rows rows and textBytes bytes of cell text, so that a table of known size is
    // built without the copies (and twice the memory) of growing step by step.
    void reserve(qint64 rows, qint64 textBytes);

    qint64 memoryBytes() const;
    // Bytes a grid takes per row besides its text.
    static qint64 rowOverhead(int columns) { return qint64(sizeof(quint64) + sizeof(quint16) * size_t(columns)); }

private:
    int m_columns;
    std::vector<char> m_text;
    std::vector<quint64> m_rowStart;
    std::vector<quint16> m_length;  // rows x columns
    quint64 m_garbage = 0;
    void compactIfNeeded();
};
