#include "monitor/ui/MainWindowMonitoring.h"

#include "app/SystemFormats.h"
#include "app/UserDataFolder.h"
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "app/ui/ShellArt.h"
#include "app/ui/TfrmMain.h"
#include "chart/ui/PESGraph.h"
#include "monitor/FolderView.h"
#include "monitor/SessionFeed.h"
#include "monitor/ui/TfrmMonitor.h"
#include "panel/ui/TfrmPanel.h"

#include <QAction>
#include <QBoxLayout>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolButton>

namespace {
const QString kMain = QStringLiteral("TfrmMain");
}

MainWindowMonitoring::MainWindowMonitoring(TfrmMain &main)
    : QObject(&main), m_main(main), m_feed(std::make_unique<SessionFeed>(main.session())),
      m_journal(appDataFolder().isEmpty() ? QString() : appDataFolder() + QStringLiteral("realtime-journal.csv"))
{
    if (!m_journal.path().isEmpty())
        main.recorder().setJournal(&m_journal);
    addCommands();
    wrapFileCommands();
}

// The main window's members are gone by now (this is one of its children); its child windows
// went before them.
MainWindowMonitoring::~MainWindowMonitoring()
{
    delete m_window; // stops a run before the feed goes
}

void MainWindowMonitoring::addCommands()
{
    if (auto *menu = m_main.findChild<QMenu *>(QStringLiteral("RealTime1"))) {
        QAction *item = menu->addAction(windowText(kMain, "Monitor1"));
        item->setObjectName(QStringLiteral("Monitor1"));
        connect(item, &QAction::triggered, this, [this] { openWindow(); });
    }
    QToolButton *stop = m_main.findChild<QToolButton *>(QStringLiteral("btnStop"));
    auto *row = stop ? qobject_cast<QBoxLayout *>(stop->parentWidget()->layout()) : nullptr;
    if (!row)
        return;
    auto *button = new QToolButton(stop->parentWidget());
    button->setObjectName(QStringLiteral("btnMonitor"));
    button->setIcon(toolGlyph(Glyph::Monitor));
    button->setIconSize(stop->iconSize());
    button->setFixedSize(stop->size());
    button->setAutoRaise(true);
    button->setToolTip(windowText(kMain, "btnMonitor"));
    row->insertWidget(row->indexOf(stop) + 1, button);
    connect(button, &QToolButton::clicked, this, [this] { openWindow(); });
}

void MainWindowMonitoring::wrapFileCommands()
{
    OpenSaveActions &a = m_main.openSave().actions;
    // days.csv and the day files of a monitoring folder open the folder; other .csv files are
    // tables as before.
    a.readTextTable = [this, table = std::move(a.readTextTable)](const QString &name, char separator) {
        if (MonitorFolder::isFolderFile(name))
            openFolder(QFileInfo(name).absolutePath());
        else if (table)
            table(name, separator);
    };
    // A recording written to a file needs its journal no more.
    a.saveGraphFile = [this, save = std::move(a.saveGraphFile)](TfrmGraph *window, const QString &name) {
        if (save)
            save(window, name);
        if (window == m_main.realTimeGraph() && !m_main.state().RealTimeUnsaved)
            m_main.recorder().saved();
    };
}

TfrmMonitor *MainWindowMonitoring::newWindow(LiveFeed *feed)
{
    auto *w = new TfrmMonitor(feed, m_time);
    QMdiSubWindow *sub = m_main.workspace()->addSubWindow(w);
    // Beside the control panel, so its display and keys stay in sight; whole.
    QPoint at(0, 0);
    if (QWidget *panel = m_main.panel() ? m_main.panel()->parentWidget() : nullptr; panel && panel->isVisible())
        at.setX(panel->geometry().right() + 1);
    sub->setGeometry(QRect(at, w->size()));
    w->show();
    m_main.workspace()->setActiveSubWindow(sub);
    return w;
}

TfrmMonitor *MainWindowMonitoring::openWindow()
{
    if (!m_window)
        m_window = newWindow(m_feed.get());
    else if (auto *frame = qobject_cast<QMdiSubWindow *>(m_window->parentWidget())) {
        frame->showNormal();
        m_main.workspace()->setActiveSubWindow(frame); // to the front, over the other windows
    }
    return m_window;
}

TfrmMonitor *MainWindowMonitoring::openFolder(const QString &dir)
{
    TfrmMonitor *w = m_window && !m_window->running() ? m_window.data() : nullptr;
    if (!w && !m_window)
        w = m_window = newWindow(m_feed.get());
    if (!w)
        w = newWindow(nullptr); // the meter's window is busy with its run
    if (QWidget *frame = w->parentWidget())
        frame->showNormal();
    w->openFolder(dir);
    return w;
}

void MainWindowMonitoring::offerRecovery()
{
    if (m_journal.path().isEmpty())
        return;
    const auto lost = RecordingJournal::read(m_journal.path());
    if (!lost) {
        m_journal.discard(); // nothing in it to bring back
        return;
    }
    const QString question = windowText(kMain, "RestoreRecording")
                                 .arg(QLocale().toString(qlonglong(lost->x.size())), dateTimeText(lost->x.front()));
    if (showMessage(&m_main, QMessageBox::Question, QStringLiteral("Confirm"), question,
                    QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes) {
        m_journal.discard();
        return;
    }
    TfrmGraph *graph = m_main.realTimeGraph() ? m_main.realTimeGraph() : m_main.OpenRealTimeGraph();
    graph->selectRate(lost->rate);
    // The journal keeps the samples until the recording is saved or thrown away.
    m_main.recorder().restore(lost->x, lost->y, lost->rate, toTDateTime(QDateTime::currentDateTime()));
}
