#pragma once
// Per-window translation tables: for each window class, the texts of its controls in English and
// German, grouped in sections. The design texts of the windows are German; applying a table sets
// every control whose entry in the active language is not empty and leaves the others as designed
// (a German entry left empty keeps the design text under German).
//
// To add a window: write its entry array in WindowTexts.cpp and add one line to the registry there.
#include <QString>
#include <QStringList>
#include <span>

class QObject;

namespace WindowTextSection {
// Section names, in the order a table holds them.
inline constexpr const char *Captions = "stCaptions";
inline constexpr const char *Hints = "stHints";
inline constexpr const char *DisplayLabels = "stDisplayLabels";
inline constexpr const char *Fonts = "stFonts";
inline constexpr const char *MultiLines = "stMultiLines";
inline constexpr const char *DlgsCaptions = "stDlgsCaptions";
inline constexpr const char *Strings = "stStrings";  // the message catalogue (see Catalogue.h)
inline constexpr const char *OtherStrings = "stOtherStrings";
inline constexpr const char *Locales = "stLocales";
inline constexpr const char *Collections = "stCollections";
inline constexpr const char *CharSets = "stCharSets";
} // namespace WindowTextSection

// All section names in table order.
QStringList windowTextSections();

struct WindowTextEntry
{
    const char *section;  // one of WindowTextSection
    // The control's object name, the window class for the window itself, or "Control.property" to
    // set a named property. In stDlgsCaptions the name is the English text.
    const char *name;
    const char *english;  // UTF-8
    const char *german;   // UTF-8; empty: the control keeps its design text
};

// The window's own entries in section order (stDlgsCaptions excluded, it is shared); empty for an
// unknown window class.
std::span<const WindowTextEntry> windowTexts(const QString &windowClass);
// Window classes that have a table.
QStringList windowTextClasses();
// The message-box captions and button labels, the same for every window.
std::span<const WindowTextEntry> dialogCaptionTexts();

// The text of the entry called name in windowClass's table, in the active language (the English
// text where the German one is empty); empty when the table has no such entry. For windows that
// build their texts in code rather than applying the table afterwards.
QString windowText(const QString &windowClass, const char *name);

// A table entry's text in the active language (English where the German one is empty).
QString localText(const WindowTextEntry &entry);

// A message of the program's own that belongs to no one window (the "Messages" table), by name.
QString messageText(const char *name);

// A message-box caption or button given by its English text, in the active language ("&Yes" ->
// "Ja" in German); the English text itself when it has no entry.
QString dlgText(const QString &english);

// Sets the active language's texts of windowClass's table on window and its children (found by object name;
// an entry named after the window class or the window's object name means the window itself).
// Captions go to "text" when the object has that property, else "title" (menus), else
// "windowTitle"; hints go to "toolTip"; a "Control.property" name sets that property. Entries with
// an empty text in the active language and objects that do not exist are skipped. Returns the number of texts set.
int applyWindowTexts(QObject *window, const QString &windowClass);
// The same with an explicit table.
int applyWindowTexts(QObject *window, const QString &windowClass,
                     std::span<const WindowTextEntry> entries);
