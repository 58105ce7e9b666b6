#include "app/Catalogue.h"


namespace {

struct CatalogueEntry
{
    int id;
    const char *english;
    const char *german;  // empty: the English text is shown
};

// The whole catalogue, sorted by key. The texts are stored exactly as the user sees them: the "?"
// characters are literal, and "\\n" is the two characters backslash and 'n', not a line break.
constexpr CatalogueEntry kCatalogue[] = {
    {5, "Searching Meter on ", "Suche nach Gerät"},
    {6, "No Connection", "Keine Verbindung"},
    {7, "Initializing COM Port ...", "Initialisierung COM Port ?"},
    {8, "On Connection", "Verbindung On"},
    {10, "Time", "Zeit"},
    {12, "REC", ""},
    {13, "FULL", ""},
    {14, "SLOW", ""},
    {15, "FAST", ""},
    {18, "dBC", ""},
    {19, "dBA", ""},
    {26, "There are datas in Real_Time graph ,it have to reset the graph.\\n",
     "Es sind noch Daten aus der letzten Onlinemessung vorhanden, diese Daten gehen verloren"},
    {27, "Do you want to save the Real-Time graph ?", "Möchten Sie die Messdaten speichern?"},
    {28, " is not valid.\\n", "nicht gültig"},
    {30, "DataLogger", "Messdatenreihe"},
    {40, "Save File", "Daten speichern"},
    {41, "invalid integer", "ungültiger Wert"},
    {42, "Saving Progress", "Speichervorgang"},
    {43, "saving.....", "speichert?"},
    {54, "Off Connection", "Verbindung off"},
    {56, "Open File", "Daten öffnen"},
    {57, "Open a data set collection file(*.rec)", "Datei öffnen (*.rec)"},
    {58, "Open single data flle(*.TXT,*.GHF)", "Datei öffnen (*.TXT,*.GHF)"},
    {59, "Open single data file(*.TXT,*.CSV,*.GHF)", "Datei öffnen (*.TXT,*.CSV,*.GHF)"},
    {83, "No data to graph !", "Keine Daten zur Darstellung"},
    {84, "Graphing Progress", "Darstellung"},
    {85, "graphing.....", "rstellen?"},
    {89, "Maximum:", ""},
    {90, "Minimum:", ""},
    {91, "Cursor A:", "Punkt A:"},
    {92, "Cursor B:", "Punkt B:"},
    {93, "Max.Between A and B:", "Max. zwischen A und B:"},
    {94, "Min.Between A and B:", "Min. zwischen A und B:"},
    {95, "Avg. Between A and B:", "Mittel zwischen A und B:"},
    {96, "There is no connection with multimeter !", "Keine Verbindung mit dem Gerät"},
    {97, "The meter is recording data, please stop recording before loading data.",
     "Messwerte werden aufgenommen, bitte Messung stoppen bevor Sie Messdaten laden."},
    {99, "There is not any recorded data in memory!", "Keine Messdaten im Speicher."},
    {100, "There was error when reading data from meter",
     "Es ist ein Fehler beim Auslesen der Daten aufgetretten"},
    {101, "Please power off and power on meter before recording data or loading again.",
     "Bitte schalten Sie das Gerät aus und wieder ein, bevor Sie Daten aufnehmen oder laden."},
    {103, "There is no connection with kavor 352-4 !", "Keine Verbindung zum kavor 352-4."},
    {104, "OL", ""},
};

const CatalogueEntry *findEntry(int id)
{
    for (const CatalogueEntry &entry : kCatalogue) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

QString LoadStr(int id, Language language)
{
    const CatalogueEntry *entry = findEntry(id);
    if (!entry)
        return QString();
    if (language == Language::German && entry->german[0] != '\0')
        return QString::fromUtf8(entry->german);
    return QString::fromUtf8(entry->english);
}

QString LoadStr(int id)
{
    return LoadStr(id, activeLanguage());
}

namespace {
Language g_language = Language::German;
bool g_languageChosen = false;
} // namespace

Language activeLanguage()
{
    return g_language;
}

bool setActiveLanguage(Language language)
{
    if (g_languageChosen)
        return false;
    g_language = language;
    g_languageChosen = true;
    return true;
}

std::optional<Language> chooseLanguage(const QString &explicitChoice, const QLocale &system)
{
    if (explicitChoice.isEmpty())
        return system.language() == QLocale::German ? Language::German : Language::English;
    const QString choice = explicitChoice.trimmed().toLower();
    if (choice == QLatin1String("de"))
        return Language::German;
    if (choice == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString joinTexts(const QString &first, const QString &second, QChar separator)
{
    if (first.isEmpty() || second.isEmpty() || first.back().isSpace() || second.front().isSpace())
        return first + second;
    return first + separator + second;
}
