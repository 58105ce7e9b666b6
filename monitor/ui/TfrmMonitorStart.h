#pragma once
// The start dialog of a long-term monitoring run: the folder, the sampling interval, the period,
// the warning and alarm levels with their hold time, and an MQTT broker (optional; handed on as
// a setting).
#include "monitor/MonitorCore.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

struct MonitorSettings {
    MonitorConfig config;
    QString mqttBroker; // host[:port], empty for none
};

class TfrmMonitorStart : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMonitorStart(QWidget *parent = nullptr);

    void setSettings(const MonitorSettings &s);
    MonitorSettings settings() const;
    // Why the settings cannot start a run (in the active language); empty when they can.
    QString problem() const;
    // Start: checks the settings, names what is wrong, or accepts.
    void btnStartClick();

    // Shows a refusal; tests catch it here.
    std::function<void(const QString &)> showError;

    QLineEdit *edtFolder;
    QPushButton *btnFolder;
    QDoubleSpinBox *spnInterval;
    QComboBox *cboPeriod;
    QCheckBox *chkWarn;
    QDoubleSpinBox *spnWarn;
    QCheckBox *chkAlarm;
    QDoubleSpinBox *spnAlarm;
    QDoubleSpinBox *spnHold;
    QLineEdit *edtBroker;
    QPushButton *btnStart;
    QPushButton *btnCancel;
};
