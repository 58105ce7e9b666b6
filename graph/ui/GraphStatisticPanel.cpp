#include "graph/ui/GraphStatisticPanel.h"

#include "app/SystemFormats.h"
#include "graph/ChartStatistics.h"
#include "graph/ui/FieldFit.h"
#include "graph/ui/PanelFields.h"
#include "logger/DataSetDisplay.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

GraphStatisticPanel::GraphStatisticPanel(GraphStatisticFields &fields, QWidget *fieldOwner, QWidget *parent)
    : QWidget(parent), f(fields)
{
    setObjectName(QStringLiteral("pnlGraphStatistic"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    f.txtStartTime = readOnlyField(fieldOwner, "txtStartTime");
    f.txtSamplingRate = new QComboBox(this);
    f.txtSamplingRate->setObjectName(QStringLiteral("txtSamplingRate"));
    f.txtSamplingRate->setEnabled(false);
    f.txtDataNo = readOnlyField(fieldOwner, "txtDataNo", QStringLiteral("0"));
    f.txtAvgAll = readOnlyField(fieldOwner, "txtAvgAll", QStringLiteral("***.* dB "));
    f.txtMax = readOnlyField(fieldOwner, "txtMax");
    f.txtMaxTime = readOnlyField(fieldOwner, "txtMaxTime");
    f.txtMin = readOnlyField(fieldOwner, "txtMin");
    f.txtMinTime = readOnlyField(fieldOwner, "txtMinTime");
    f.txtLeq = readOnlyField(fieldOwner, "txtLeq");
    f.txtL10 = readOnlyField(fieldOwner, "txtL10");
    f.txtL50 = readOnlyField(fieldOwner, "txtL50");
    f.txtL90 = readOnlyField(fieldOwner, "txtL90");

    grid->addWidget(panelCaption(this, QStringLiteral("Start Zeit"), QColor(), "lblStartTime"), 0, 0);
    grid->addWidget(f.txtStartTime, 0, 1);
    auto *pnlSamplingRate = new QWidget(this);
    pnlSamplingRate->setObjectName(QStringLiteral("pnlSamplingRate"));
    auto *rateRow = new QHBoxLayout(pnlSamplingRate);
    rateRow->setContentsMargins(0, 0, 0, 0);
    rateRow->addWidget(panelCaption(pnlSamplingRate, QStringLiteral("Messrate"), QColor(), "lblSamplingRate"));
    rateRow->addWidget(f.txtSamplingRate);
    rateRow->addWidget(panelCaption(pnlSamplingRate, QStringLiteral("Sek"), QColor(), "lblSeconds"));
    grid->addWidget(pnlSamplingRate, 0, 2);
    grid->addWidget(panelCaption(this, QStringLiteral("Datensatz"), QColor(), "lblDataNo"), 0, 3);
    grid->addWidget(f.txtDataNo, 0, 4);
    grid->addWidget(panelCaption(this, QStringLiteral("Mittel"), QColor(), "lblAvgAll"), 0, 5);
    grid->addWidget(f.txtAvgAll, 0, 6);
    grid->addWidget(panelCaption(this, QStringLiteral("Maximum"), QColor(), "lblMax"), 1, 0);
    grid->addWidget(f.txtMax, 1, 1);
    grid->addWidget(panelCaption(this, QStringLiteral("@")), 1, 2, Qt::AlignCenter);
    grid->addWidget(f.txtMaxTime, 1, 3, 1, 2);
    grid->addWidget(panelCaption(this, QStringLiteral("Minimum"), QColor(), "lblMin"), 2, 0);
    grid->addWidget(f.txtMin, 2, 1);
    grid->addWidget(panelCaption(this, QStringLiteral("@")), 2, 2, Qt::AlignCenter);
    grid->addWidget(f.txtMinTime, 2, 3, 1, 2);
    // The acoustic figures beside the arithmetic ones: Leq from the sound energy, and the levels
    // exceeded by 10, 50 and 90 % of the readings.
    grid->addWidget(panelCaption(this, QStringLiteral("Leq"), QColor(), "lblLeq"), 0, 7);
    grid->addWidget(f.txtLeq, 0, 8);
    grid->addWidget(panelCaption(this, QStringLiteral("L10"), QColor(), "lblL10"), 1, 5);
    grid->addWidget(f.txtL10, 1, 6);
    grid->addWidget(panelCaption(this, QStringLiteral("L50"), QColor(), "lblL50"), 1, 7);
    grid->addWidget(f.txtL50, 1, 8);
    grid->addWidget(panelCaption(this, QStringLiteral("L90"), QColor(), "lblL90"), 2, 5);
    grid->addWidget(f.txtL90, 2, 6);
    // Every field as wide as its widest text, so no digit is cut off; the panel scrolls instead.
    for (QLineEdit *e : {f.txtStartTime, f.txtMaxTime, f.txtMinTime})
        fitFieldTo(e, widestDateTimeTexts());
    for (QLineEdit *e : {f.txtMax, f.txtMin, f.txtLeq, f.txtL10, f.txtL50, f.txtL90})
        fitFieldTo(e, {widestLevelText()});
    fitFieldTo(f.txtAvgAll, {widestLevelText(), f.txtAvgAll->text()});
    fitFieldTo(f.txtDataNo, {QStringLiteral("999999")});
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void GraphStatisticPanel::fillRateList()
{
    const QSignalBlocker block(f.txtSamplingRate);
    f.txtSamplingRate->clear();
    f.txtSamplingRate->addItems(samplingRateTexts());
}

void GraphStatisticPanel::selectRate(double rate)
{
    const int entry = RateToEntry(rate);
    if (entry >= 0)
        f.txtSamplingRate->setCurrentIndex(entry);
}

void GraphStatisticPanel::setRateListPickOnly()
{
    f.txtSamplingRate->setEditable(false);
    f.txtSamplingRate->setEnabled(true);
    f.txtSamplingRate->parentWidget()->setEnabled(true);
}

void GraphStatisticPanel::showRateText(const QString &text)
{
    f.txtSamplingRate->setEditText(text);
    if (!f.txtSamplingRate->isEditable()) {
        f.txtSamplingRate->clear();
        f.txtSamplingRate->addItem(text);
    }
}

void GraphStatisticPanel::showFigures(const ChartStatistics &s)
{
    f.txtStartTime->setText(dateTimeText(s.startTime));
    showRateText(levelText(s.rate));
    f.txtAvgAll->setText(levelText(s.average));
    f.txtMax->setText(levelText(s.maximum));
    f.txtMaxTime->setText(dateTimeText(s.maxTime));
    f.txtMin->setText(levelText(s.minimum));
    f.txtMinTime->setText(dateTimeText(s.minTime));
}

void GraphStatisticPanel::showDataSetFigures(const DataSetDisplay &d)
{
    f.txtStartTime->setText(d.txtStartTime);
    showRateText(d.txtSamplingRate);
    f.txtDataNo->setText(d.txtDataNo);
    f.txtMax->setText(d.txtMax);
    f.txtMaxTime->setText(d.txtMaxTime);
    f.txtMin->setText(d.txtMin);
    f.txtMinTime->setText(d.txtMinTime);
    f.txtAvgAll->setText(d.txtAvgAll);
}

void GraphStatisticPanel::showAcousticFigures(const std::optional<AcousticFigures> &a)
{
    f.txtLeq->setText(a ? levelText(a->leq) : QString());
    f.txtL10->setText(a ? levelText(a->l10) : QString());
    f.txtL50->setText(a ? levelText(a->l50) : QString());
    f.txtL90->setText(a ? levelText(a->l90) : QString());
}

void GraphStatisticPanel::clearFigures()
{
    for (QLineEdit *e : {f.txtAvgAll, f.txtMax, f.txtMin, f.txtMaxTime, f.txtMinTime, f.txtLeq, f.txtL10, f.txtL50,
                         f.txtL90})
        e->clear();
}
