#include "realtime/ui/TfrmSetupRealTime.h"

#include "app/SystemFormats.h"
#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"
#include "graph/ChartStatistics.h"
#include "realtime/RealTimeSetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

TfrmSetupRealTime::TfrmSetupRealTime(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSetupRealTime"));
    setWindowTitle(QStringLiteral("Real-Time Setup"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    auto *grid = new QGridLayout(this);
    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };

    edtRealTimeNo = new QLineEdit(this);
    edtRealTimeNo->setObjectName(QStringLiteral("edtRealTimeNo"));
    // Up to five places, digits or blanks; blanks stand in for digits not typed.
    edtRealTimeNo->setMaxLength(5);
    edtRealTimeNo->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]{0,5}")), this));
    edtRealTimeNo->setText(QStringLiteral(" 2000"));

    txtRate = new QComboBox(this);
    txtRate->setObjectName(QStringLiteral("txtRate"));
    txtRate->setEditable(true);
    txtRate->addItems(samplingRateTexts());
    txtRate->setInsertPolicy(QComboBox::NoInsert);

    edtPeriod = new QLineEdit(this);
    edtPeriod->setObjectName(QStringLiteral("edtPeriod"));
    edtPeriod->setReadOnly(true);

    grid->addWidget(label("Label1", QStringLiteral("Anzahl aufzunehmende Messwerte")), 0, 0);
    grid->addWidget(edtRealTimeNo, 0, 1);
    grid->addWidget(label("Label2", QStringLiteral("(Direkte Eingabe)")), 0, 2);
    grid->addWidget(label("Label3", QStringLiteral("Messrate")), 1, 0);
    grid->addWidget(txtRate, 1, 1);
    grid->addWidget(label("Label4", QStringLiteral("Sekunden")), 1, 2);
    grid->addWidget(label("Label5", QStringLiteral("Aufzeichnungsdauer (Info)")), 2, 0);
    grid->addWidget(edtPeriod, 2, 1);
    grid->addWidget(label("Label6", QStringLiteral("HH:MM:SS")), 2, 2);

    auto *buttons = new QHBoxLayout;
    auto *start = new QPushButton(QStringLiteral("Start"), this);
    start->setObjectName(QStringLiteral("btnOpenSingleSet"));
    start->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Button1"));
    buttons->addStretch(1);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(start, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    applyWindowTexts(this, QStringLiteral("TfrmSetupRealTime"));

    connect(edtRealTimeNo, &QLineEdit::textEdited, this, &TfrmSetupRealTime::edtRealTimeNoChange);
    connect(txtRate, &QComboBox::currentTextChanged, this, &TfrmSetupRealTime::edtRealTimeNoChange);
}

void TfrmSetupRealTime::setRateText(const QString &text)
{
    const QSignalBlocker block(txtRate);
    txtRate->setCurrentText(text);
    double rate = 0;
    parseLocalNumber(text, &rate);
    edtPeriod->setText(initialPeriodText(rate));
}

void TfrmSetupRealTime::edtRealTimeNoChange()
{
    double rate = 0;
    if (!parseLocalNumber(txtRate->currentText(), &rate)) {
        const QString text = notAFloatMessage(txtRate->currentText());
        if (showError)
            showError(text);
        else
            showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), text);
        return;
    }
    int n = 0;
    if (!parseValueCount(edtRealTimeNo->text(), &n))
        n = 0;
    edtPeriod->setText(recordingPeriodText(n, rate));
}
