#pragma once
// The message catalogue: keyed texts in English (language 1) and German (language 2). The program
// runs in German; an empty German text falls back to the English one.
#include <QString>

enum class Language { English = 1, German = 2 };

// Text of catalogue key IDS_<id> in the active language (German), English when that is empty.
// An unknown key gives an empty text.
QString LoadStr(int id);
// Text of key IDS_<id> in the given language, with the same fallback.
QString LoadStr(int id, Language language);
// The active language (fixed to German for the whole run).
Language activeLanguage();

// Two message texts as one: the separator goes between them unless one of them already ends or
// starts with white space there, so catalogue texts never run together ("verlorenMöchten").
QString joinTexts(const QString &first, const QString &second, QChar separator = QLatin1Char(' '));
