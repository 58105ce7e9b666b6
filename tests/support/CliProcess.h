#pragma once
// End-to-end helpers: k352-cli as a child process with what it has said so far, and the rows of
// a monitoring folder's files.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <functional>

inline QList<QByteArray> rowsOfFiles(const QDir &dir, const QString &pattern)
{
    QList<QByteArray> rows;
    for (const QString &name : dir.entryList({pattern}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QList<QByteArray> lines = f.readAll().split('\n');
        if (lines.value(lines.size() - 1).isEmpty())
            lines.removeLast();
        rows += lines.mid(1);
    }
    return rows;
}

struct CliProcess {
    QProcess p;
    QByteArray out, err;
    void start(const QStringList &args) { p.start(QCoreApplication::applicationDirPath() + "/k352-cli", args); }
    void read()
    {
        out += p.readAllStandardOutput();
        err += p.readAllStandardError();
    }
    bool waitFor(const std::function<bool()> &done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms && p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(50);
            read();
        }
        read();
        return done();
    }
};
