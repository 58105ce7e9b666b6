#include "app/WindowTexts.h"

#include "app/Catalogue.h"

#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QVariant>
#include <cstring>

namespace {

namespace S = WindowTextSection;

constexpr WindowTextEntry kDlgsCaptions[] = {
    {S::DlgsCaptions, "Warning", "Warning", "Warnung"},
    {S::DlgsCaptions, "Error", "Error", "Error"},
    {S::DlgsCaptions, "Information", "Information", "Information"},
    {S::DlgsCaptions, "Confirm", "Confirm", "Bestätigen"},
    {S::DlgsCaptions, "&Yes", "&Yes", "Ja"},
    {S::DlgsCaptions, "&No", "&No", "Nein"},
    {S::DlgsCaptions, "OK", "OK", " OK "},
    {S::DlgsCaptions, "Cancel", "Cancel", "Abbrechen"},
    {S::DlgsCaptions, "&Abort", "&Abort", "Abbrechen"},
    {S::DlgsCaptions, "&Retry", "&Retry", "Erneut"},
    {S::DlgsCaptions, "&Ignore", "&Ignore", "Ignorieren"},
    {S::DlgsCaptions, "&All", "&All", "Alle"},
    {S::DlgsCaptions, "N&o to All", "N&o to All", "Nein alle"},
    {S::DlgsCaptions, "Yes to &All", "Yes to &All", "Ja alle"},
    {S::DlgsCaptions, "&Help", "&Help", "Hilfe"},
};

// Main window: menu captions and tool-button hints. "E&xit", "Setup" and "Cali" have no German
// text; those items keep their design captions.
constexpr WindowTextEntry kFrmMain[] = {
    {S::Captions, "File1", "&File", "Datei"},
    {S::Captions, "Open1", "&Open", "Öffnen"},
    {S::Captions, "Save1", "&Save", "Speichern"},
    {S::Captions, "Print1", "&Print", "Drucken"},
    {S::Captions, "PrinterSetup1", "&Printer Setup", "Druckereinstellungen"},
    {S::Captions, "Exit1", "E&xit", ""},
    {S::Captions, "RealTime1", "Real Time", "Onlinemessung"},
    {S::Captions, "Run1", "Run", "Start"},
    {S::Captions, "Stop1", "Stop", "Stop"},
    {S::Captions, "DataLogger1", "&Data Logger", "Messreihenspeicher"},
    {S::Captions, "LoadData1", "Load Data", "Daten öffnen"},
    {S::Captions, "EraseMemory1", "Erase Memory", "Speicher löschen"},
    {S::Captions, "Setup1", "Setup", ""},
    {S::Captions, "Cali1", "Cali", ""},
    {S::Captions, "RECALL1", "RECALL", "Einzelwerte"},
    {S::Captions, "View1", "&View", "Ansicht"},
    {S::Captions, "ControlPanel1", "&Control Panel", "Gerätesteuerung"},
    {S::Captions, "RealTimeGraph1", "Real Time &Graph", "Onlinemessung  Grafik"},
    {S::Captions, "Window1", "&Window", "Fenster"},
    {S::Captions, "Tile1", "&Tile", "untereinander"},
    {S::Captions, "Cascade1", "&Cascade", "frei anordnen"},
    {S::Captions, "Help1", "&Help", "Hilfe"},
    {S::Captions, "Contents1", "&Contents", "Hilfsdatei"},
    {S::Captions, "About1", "&About", "Info"},
    {S::Captions, "Monitor1", "Long-term Monitoring", "Langzeitmessung"},
    {S::Hints, "SpeedButton1", "Open File", "Datei offnen"},
    {S::Hints, "SpeedButton2", "Save to file", "Datei speichern"},
    {S::Hints, "btnPrint", "Print", "Drucken"},
    {S::Hints, "btnDataLogger", "Data Logger", "Messreihenspeicher"},
    {S::Hints, "btnOutputToGraph", "Output Tabular to graph", "Ausgabe Tabelle Grafik"},
    {S::Hints, "btnRun", "Start Graphing Real Time Data", "Start Onlinemessung"},
    {S::Hints, "btnStop", "Stop Graphing Real Time Data", "Stop Onlinemessung"},
    {S::Hints, "SpeedButton8", "Help", "Hilfe"},
    {S::Hints, "btnMonitor", "Long-term Monitoring", "Langzeitmessung"},
    // Asked at start-up when a real-time recording was neither saved nor discarded.
    {S::OtherStrings, "RestoreRecording", "A real-time recording was not saved (%1 values from %2).\nRestore?",
     "Eine Onlinemessung wurde nicht gespeichert (%1 Messwerte ab %2).\nWiederherstellen?"},
    // Shown after a start-up search that found no meter.
    {S::OtherStrings, "NoMeterFound",
     "No meter was found. Please check:\n"
     "- Is the meter switched on?\n"
     "- Is its USB cable plugged into the meter and the computer?\n"
     "- Is your user in the group \"dialout\"? If not: sudo usermod -aG dialout $USER, then log in again.\n"
     "Without a meter, \"k352 --demo\" tries the program on a simulated meter.",
     "Es wurde kein Messgerät gefunden. Bitte prüfen Sie:\n"
     "- Ist das Messgerät eingeschaltet?\n"
     "- Steckt das USB-Kabel am Messgerät und am Computer?\n"
     "- Gehört Ihr Benutzer zur Gruppe \"dialout\"? Wenn nicht: sudo usermod -aG dialout $USER, danach neu "
     "anmelden.\n"
     "Ohne Messgerät lässt sich das Programm mit \"k352 --demo\" an einem simulierten Messgerät ausprobieren."},
};

// About box (also the start-up splash). Label2 shows the version string and Label4 the start-up
// status; neither has a fixed text.
constexpr WindowTextEntry kFrmAbout[] = {
    {S::Captions, "TfrmAbout", "About  k352-4 For Sound Level Meter", "Über k352-4 Schallpegelmessgerät"},
    {S::Captions, "Label3", "Sound Level Meter Software", "Schallpegelmessgeräte Software"},
    {S::Captions, "Label1", "Version:", "Version:"},
};

// Start dialog of a real-time recording.
constexpr WindowTextEntry kFrmSetupRealTime[] = {
    {S::Captions, "TfrmSetupRealTime", "Real-Time Setup", "Real-Time Setup"},
    {S::Captions, "Label1", "Real-Time data no to be recorded", "Anzahl aufzunehmende Messwerte"},
    {S::Captions, "Label2", "(Adjust the number to meet your need)", "(Direkte Eingabe)"},
    {S::Captions, "Label3", "Real -Time Sampling Rate", "Messrate"},
    {S::Captions, "Label4", "second", "Sekunden"},
    {S::Captions, "Label5", "Recording Period", "Aufzeichnungsdauer (Info)"},
    {S::Captions, "Label6", "HH:MM:SS", "HH:MM:SS"},
    {S::Captions, "btnOpenSingleSet", "Start", "Start"},
    {S::Captions, "Button1", "Cancel", "Abbrechen"},
};

// The long-term monitoring window.
constexpr WindowTextEntry kFrmMonitor[] = {
    {S::Captions, "TfrmMonitor", "Long-term Monitoring", "Langzeitmessung"},
    {S::Captions, "btnStart", "Start...", "Start..."},
    {S::Captions, "btnStop", "Stop", "Stop"},
    {S::Captions, "lblLevelCaption", "Current level", "Aktueller Pegel"},
    {S::Captions, "lblPeriodCaption", "Open period", "Laufende Periode"},
    {S::Captions, "lblLeqCaption", "Leq", "Leq"},
    {S::Captions, "lblLmaxCaption", "Lmax", "Lmax"},
    {S::Captions, "lblL90Caption", "L90", "L90"},
    {S::Captions, "lblCoverageCaption", "Coverage", "Abdeckung"},
    {S::Hints, "btnPrevDay", "Previous day", "Vorheriger Tag"},
    {S::Hints, "btnNextDay", "Next day", "Nächster Tag"},
    {S::MultiLines, "grdPeriods", "Start,End,Samples,Coverage %,Leq,Lmax,Lmin,L5,L10,L50,L90,L95",
     "Beginn,Ende,Messwerte,Abdeckung %,Leq,Lmax,Lmin,L5,L10,L50,L90,L95"},
    {S::MultiLines, "grdEvents", "Time,Event,Detail", "Zeit,Ereignis,Details"},
    {S::MultiLines, "grdDays", "Date,Samples,Coverage %,Leq,Lday,Levening,Lnight,Lden,Lmax,L90",
     "Datum,Messwerte,Abdeckung %,Leq,Lday,Levening,Lnight,Lden,Lmax,L90"},
    {S::MultiLines, "EventNames", "Start,Stop,Connection lost,Connection back,Warning,Warning end,Alarm,Alarm end,Weighting",
     "Start,Stop,Verbindung verloren,Verbindung wieder da,Warnung,Warnung Ende,Alarm,Alarm Ende,Bewertung"},
    {S::OtherStrings, "tabPeriods", "Periods", "Perioden"},
    {S::OtherStrings, "tabEvents", "Events", "Ereignisse"},
    {S::OtherStrings, "tabDays", "Days", "Tage"},
    {S::OtherStrings, "StateIdle", "No monitoring running", "Keine Messung aktiv"},
    {S::OtherStrings, "StateRunning", "Monitoring into %1", "Messung läuft in %1"},
    {S::OtherStrings, "StateFollowing", "Folder %1", "Ordner %1"},
    {S::OtherStrings, "WarningState", "WARNING: level at or above %1 dB", "WARNUNG: Pegel ab %1 dB"},
    {S::OtherStrings, "AlarmState", "ALARM: level at or above %1 dB", "ALARM: Pegel ab %1 dB"},
    {S::OtherStrings, "LostState", "No readings from the meter", "Keine Messwerte vom Messgerät"},
    {S::OtherStrings, "NotifyAlarm", "Noise alarm", "Lärmalarm"},
    {S::OtherStrings, "WriteFailed", "Monitoring stopped: %1", "Langzeitmessung angehalten: %1"},
    {S::OtherStrings, "MqttState", "MQTT %1: %2", "MQTT %1: %2"},
};

// The start dialog of a monitoring run.
constexpr WindowTextEntry kFrmMonitorStart[] = {
    {S::Captions, "TfrmMonitorStart", "Long-term Monitoring", "Langzeitmessung"},
    {S::Captions, "lblFolder", "Folder", "Ordner"},
    {S::Captions, "lblInterval", "Sampling interval (s)", "Messintervall (s)"},
    {S::Captions, "lblPeriod", "Period (s)", "Periode (s)"},
    {S::Captions, "chkWarn", "Warning at (dB)", "Warnung ab (dB)"},
    {S::Captions, "chkAlarm", "Alarm at (dB)", "Alarm ab (dB)"},
    {S::Captions, "lblHold", "Hold time (s)", "Haltezeit (s)"},
    {S::Captions, "lblBroker", "MQTT broker (optional)", "MQTT-Broker (optional)"},
    {S::Captions, "btnStart", "Start", "Start"},
    {S::Captions, "btnCancel", "Cancel", "Abbrechen"},
    {S::OtherStrings, "ChooseFolder", "Choose the monitoring folder", "Ordner der Langzeitmessung wählen"},
    {S::OtherStrings, "NoFolder", "Please choose a folder.", "Bitte wählen Sie einen Ordner."},
    {S::OtherStrings, "IntervalAbovePeriod", "The sampling interval must not be longer than the period.",
     "Das Messintervall darf nicht länger als die Periode sein."},
    {S::OtherStrings, "WarnAboveAlarm", "The warning level must not be above the alarm level.",
     "Die Warnschwelle darf nicht über der Alarmschwelle liegen."},
    {S::OtherStrings, "BadBroker", "The MQTT broker must be given as host or host:port (port 1 to 65535), not \"%1\".",
     "Der MQTT-Broker ist als Rechner oder Rechner:Port (Port 1 bis 65535) anzugeben, nicht „%1“."},
    {S::OtherStrings, "MqttLogin", "MQTT login: %1", "MQTT-Anmeldung: %1"},
};

// Range and progress window. Every use sets its own caption; "Druckbereich" is the initial one.
constexpr WindowTextEntry kFrmScope[] = {
    {S::Captions, "TfrmScope", "Print Range", "Druckbereich"},
    {S::Captions, "radAll", "All", "Alle"},
    {S::Captions, "radNo", " Selection ", " Auswahl "},
    {S::Captions, "Label1", "from", "von"},
    {S::Captions, "Label2", "to", "zu"},
    {S::Captions, "BitBtn2", " Cancel ", " Abbrechen "},
    {S::Captions, "SText1", "bytes received", "Daten erhalten"},
    {S::Captions, "SText2", "total bytes", "Gesamtdaten"},
};

// Control panel. Its display legends ("MAX", "FAST", "dBA", ...) are the meter's own and have no
// translation; the MAX/MIN key's hint exists in English only.
constexpr WindowTextEntry kFrmPanel[] = {
    {S::Captions, "TfrmPanel", "Control Panel", "Gerätesteuerung"},
    {S::Captions, "lblNoConnection", "No Connection", "Keine Verbindung"},
    {S::Hints, "btnMaxMin", "single click to change MAX/MIN mode, mouse down 2 seconds  to cancel .", ""},
};

// Graph window: the tool bar's hints and texts, and the labels of the acoustic figures. The
// caption depends on the window's role and is set by the window itself.
constexpr WindowTextEntry kFrmGraph[] = {
    {S::Captions, "UndoZoom", "Undo Zoom", "Zoom aufheben"},
    {S::Captions, "Button1", "Graph Option", "Grafik Optionen"},
    {S::Captions, "Button2", "Export Statistic", "Daten Export"},
    {S::Captions, "lblLeq", "Leq", "Leq"},
    {S::Captions, "lblL10", "L10", "L10"},
    {S::Captions, "lblL50", "L50", "L50"},
    {S::Captions, "lblL90", "L90", "L90"},
    {S::Captions, "lblLeqAB", "Leq between A and B", "Leq zwischen A und B"},
    {S::Captions, "lblDataSets", "Data sets", "Messreihen"},
    {S::Captions, "lblStartTime", "Start time", "Start Zeit"},
    {S::Captions, "lblSamplingRate", "Sampling rate", "Messrate"},
    {S::Captions, "lblSeconds", "s", "Sek"},
    {S::Captions, "lblDataNo", "Data no.", "Datensatz"},
    {S::Captions, "lblAvgAll", "Average", "Mittel"},
    {S::Captions, "lblMax", "Maximum", "Maximum"},
    {S::Captions, "lblMin", "Minimum", "Minimum"},
    {S::Captions, "lblCursorA", "Cursor A", "Punkt A"},
    {S::Captions, "lblCursorB", "Cursor B", "Punkt B"},
    {S::Captions, "lblMaxAB", "Max. between A and B", "Max. zwischen A und B"},
    {S::Captions, "lblMinAB", "Min. between A and B", "Min. zwischen A und B"},
    {S::Captions, "lblAvgAB", "Avg. between A and B", "Mittel zwischen A und B"},
    {S::Captions, "ToolButton1", "Info", "Info"},
    {S::Captions, "ToolButton4", "Normal", "Standard"},
    {S::Captions, "ToolButton13", "List", "Liste"},
    {S::Captions, "tbntClr", "Clear", "löschen"},
    {S::Hints, "ToolButton1", "Toggle Graph Statistic", "Ein-/Ausblenden Info zur Messung"},
    {S::Hints, "ToolButton2", "Toggle Line Cursor Statistic", "Ein-/Ausblenden statistische Werte"},
    {S::Hints, "ToolButton4", "Normal Cursor", "Standard Cursor"},
    {S::Hints, "ToolButton5", "Draw A Cross On Graph", "Markierung setzten"},
    {S::Hints, "ToolButton9", "Text", " Text "},
    {S::Hints, "tbntClr", "Clear", "löschen"},
    {S::Hints, "UndoZoom", "Undo Zoom", "Zoom aufheben"},
    {S::Hints, "Button1", "Graph Customization", "Grafik Anpassungen"},
    {S::MultiLines, "Grid2", "Set,Date,Time,Rate,Count,Weighting", "Reihe,Datum,Zeit,Rate,Anzahl,Bewertung"},
    {S::OtherStrings, "RealTimeCaption", "Real Time", "Onlinemessung"},
    {S::OtherStrings, "SaveDataSetQuestion", "Save the data set ?", "Speichern der Messreihe ?"},
    {S::OtherStrings, "SaveRealTimeQuestion", "Save the real-time recording ?", "Onlinemessung speichern"},
    {S::OtherStrings, "RateLocked", "The sampling rate cannot be changed during a real-time recording.",
     "Die Messrate kann während der Onlinemessung nicht geändert werden."},
    {S::OtherStrings, "ExportDone", "The data were copied to the clipboard.",
     "Daten wurden in die Zwischenablage kopiert."},
    {S::OtherStrings, "DeleteHint", "Double-click to delete.", "Doppelklick um zu löschen."},
};

// The list of a chart's marks and notes, from which the selected ones are deleted.
constexpr WindowTextEntry kFrmDelAnno[] = {
    {S::Captions, "TfrmDelAnno", "Delete note", "Vermerk löschen"},
    {S::Captions, "BitBtn1", " Delete ", " Löschen "},
    {S::Captions, "BitBtn2", "Cancel", "Abbrechen"},
    {S::MultiLines, "StringGrid1", "No,Time,Comment", "Nr,Zeit,Kommentar"},
};

// The choice of what Open reads.
constexpr WindowTextEntry kFrmOpenSave[] = {
    {S::Captions, "btnOpenCapture", "Open CAP file", "Öffnen CAP Datei"},
    {S::Captions, "Button1", "Cancel", "Abbrechen"},
};

// The note shown while a download gets ready.
constexpr WindowTextEntry kFrmInfo[] = {
    {S::Captions, "Label1", "Preparing to load...", "Vorbereitung zum Laden..."},
};

// The single-values window.
constexpr WindowTextEntry kFrmDataCapture[] = {
    {S::Captions, "TfrmDataCapture", "Data Capture", "Datenaufzeichnung"},
};

// The chart's customisation dialog. Its controls take their texts from this table as they are
// built; the combo boxes' items are one comma-separated line each.
constexpr WindowTextEntry kChartCustomize[] = {
    {S::Captions, "ChartCustomizeDialog", "Customization", "Grafik anpassen"},
    {S::Captions, "tabGeneral", "General", "Titel"},
    {S::Captions, "tabPlot", "Plot", "Diagramm"},
    {S::Captions, "tabSubsets", "Subsets", "Datenreihen"},
    {S::Captions, "tabFonts", "Fonts", "Schriften"},
    {S::Captions, "tabColors", "Colors", "Farben"},
    {S::Captions, "lblMainTitle", "Main title", "Haupttitel"},
    {S::Captions, "lblSubTitle", "Sub title", "Untertitel"},
    {S::Captions, "lblXAxisLabel", "X axis label", "Beschriftung X-Achse"},
    {S::Captions, "lblYAxisLabel", "Y axis label", "Beschriftung Y-Achse"},
    {S::Captions, "lblGridStyle", "Grid style", "Art der Gitterlinien"},
    {S::Captions, "lblGridLines", "Grid lines", "Gitterlinien"},
    {S::Captions, "chkGraphAnnotations", "Show graph annotations", "Markierungen und Notizen zeigen"},
    {S::Captions, "chkLineAnnotations", "Show line annotations", "Beschriftung der Cursorlinien zeigen"},
    {S::Captions, "lblAnnotationTextSize", "Annotation text size", "Textgröße der Notizen"},
    {S::Captions, "lblSubset", "Subset %1", "Datenreihe %1"},
    {S::Captions, "lblFontMainTitle", "Main title", "Haupttitel"},
    {S::Captions, "lblFontSubTitle", "Sub title", "Untertitel"},
    {S::Captions, "lblFontLabels", "Labels", "Achsenbeschriftung"},
    {S::Captions, "lblFontTicks", "Tick labels", "Skalenwerte"},
    {S::Captions, "chkBold", "Bold", "Fett"},
    {S::Captions, "chkItalic", "Italic", "Kursiv"},
    {S::Captions, "lblDeskColor", "Desk", "Hintergrund außen"},
    {S::Captions, "lblGraphBackColor", "Graph background", "Hintergrund Diagramm"},
    {S::Captions, "lblGraphForeColor", "Grid and frame", "Gitter und Rahmen"},
    {S::Captions, "lblTextColor", "Text", "Text"},
    {S::Captions, "lblYAxisColor", "Y axis", "Y-Achse"},
    {S::Captions, "dlgColor", "Choose a colour", "Farbe wählen"},
    {S::MultiLines, "cboLineType", "Thin solid,Dash,Dot,Dash dot,Dash dot dot,Medium solid,Thick solid",
     "Dünn durchgezogen,Gestrichelt,Gepunktet,Strich-Punkt,Strich-Punkt-Punkt,Mittel durchgezogen,Dick durchgezogen"},
    {S::MultiLines, "cboGridStyle", "Thin,Thick,Dot,Dash,One pixel", "Dünn,Dick,Gepunktet,Gestrichelt,Ein Pixel"},
    {S::MultiLines, "cboGridLines", "Both,Y only,X only,None", "Beide,Nur Y,Nur X,Keine"},
    {S::OtherStrings, "spnFontSize.specialValueText", "Default", "Standard"},
};

// Entry of a text note: the prompt above its one-line field.
constexpr WindowTextEntry kFrmAnnoEdit[] = {
    {S::Captions, "Label1", "Text of the note:", "Text der Notiz:"},
    {S::Captions, "BitBtn1", "OK", "OK"},
    {S::Captions, "BitBtn2", "Cancel", "Abbrechen"},
};

// The question after a confirmed chart customisation: what "&Ja" keeps for new charts, and what
// it never carries over.
constexpr WindowTextEntry kFrmYesNo[] = {
    {S::Captions, "TfrmYesNo", "Confirm", "Bestätigen"},
    {S::Captions, "Label1",
     "Keep the look of this chart (titles, axes, colours, grid, fonts, lines) for all new charts?\n"
     "Readings, marks, notes and cursor lines are not carried over.",
     "Das Aussehen dieser Grafik (Titel, Achsen, Farben, Gitter, Schriften, Linien) für alle neuen "
     "Grafiken übernehmen?\nMesswerte, Markierungen, Notizen und Cursorlinien werden nicht übernommen."},
    {S::Captions, "BitBtn1", "&Yes", "&Ja"},
    {S::Captions, "BitBtn2", "No", "Nein"},
};

// Messages of the program's own that belong to no one window: file, download and logger commands.
constexpr WindowTextEntry kMessages[] = {
    {S::OtherStrings, "UnknownError", "Unknown error", "Unbekannter Fehler"},
    {S::OtherStrings, "CollectionTooLarge",
     "\"%1\" is not a data set collection file: it is larger than %2 bytes, more than a data logger memory holds.",
     "\"%1\" ist keine Messreihen-Datei: sie ist größer als %2 Bytes, mehr als ein Messreihenspeicher fasst."},
    {S::OtherStrings, "TableTooLarge",
     "The file \"%1\" is too large: its table would need about %2 MB of memory, at most %3 MB are possible.",
     "Die Datei \"%1\" ist zu groß: ihre Tabelle bräuchte etwa %2 MB Speicher, höchstens %3 MB sind möglich."},
    {S::OtherStrings, "NothingToSave", "No data to save", "Keine Daten zum Speichern"},
    {S::OtherStrings, "RangeOutside", "Range %1 to %2 lies outside the data (1 to %3)",
     "Bereich %1 bis %2 liegt außerhalb der Daten (1 bis %3)"},
    {S::OtherStrings, "NotWritten", "The file \"%1\" could not be written.",
     "Die Datei \"%1\" konnte nicht geschrieben werden."},
    {S::OtherStrings, "CannotOpen", "The file \"%1\" cannot be opened: %2",
     "Die Datei \"%1\" kann nicht geöffnet werden: %2"},
    {S::OtherStrings, "NoSuchFile", "it does not exist", "sie existiert nicht"},
    {S::OtherStrings, "UnknownFileType",
     "\"%1\" is none of the files the program reads (.rec, .ghf, .txt, .csv, .cap).",
     "\"%1\" gehört zu keiner der Dateiarten, die das Programm liest (.rec, .ghf, .txt, .csv, .cap)."},
    {S::OtherStrings, "DownloadProgress", "Reading data", "Datenabfrageprozess"},
    {S::OtherStrings, "RecallWhileRecording",
     "The kavor 352-4 is recording, please stop the recording before you load data.",
     "Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten öffnen."},
    {S::OtherStrings, "EraseWhileRecording",
     "The kavor 352-4 is recording, please stop the recording before you erase data.",
     "Das kavor 352-4 nimmt Messwerte auf, bitte stoppen Sie die Messung bevor Sie Daten löschen."},
    {S::OtherStrings, "EraseQuestion", "Do you really want to erase the data ?",
     "Möchten Sie sicher die Daten löschen ?"},
};

struct WindowTable
{
    const char *windowClass;
    std::span<const WindowTextEntry> entries;
};

// The registry: one line per window class that has a table.
constexpr WindowTable kTables[] = {
    {"TfrmMain", kFrmMain},
    {"TfrmAbout", kFrmAbout},
    {"TfrmScope", kFrmScope},
    {"TfrmPanel", kFrmPanel},
    {"TfrmGraph", kFrmGraph},
    {"TfrmSetupRealTime", kFrmSetupRealTime},
    {"ChartCustomizeDialog", kChartCustomize},
    {"TfrmAnnoEdit", kFrmAnnoEdit},
    {"TfrmYesNo", kFrmYesNo},
    {"TfrmDelAnno", kFrmDelAnno},
    {"TfrmOpenSave", kFrmOpenSave},
    {"TfrmDataCapture", kFrmDataCapture},
    {"TfrmInfo", kFrmInfo},
    {"TfrmMonitor", kFrmMonitor},
    {"TfrmMonitorStart", kFrmMonitorStart},
    {"Messages", kMessages},
};

bool hasProperty(const QObject *object, const char *name)
{
    return object->metaObject()->indexOfProperty(name) >= 0
           || object->dynamicPropertyNames().contains(QByteArray(name));
}

// The object an entry names: the window itself or a descendant with that object name.
QObject *findTarget(QObject *window, const QString &windowClass, const QString &name)
{
    if (name == windowClass || (!window->objectName().isEmpty() && name == window->objectName()))
        return window;
    return window->findChild<QObject *>(name, Qt::FindChildrenRecursively);
}

const char *captionProperty(const QObject *object)
{
    if (hasProperty(object, "text"))
        return "text";
    if (hasProperty(object, "title"))
        return "title";
    return "windowTitle";
}

} // namespace

QStringList windowTextSections()
{
    return {S::Captions, S::Hints,   S::DisplayLabels, S::Fonts,       S::MultiLines, S::DlgsCaptions,
            S::Strings,  S::OtherStrings, S::Locales,  S::Collections, S::CharSets};
}

std::span<const WindowTextEntry> windowTexts(const QString &windowClass)
{
    for (const WindowTable &table : kTables) {
        if (windowClass == QLatin1String(table.windowClass))
            return table.entries;
    }
    return {};
}

QStringList windowTextClasses()
{
    QStringList classes;
    for (const WindowTable &table : kTables)
        classes << QString::fromLatin1(table.windowClass);
    return classes;
}

std::span<const WindowTextEntry> dialogCaptionTexts()
{
    return kDlgsCaptions;
}

QString localText(const WindowTextEntry &entry)
{
    if (activeLanguage() == Language::German && entry.german[0] != '\0')
        return QString::fromUtf8(entry.german);
    return QString::fromUtf8(entry.english);
}

QString dlgText(const QString &english)
{
    for (const WindowTextEntry &entry : kDlgsCaptions) {
        if (english == QString::fromUtf8(entry.english))
            return localText(entry);
    }
    return english;
}

QString windowText(const QString &windowClass, const char *name)
{
    for (const WindowTextEntry &entry : windowTexts(windowClass)) {
        if (std::strcmp(entry.name, name) == 0)
            return localText(entry);
    }
    return QString();
}

QString messageText(const char *name)
{
    return windowText(QStringLiteral("Messages"), name);
}

int applyWindowTexts(QObject *window, const QString &windowClass)
{
    return applyWindowTexts(window, windowClass, windowTexts(windowClass));
}

int applyWindowTexts(QObject *window, const QString &windowClass,
                     std::span<const WindowTextEntry> entries)
{
    if (!window)
        return 0;
    int applied = 0;
    const bool german = activeLanguage() == Language::German;
    for (const WindowTextEntry &entry : entries) {
        if ((german ? entry.german : entry.english)[0] == '\0')
            continue;  // keeps the design text
        const QString name = QString::fromUtf8(entry.name);
        const QString text = localText(entry);

        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        if (dot > 0) {
            QObject *target = findTarget(window, windowClass, name.left(dot));
            if (!target)
                continue;
            const QByteArray property = name.mid(dot + 1).toLatin1();
            target->setProperty(property.constData(), text);
            ++applied;
            continue;
        }

        const bool caption = std::strcmp(entry.section, S::Captions) == 0;
        if (!caption && std::strcmp(entry.section, S::Hints) != 0)
            continue;  // the other sections only carry "Control.property" entries

        QObject *target = findTarget(window, windowClass, name);
        if (!target)
            continue;
        const char *property = caption ? captionProperty(target) : "toolTip";
        target->setProperty(property, text);
        ++applied;
    }
    return applied;
}
