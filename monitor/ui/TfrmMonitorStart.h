#pragma once
// The start dialog of a long-term monitoring run: the folder, the sampling interval, the period,
// the warning and alarm levels with their hold time, and an MQTT broker (optional).
#include "monitor/MonitorCore.h"
#include "mqtt/MqttSettings.h"

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

    // The publishing of the broker field, made as `k352-cli monitor --mqtt HOST[:PORT]` makes it:
    // the default topic prefix and node id, the login from K352_MQTT_USER and K352_MQTT_PASSWORD.
    // Disabled settings without a broker; problem gets why the field cannot be used (in the
    // active language), empty otherwise.
    MqttSettings mqtt(QString &problem) const;
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
