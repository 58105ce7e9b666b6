#include "graph/ui/PanelFields.h"

#include <QLabel>
#include <QLineEdit>

QLabel *panelCaption(QWidget *parent, const QString &text, const QColor &color, const char *name)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    if (color.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
    }
    return l;
}

QLineEdit *readOnlyField(QWidget *owner, const char *name, const QString &text)
{
    auto *e = new QLineEdit(text, owner);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    return e;
}
