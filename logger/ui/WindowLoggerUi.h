#pragma once
// The download's screen in the program: the information window, a range and progress window per
// transfer, message boxes, and the main window's data-set graph window through its callbacks.
#include "data/ui/TfrmScope.h"
#include "logger/LoggerUi.h"
#include "logger/ui/TfrmInfo.h"

#include <QPointer>
#include <functional>

class QWidget;

class WindowLoggerUi : public LoggerUi {
public:
    explicit WindowLoggerUi(QWidget *parent);
    ~WindowLoggerUi() override;

    // The main window's part: make sure the data-set window exists (true when made just now),
    // fill it after a successful parse, and set its unsaved mark.
    std::function<bool()> onPrepareDataSetWindow;
    std::function<void()> onDataSetsLoaded;
    std::function<void()> onDownloadUnsaved;
    // Watches the progress window after each update (received bytes against its total).
    std::function<void(int received, int total)> onProgress;

    void showPreparing() override;
    void closePreparing() override;
    void openProgress(const QString &caption, int total) override;
    void setProgress(int received) override;
    void refreshProgress() override;
    void closeProgress() override;
    void message(const QString &text) override;
    Button confirm(const QString &text, const QList<Button> &buttons) override;
    bool prepareDataSetWindow() override;
    void dataSetsLoaded() override;
    void setDownloadUnsaved() override;

    TfrmScope *progressWindow() const { return m_progress; }

private:
    QWidget *m_parent;
    QPointer<TfrmInfo> m_info;
    QPointer<TfrmScope> m_progress;
};
