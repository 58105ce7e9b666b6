#pragma once
// The instruction manual that Help opens: one PDF per language in the folder "Instruction Manual"
// beside the program. A Linux installation may also keep it in the shared data folder
// (<prefix>/share/k352_4/Instruction Manual) or the user may put it in the user data folder.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

// "0415 3524 xx 03.pdf" for the language; English for a language without its own manual.
QString manualFileName(QLocale::Language language);

// The places looked at, in order: beside the program, the shared data folder of the installation
// prefix, the user data folder (skipped when empty). Each is a folder + "Instruction Manual/" + name.
QStringList manualCandidates(QLocale::Language language, const QString &programFolder, const QString &userDataFolder);

// The program's own user manual, an HTML page per language: German for German, English otherwise.
QString programManualFileName(QLocale::Language language);
// Where Help looks, in order: the instrument manual (manualCandidates), then the program's own
// manual in the same folders.
QStringList helpCandidates(QLocale::Language language, const QString &programFolder, const QString &userDataFolder);

// The first candidate that exists as a file; empty when there is none.
QString findManual(const QStringList &candidates, const std::function<bool(const QString &)> &exists);
// The first of helpCandidates that exists in the file system.
QString findManual(QLocale::Language language, const QString &programFolder, const QString &userDataFolder);
