#include "monitor/ui/TfrmMonitorStart.h"

#include "app/WindowTexts.h"
#include "app/ui/K352Application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kClass = QStringLiteral("TfrmMonitorStart");
constexpr int kPeriods[] = {60, 300, 600, 900, 1800, 3600};

QDoubleSpinBox *spinBox(QWidget *parent, const char *name, double lo, double hi, double value)
{
    auto *s = new QDoubleSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setDecimals(1);
    s->setRange(lo, hi);
    s->setValue(value);
    return s;
}

QLabel *label(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

TfrmMonitorStart::TfrmMonitorStart(QWidget *parent) : QDialog(parent)
{
    setObjectName(kClass);
    auto *form = new QFormLayout;
    auto *folderRow = new QHBoxLayout;
    edtFolder = new QLineEdit(this);
    edtFolder->setObjectName(QStringLiteral("edtFolder"));
    edtFolder->setMinimumWidth(280);
    btnFolder = new QPushButton(QStringLiteral("..."), this);
    btnFolder->setObjectName(QStringLiteral("btnFolder"));
    folderRow->addWidget(edtFolder, 1);
    folderRow->addWidget(btnFolder);
    form->addRow(label(this, "lblFolder"), folderRow);

    spnInterval = spinBox(this, "spnInterval", 0.1, 3600, 1.0);
    form->addRow(label(this, "lblInterval"), spnInterval);
    cboPeriod = new QComboBox(this);
    cboPeriod->setObjectName(QStringLiteral("cboPeriod"));
    for (int p : kPeriods)
        cboPeriod->addItem(QLocale().toString(p), p);
    cboPeriod->setCurrentIndex(3);
    form->addRow(label(this, "lblPeriod"), cboPeriod);

    chkWarn = new QCheckBox(this);
    chkWarn->setObjectName(QStringLiteral("chkWarn"));
    spnWarn = spinBox(this, "spnWarn", 0, 200, 65);
    form->addRow(chkWarn, spnWarn);
    chkAlarm = new QCheckBox(this);
    chkAlarm->setObjectName(QStringLiteral("chkAlarm"));
    spnAlarm = spinBox(this, "spnAlarm", 0, 200, 75);
    form->addRow(chkAlarm, spnAlarm);
    spnHold = spinBox(this, "spnHold", 0, 86400, 0);
    form->addRow(label(this, "lblHold"), spnHold);
    edtBroker = new QLineEdit(this);
    edtBroker->setObjectName(QStringLiteral("edtBroker"));
    edtBroker->setPlaceholderText(QStringLiteral("localhost:1883"));
    form->addRow(label(this, "lblBroker"), edtBroker);
    for (auto [check, spin] : {std::pair{chkWarn, spnWarn}, std::pair{chkAlarm, spnAlarm}}) {
        spin->setEnabled(false);
        connect(check, &QCheckBox::toggled, spin, &QWidget::setEnabled);
    }

    btnStart = new QPushButton(this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnStart);
    buttons->addWidget(btnCancel);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);

    connect(btnStart, &QPushButton::clicked, this, &TfrmMonitorStart::btnStartClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnFolder, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, windowText(kClass, "ChooseFolder"), edtFolder->text());
        if (!dir.isEmpty())
            edtFolder->setText(dir);
    });
    showError = [this](const QString &text) { showMessage(this, QMessageBox::Warning, QStringLiteral("Warning"), text); };
    applyWindowTexts(this, kClass);
}

void TfrmMonitorStart::setSettings(const MonitorSettings &s)
{
    edtFolder->setText(s.config.dir);
    spnInterval->setValue(double(s.config.intervalMs) / 1000.0);
    const int i = cboPeriod->findData(s.config.periodS);
    if (i >= 0)
        cboPeriod->setCurrentIndex(i);
    chkWarn->setChecked(s.config.warnTenths.has_value());
    if (s.config.warnTenths)
        spnWarn->setValue(*s.config.warnTenths / 10.0);
    chkAlarm->setChecked(s.config.alarmTenths.has_value());
    if (s.config.alarmTenths)
        spnAlarm->setValue(*s.config.alarmTenths / 10.0);
    spnHold->setValue(double(s.config.holdMs) / 1000.0);
    edtBroker->setText(s.mqttBroker);
}

MonitorSettings TfrmMonitorStart::settings() const
{
    MonitorSettings s;
    s.config.dir = edtFolder->text().trimmed();
    s.config.intervalMs = std::llround(spnInterval->value() * 1000);
    s.config.periodS = cboPeriod->currentData().toInt();
    if (chkWarn->isChecked())
        s.config.warnTenths = int(std::lround(spnWarn->value() * 10));
    if (chkAlarm->isChecked())
        s.config.alarmTenths = int(std::lround(spnAlarm->value() * 10));
    s.config.holdMs = std::llround(spnHold->value() * 1000);
    s.mqttBroker = edtBroker->text().trimmed();
    return s;
}

MqttSettings MonitorSettings::mqtt(QString &problem) const
{
    problem.clear();
    MqttSettings m;
    if (mqttBroker.isEmpty())
        return m;
    if (!m.apply(QStringLiteral("--mqtt"), mqttBroker).isEmpty())
        problem = windowText(kClass, "BadBroker").arg(mqttBroker);
    else if (const QString why = m.finish(); !why.isEmpty())
        problem = windowText(kClass, "MqttLogin").arg(why);
    return problem.isEmpty() ? m : MqttSettings{};
}

QString TfrmMonitorStart::problem() const
{
    const MonitorSettings s = settings();
    if (s.config.dir.isEmpty())
        return windowText(kClass, "NoFolder");
    if (s.config.intervalMs > qint64(s.config.periodS) * 1000)
        return windowText(kClass, "IntervalAbovePeriod");
    if (s.config.warnTenths && s.config.alarmTenths && *s.config.warnTenths > *s.config.alarmTenths)
        return windowText(kClass, "WarnAboveAlarm");
    QString why;
    s.mqtt(why);
    return why;
}

void TfrmMonitorStart::btnStartClick()
{
    if (const QString why = problem(); !why.isEmpty()) {
        showError(why);
        return;
    }
    accept();
}
