#include "graph/GraphFile.h"

#include "data/WorkingCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {
constexpr qint64 kLengthField = 4;

GraphFileResult failure(GraphFileResult::Outcome outcome, const QString &message)
{
    return {outcome, message};
}

QString cannotOpenMessage(const QString &path)
{
    return QStringLiteral("Cannot open file \"%1\".").arg(QDir::toNativeSeparators(path));
}

const QString kReadError = QStringLiteral("Stream read error");
} // namespace

GraphFileResult saveGraphFile(const QByteArray &block, const QString &path)
{
    if (quint64(block.size()) > 0xFFFFFFFFull)
        return failure(GraphFileResult::CannotCreate,
                       QStringLiteral("Cannot create file \"%1\".").arg(QDir::toNativeSeparators(path)));
    QByteArray bytes(kLengthField, '\0');
    qToLittleEndian(quint32(block.size()), bytes.data());
    bytes.append(block);
    if (!writeFileSafely(path, bytes))
        return failure(GraphFileResult::CannotCreate,
                       QStringLiteral("Cannot create file \"%1\".").arg(QDir::toNativeSeparators(path)));
    return {};
}

GraphFileResult readGraphFile(const QString &path, QByteArray *block)
{
    if (block)
        block->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(GraphFileResult::CannotOpen, cannotOpenMessage(path));
    uchar head[kLengthField];
    if (file.read(reinterpret_cast<char *>(head), kLengthField) != kLengthField)
        return failure(GraphFileResult::TooShort, kReadError);
    const quint32 n = qFromLittleEndian<quint32>(head);
    // The length is trusted only as far as the file's bytes go.
    const qint64 available = file.size() - kLengthField;
    if (qint64(n) > available)
        return failure(GraphFileResult::TooShort, kReadError);
    QByteArray bytes(qsizetype(n), Qt::Uninitialized);
    if (n > 0 && file.read(bytes.data(), n) != qint64(n))
        return failure(GraphFileResult::TooShort, kReadError);
    if (block)
        *block = std::move(bytes);
    return {};
}

QString refusedGraphFileMessage(const QString &path)
{
    return QStringLiteral("\"%1\" is not a graph file of this program.").arg(QDir::toNativeSeparators(path));
}

GraphFileResult loadGraphFile(const QString &path, ChartState &state)
{
    QByteArray block;
    GraphFileResult r = readGraphFile(path, &block);
    if (!r.ok())
        return r;
    if (LoadChartState(block, state) != ChartStateError::None)
        return failure(GraphFileResult::Refused, refusedGraphFileMessage(path));
    return {};
}

QString templateFolder(const QString &appData)
{
    QString base = appData;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + QStringLiteral("template/");
}

QString templatePath(const QString &appData)
{
    return templateFolder(appData) + QStringLiteral("graph.ghf");
}

QString templateFolderMessage(const QString &folder)
{
    return QStringLiteral("Cannot create ") + QDir::toNativeSeparators(folder) + QStringLiteral(" directory.");
}

GraphFileResult saveTemplate(const QByteArray &block, const QString &appData)
{
    const QString folder = templateFolder(appData);
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return failure(GraphFileResult::CannotCreate, templateFolderMessage(folder));
    return saveGraphFile(block, templatePath(appData));
}

TemplateLoad loadTemplate(ChartState &state, const QString &appData)
{
    return loadTemplateFile(state, templatePath(appData));
}

TemplateLoad loadTemplateFile(ChartState &state, const QString &path)
{
    TemplateLoad t;
    if (path.isEmpty() || !QFileInfo::exists(path))
        return t;
    ChartState stored;
    const GraphFileResult r = loadGraphFile(path, stored);
    t.loaded = r.ok();
    if (t.loaded)
        state.look = chartTemplateOf(stored).look;
    if (r.outcome != GraphFileResult::Refused)
        t.message = r.message;
    return t;
}
