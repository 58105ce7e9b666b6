#pragma once
// Writing of a text export: the lines go to a temporary file beside the target in chunks, and the
// target is replaced by a rename only when everything was written, so an existing file is never
// left half overwritten. A cancelled or failed export leaves the old file as it was.
#include <QByteArray>
#include <QSaveFile>
#include <QString>

class TextFileWriter {
public:
    explicit TextFileWriter(const QString &fileName);

    // Creates the temporary file; false when it cannot be created.
    bool open();
    // The buffer that the caller appends its lines to; flush() passes it on when it is full.
    QByteArray &buffer() { return m_buffer; }
    // Writes the buffer once it holds a chunk; false after a write failure.
    bool flush();
    // Writes the rest and renames the file over the target; false on any failure.
    bool commit();
    // Drops everything written; the target stays as it was.
    void cancel();

    // The text shown when writing or replacing the file failed.
    static QString failureMessage(const QString &fileName);

private:
    static constexpr qsizetype kChunk = 1 << 16;
    QSaveFile m_file;
    QByteArray m_buffer;
    bool m_failed = false;
};
