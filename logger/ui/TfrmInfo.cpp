#include "logger/ui/TfrmInfo.h"

#include "app/WindowTexts.h"

#include <QLabel>
#include <QVBoxLayout>

TfrmInfo::TfrmInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Information"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Label1 = new QLabel(QStringLiteral("Vorbereitung zum Laden..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(Label1);
    applyWindowTexts(this, QStringLiteral("TfrmInfo"));
}
