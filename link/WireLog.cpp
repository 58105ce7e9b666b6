#include "link/WireLog.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

#include <memory>

Q_LOGGING_CATEGORY(lcWire, "k352.wire", QtWarningMsg)

namespace {
QFile *g_file = nullptr;
QtMessageHandler g_previous = nullptr;
QMutex g_mutex;

void wireFileHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, lcWire().categoryName()) == 0) {
        const QMutexLocker lock(&g_mutex);
        const QString line =
            QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + message + QLatin1Char('\n');
        g_file->write(line.toUtf8());
        g_file->flush();
        return;
    }
    if (g_previous)
        g_previous(type, context, message);
}
} // namespace

QString wireLogLine(WireDirection direction, const QString &device, const QByteArray &bytes)
{
    return QLatin1String(direction == WireDirection::In ? "in  " : "out ") + device + QLatin1String(": ")
           + QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void logWire(WireDirection direction, const QString &device, const QByteArray &bytes)
{
    if (lcWire().isDebugEnabled() && !bytes.isEmpty())
        qCDebug(lcWire).noquote() << wireLogLine(direction, device, bytes);
}

bool startWireLogFile(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    {
        const QMutexLocker lock(&g_mutex);
        delete g_file;
        g_file = file.release();
    }
    if (!g_previous) {
        g_previous = qInstallMessageHandler(wireFileHandler);
        if (g_previous == wireFileHandler)
            g_previous = nullptr;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("k352.wire.debug=true"));
    return true;
}
