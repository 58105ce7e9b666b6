#pragma once
// The start dialog of a real-time recording: the number of values, the sampling rate and the
// recording duration they give.
#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;

class TfrmSetupRealTime : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSetupRealTime(QWidget *parent = nullptr);

    QLineEdit *edtRealTimeNo = nullptr;
    QComboBox *txtRate = nullptr;
    QLineEdit *edtPeriod = nullptr;

    // The rate text as the graph window shows it; the duration for 2000 values at that rate.
    void setRateText(const QString &text);
    // Shows the conversion error of a rate text that is not a number (a message box when unset).
    std::function<void(const QString &)> showError;

    void edtRealTimeNoChange();
};
