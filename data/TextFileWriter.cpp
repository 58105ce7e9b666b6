#include "data/TextFileWriter.h"
#include "app/WindowTexts.h"

TextFileWriter::TextFileWriter(const QString &fileName) : m_file(fileName)
{
    m_buffer.reserve(kChunk + 512);
}

bool TextFileWriter::open()
{
    return m_file.open(QIODevice::WriteOnly);
}

bool TextFileWriter::flush()
{
    if (m_failed)
        return false;
    if (m_buffer.size() < kChunk)
        return true;
    m_failed = m_file.write(m_buffer) != m_buffer.size();
    m_buffer.clear();
    return !m_failed;
}

bool TextFileWriter::commit()
{
    if (!m_failed && !m_buffer.isEmpty())
        m_failed = m_file.write(m_buffer) != m_buffer.size();
    m_buffer.clear();
    if (m_failed) {
        m_file.cancelWriting();
        return false;
    }
    return m_file.commit();
}

void TextFileWriter::cancel()
{
    m_buffer.clear();
    m_file.cancelWriting();
}

QString TextFileWriter::failureMessage(const QString &fileName)
{
    return messageText("NotWritten").arg(fileName);
}
