#pragma once
// The message catalogue: keyed texts in English (language 1) and German (language 2). The program
// runs in the language chosen once at start (German until then); an empty German text falls back to
// the English one.
#include <QLocale>
#include <QString>
#include <optional>

enum class Language { English = 1, German = 2 };

// Text of catalogue key IDS_<id> in the active language, English when the German text is empty.
// An unknown key gives an empty text.
QString LoadStr(int id);
// Text of key IDS_<id> in the given language, with the same fallback.
QString LoadStr(int id, Language language);
// The active language: German until setActiveLanguage() chose another.
Language activeLanguage();
// Chooses the language for the whole run. Only the first call counts, and it must come before the
// first window is built; later calls are ignored and return false.
bool setActiveLanguage(Language language);
// The language a start-up chooses: "de" or "en" given explicitly (case ignored), else German when
// the system's language is German and English otherwise. An unknown explicit value gives nullopt.
std::optional<Language> chooseLanguage(const QString &explicitChoice, const QLocale &system);

// Two message texts as one: the separator goes between them unless one of them already ends or
// starts with white space there, so catalogue texts never run together ("verlorenMöchten").
QString joinTexts(const QString &first, const QString &second, QChar separator = QLatin1Char(' '));
