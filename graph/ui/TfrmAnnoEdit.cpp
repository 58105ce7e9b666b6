#include "graph/ui/TfrmAnnoEdit.h"

#include "app/WindowTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAnnoEdit::TfrmAnnoEdit(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAnnoEdit"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setModal(true);

    const QString windowClass = QStringLiteral("TfrmAnnoEdit");
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(windowText(windowClass, "Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(260);
    Label1->setBuddy(Edit1);
    layout->addWidget(Edit1);
    auto *buttons = new QHBoxLayout;
    btnOK = new QPushButton(windowText(windowClass, "BitBtn1"), this);
    btnOK->setObjectName(QStringLiteral("BitBtn1"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(windowText(windowClass, "BitBtn2"), this);
    btnCancel->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TfrmAnnoEdit::askText(QWidget *parent)
{
    TfrmAnnoEdit dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Edit1->text();
}
