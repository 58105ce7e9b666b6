#pragma once
// The download's windows on a terminal: what the information and progress windows show and every
// message go to standard error; the dialogs are answered by the options given on the command line.
#include "logger/LoggerUi.h"

#include <QStringList>
#include <cstdio>

class ConsoleLoggerUi : public LoggerUi {
public:
    // retries: how many times a failed load is answered with Retry; repair: a damaged data set is
    // answered with OK (the meter's header is repaired), else with Cancel.
    explicit ConsoleLoggerUi(std::FILE *out = stderr, int retries = 0, bool repair = false);

    void showPreparing() override;
    void closePreparing() override {}
    void openProgress(const QString &caption, int total) override;
    void setProgress(int received) override;
    void refreshProgress() override {}
    void closeProgress() override;
    void message(const QString &text) override;
    Button confirm(const QString &text, const QList<Button> &buttons) override;
    bool prepareDataSetWindow() override { return false; }
    void dataSetsLoaded() override { ++m_loads; }
    void setDownloadUnsaved() override {}

    int loads() const { return m_loads; }
    int retriesLeft() const { return m_retries; }
    const QStringList &messages() const { return m_messages; }

private:
    void print(const QString &line);

    std::FILE *m_out;
    int m_retries;
    bool m_repair;
    bool m_terminal;
    int m_total = 0;
    int m_shownStep = -1;
    bool m_lineOpen = false;
    int m_loads = 0;
    QStringList m_messages;
};
