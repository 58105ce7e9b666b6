#pragma once
// Shared pieces of the fuzz targets: a scratch folder for readers that take a file name, a text
// UI that answers like a user who accepts everything, and a check that stops the run with its
// reason, so that libFuzzer keeps the input that broke a rule.
#include "chart/ChartState.h"
#include "data/TextUi.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline QByteArray input(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A file in a folder that lives as long as the run.
inline QString scratchFile(const QString &name)
{
    static QTemporaryDir dir;
    return dir.filePath(name);
}

inline QString writeScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFile(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

inline QByteArray readScratch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A chart state block with its length and checksum made right, so that mutations reach the
// contents instead of stopping at the checksum.
inline QByteArray withChartFrame(QByteArray block)
{
    if (block.size() < 16)
        return block;
    qToLittleEndian(quint32(block.size()), block.data() + 8);
    qToLittleEndian(ChartStateCrc32(block.constData(), block.size() - 4), block.data() + block.size() - 4);
    return block;
}


} // namespace fuzz

// A rule of the reader that the input broke: print it and abort.
#define FUZZ_REQUIRE(cond)                                                                      \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: broken rule: %s\n", __FILE__, __LINE__, #cond);        \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)
