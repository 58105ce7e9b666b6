#pragma once
// The pieces the graph window's panels are made of: captions and read-only fields.
#include <QColor>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// A caption, in the given text colour when one is given, named when a name is given.
QLabel *panelCaption(QWidget *parent, const QString &text, const QColor &color = QColor(), const char *name = nullptr);
// A read-only field named as on screen, created on owner (the layout that takes it up places it).
QLineEdit *readOnlyField(QWidget *owner, const char *name, const QString &text = QString());
