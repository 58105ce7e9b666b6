#include "graph/ui/TfrmAnnoEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAnnoEdit::TfrmAnnoEdit(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAnnoEdit"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(260);
    layout->addWidget(Edit1);
    auto *buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("BitBtn1"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
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
