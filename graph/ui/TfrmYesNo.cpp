#include "graph/ui/TfrmYesNo.h"

#include "app/WindowTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmYesNo::TfrmYesNo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmYesNo"));
    setWindowTitle(QStringLiteral("Bestätigen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    // The question itself comes from the window's text table, in the window's language.
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);
    auto *buttons = new QHBoxLayout;
    btnYes = new QPushButton(QStringLiteral("&Ja"), this);
    btnYes->setObjectName(QStringLiteral("BitBtn1"));
    btnYes->setDefault(true);
    btnNo = new QPushButton(QStringLiteral("Nein"), this);
    btnNo->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch(1);
    buttons->addWidget(btnYes);
    buttons->addWidget(btnNo);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(btnYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnNo, &QPushButton::clicked, this, [this] { done(ResultNo); });
    applyWindowTexts(this, QStringLiteral("TfrmYesNo"));
}

bool TfrmYesNo::ask(QWidget *parent)
{
    TfrmYesNo dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}
