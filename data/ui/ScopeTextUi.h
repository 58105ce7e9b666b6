#pragma once
// The screen side of the text exports, the text reader and the table-to-graph conversion: the
// range dialog and the progress windows are TfrmScope instances, messages go through the
// application's message box.
#include "data/TextUi.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QWidget;
#include "data/ui/TfrmScope.h"

class ScopeTextUi : public TextUi {
public:
    // parent: the window the dialogs and messages belong to; messageCaption: the caption of the
    // message boxes (empty: the application's name).
    explicit ScopeTextUi(QWidget *parent = nullptr, QString messageCaption = QString());
    ~ScopeTextUi() override;

    std::optional<RangeEntry> askRange(const QString &caption, qint64 count) override;
    void message(const QString &text) override;
    void progressOpen(const ProgressSetup &setup) override;
    bool progressStep(qint64 position) override;
    void progressClose() override;

    // The open progress window (tests, and callers that set its further texts); null when none.
    TfrmScope *progressWindow() const { return m_progress; }
    // Time between two repaints (or event rounds) of the progress window; every step counts
    // towards the result, only the screen is updated at this pace.
    void setRefreshInterval(int ms) { m_refreshMs = ms; }

private:
    void refresh(qint64 position);

    QPointer<QWidget> m_parent;
    QString m_caption;
    QPointer<TfrmScope> m_progress;
    ProgressSetup m_setup;
    QElapsedTimer m_sinceRefresh;
    int m_refreshMs = 40;
    int m_scale = 1;  // positions are divided by it when the total exceeds the bar's range
};
