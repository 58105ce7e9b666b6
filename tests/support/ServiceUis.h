#pragma once
// Scripted screens of the stored-values recall and the logger set-up window: they keep what the
// core showed, so tests can look at it.
#include "logger/RecallUi.h"
#include "logger/SetupUi.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class ScriptedRecallUi : public RecallUi {
public:
    ScriptedRecallUi() : rows(100, QStringList(5)) {}
    QVector<QStringList> rows;  // rows[1..99], five cells each
    QStringList messages;
    int windowsPrepared = 0, clears = 0;
    bool busy = false;

    void prepareWindow() override { ++windowsPrepared; }
    void clearRows() override
    {
        ++clears;
        for (int r = 1; r <= 99; ++r)
            rows[r] = QStringList(5);
    }
    void setRow(int row, const QStringList &cells) override { rows[row] = cells; }
    void message(const QString &text) override { messages << text; }
    void setBusyCursor(bool on) override { busy = on; }
    bool rowEmpty(int r) const
    {
        for (const QString &c : rows[r])
            if (!c.isEmpty())
                return false;
        return true;
    }
};

class ScriptedSetupUi : public SetupUi {
public:
    QString minutes = "00", seconds = "02";
    QMap<Label, QString> labels;
    QMap<Label, int> labelWrites;
    QStringList messages, infoTexts;
    QList<QStringList> memTestRows;
    int memTestResets = 0, infoShown = 0, infoClosed = 0;
    bool busy = false;

    QString intervalMinutes() const override { return minutes; }
    QString intervalSeconds() const override { return seconds; }
    void setLabel(Label l, const QString &text) override
    {
        labels[l] = text;
        ++labelWrites[l];
    }
    void message(const QString &text) override { messages << text; }
    void setBusyCursor(bool on) override { busy = on; }
    void memTestReset() override
    {
        ++memTestResets;
        memTestRows.clear();
    }
    void memTestReply(const QStringList &cells) override { memTestRows << cells; }
    void showInfo(const QString &text) override
    {
        ++infoShown;
        infoTexts << text;
    }
    void setInfoText(const QString &text) override { infoTexts << text; }
    void closeInfo() override { ++infoClosed; }
};
