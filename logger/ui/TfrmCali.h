#pragma once
// The calibration dialog: the Hi and Lo settings (1 to 11 by the up-down buttons) written to the
// meter on Comm1 with "寫入"; "結束" closes it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class SerialPort;

class TfrmCali : public QDialog {
    Q_OBJECT
public:
    TfrmCali(SerialPort &comm1, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr;
    // Up and down buttons of UpDown1 and UpDown2.
    QToolButton *UpDown1Up = nullptr, *UpDown1Down = nullptr, *UpDown2Up = nullptr, *UpDown2Down = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr;

    void Button1Click();
    void Button2Click() { close(); }

private:
    SerialPort &m_comm1;
};

// Cali1Click: waits for the busy flags with events flowing, stops the main timer, shows a fresh
// dialog modally, frees it and restarts the timer.
struct LinkState;
class Timer;
void openCalibrationDialog(LinkState &state, SerialPort &comm1, Timer &mainTimer, QWidget *parent);
