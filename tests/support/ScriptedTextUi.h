#pragma once
// A TextUi for tests: answers the range dialog from a script, records messages and progress, and
// presses Cancel after a given number of steps.
#include "data/TextUi.h"

#include <QStringList>
#include <vector>

class ScriptedTextUi : public TextUi {
public:
    std::optional<RangeEntry> rangeAnswer = RangeEntry{};  // nullopt: the dialog is cancelled
    qint64 cancelAfterSteps = -1;                          // -1: never

    QString rangeCaption;
    qint64 rangeCount = -1;
    QStringList messages;
    std::vector<ProgressSetup> opened;
    std::vector<qint64> positions;
    int closed = 0;

    std::optional<RangeEntry> askRange(const QString &caption, qint64 count) override
    {
        rangeCaption = caption;
        rangeCount = count;
        return rangeAnswer;
    }
    void message(const QString &text) override { messages << text; }
    void progressOpen(const ProgressSetup &setup) override { opened.push_back(setup); }
    bool progressStep(qint64 position) override
    {
        positions.push_back(position);
        return cancelAfterSteps < 0 || qint64(positions.size()) < cancelAfterSteps;
    }
    void progressClose() override { ++closed; }
};
