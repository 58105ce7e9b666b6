#pragma once
// What the text exports, the text reader and the table-to-graph conversion ask of the screen:
// the range dialog, a message, and a progress window. Windows implement it; tests script it.
#include <QString>
#include <optional>

struct RangeEntry {
    bool all = true;   // "Alle" checked
    QString from, to;  // texts of edtSelFrom and edtSelTo
};

struct ProgressSetup {
    QString caption;
    QString text;          // SText1
    qint64 total = 0;      // Progress1 runs from 0 to total
    bool showBar = true;
    bool showCancel = true;
    bool countInText = false;   // SText1 shows the step's number (the text reader)
    bool processEvents = false; // window events are processed between steps
};

class TextUi {
public:
    virtual ~TextUi() = default;
    // Modal range dialog with the given caption; the edits start with "1" and the count.
    // nullopt: cancelled or closed.
    virtual std::optional<RangeEntry> askRange(const QString &caption, qint64 count) = 0;
    virtual void message(const QString &text) = 0;
    virtual void progressOpen(const ProgressSetup &setup) = 0;
    // One step done; returns false once Cancel has been pressed. Called for every line, so an
    // implementation repaints and processes events at its own pace.
    virtual bool progressStep(qint64 position) = 0;
    virtual void progressClose() = 0;
};

// Answers without anybody at the screen: the whole range, no progress window, messages dropped
// (a caller that keeps them overrides message).
class UnattendedTextUi : public TextUi {
public:
    std::optional<RangeEntry> askRange(const QString &, qint64) override { return RangeEntry{}; }
    void message(const QString &) override {}
    void progressOpen(const ProgressSetup &) override {}
    bool progressStep(qint64) override { return true; }
    void progressClose() override {}
};
