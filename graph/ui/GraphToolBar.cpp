#include "graph/ui/GraphToolBar.h"

#include <QAction>
#include <QButtonGroup>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

QToolBar *buildGraphToolBar(QWidget *parent, GraphToolBarButtons &b, bool clearShown)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto button = [bar](const char *name, const QString &text, const QString &hint, bool checkable) {
        auto *t = new QToolButton(bar);
        t->setObjectName(QLatin1String(name));
        t->setText(text);
        t->setToolTip(hint);
        t->setCheckable(checkable);
        bar->addWidget(t);
        return t;
    };
    b.ToolButton1 = button("ToolButton1", QStringLiteral("Info"), QStringLiteral("Ein-/Ausblenden Info zur Messung"), true);
    b.ToolButton1->setChecked(true);
    b.ToolButton2 = button("ToolButton2", QStringLiteral("A-B"), QStringLiteral("Ein-/Ausblenden statistische Werte"), true);
    b.ToolButton2->setChecked(true);
    bar->addSeparator();
    // The click modes: exactly one is down.
    b.ToolButton4 = button("ToolButton4", QStringLiteral("Standard"), QStringLiteral("Standard Cursor"), true);
    b.ToolButton5 = button("ToolButton5", QStringLiteral("+"), QStringLiteral("Markierung setzten"), true);
    b.ToolButton9 = button("ToolButton9", QStringLiteral(" Text "), QStringLiteral(" Text "), true);
    auto *modes = new QButtonGroup(parent);
    modes->setExclusive(true);
    for (QToolButton *t : {b.ToolButton4, b.ToolButton5, b.ToolButton9})
        modes->addButton(t);
    b.ToolButton4->setChecked(true);
    b.ToolButton13 = button("ToolButton13", QStringLiteral("Liste"), QString(), false);
    QAction *sep3 = bar->addSeparator();
    sep3->setObjectName(QStringLiteral("tbntSep3"));
    b.tbntClr = button("tbntClr", QStringLiteral("löschen"), QStringLiteral("löschen"), false);
    sep3->setVisible(clearShown);
    for (QAction *a : bar->actions()) {
        if (bar->widgetForAction(a) == b.tbntClr)
            a->setVisible(clearShown);
    }
    auto push = [bar](const char *name, const QString &text, const QString &hint) {
        auto *p = new QPushButton(text, bar);
        p->setObjectName(QLatin1String(name));
        p->setToolTip(hint);
        bar->addWidget(p);
        return p;
    };
    b.UndoZoom = push("UndoZoom", QStringLiteral("Zoom aufheben"), QStringLiteral("Zoom aufheben"));
    b.UndoZoom->setEnabled(false);
    b.Button1 = push("Button1", QStringLiteral("Grafik Optionen"), QStringLiteral("Grafik Anpassungen"));
    b.Button2 = push("Button2", QStringLiteral("Daten Export"), QString());
    return bar;
}
