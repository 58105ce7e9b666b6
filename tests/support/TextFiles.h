#pragma once
// Helpers of the text file tests: a default locale for one scope, whole-file reads and writes,
// and TDateTime values from calendar fields.
#include "app/TDateTime.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QString>

struct LocaleScope {
    QLocale saved;
    explicit LocaleScope(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(saved); }
};

inline QByteArray fileBytes(const QString &name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

inline bool putFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline TDateTime dateTimeOf(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, mo, d)))
           + ((h * 3600.0 + mi * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}
