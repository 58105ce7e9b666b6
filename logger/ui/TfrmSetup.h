#pragma once
// The data logger set-up window: clock, recording interval, erase, logger information with the
// memory test, and the whole initialisation. It owns its own port Comm2; every operation runs in
// LoggerSetup, which hands the device over from Comm1 and back.
#include "link/TComPort.h"
#include "logger/LoggerSetup.h"
#include "logger/SetupUi.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QTableWidget;

class TfrmSetup : public QWidget, private SetupUi {
    Q_OBJECT
public:
    // comm2: the port the window uses instead of its own Comm2 (tests); none: Comm2.
    TfrmSetup(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, QWidget *parent = nullptr,
              SerialPort *comm2 = nullptr);
    ~TfrmSetup() override;

    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr;
    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr;
    QLineEdit *edtInt1 = nullptr, *edtInt2 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblVer = nullptr, *lblMeterTime = nullptr, *lblInt = nullptr, *lblDataSets = nullptr,
           *lblMemoryAvailable = nullptr, *lblMemTest = nullptr;
    QTableWidget *Grid1 = nullptr;
    TComPort Comm2;

    LoggerSetup &setup() { return m_setup; }

    void Button1Click() { m_setup.Button1Click(); }
    void Button2Click() { m_setup.Button2Click(); }
    void Button3Click() { m_setup.Button3Click(); }
    void Button4Click() { m_setup.Button4Click(); }
    void Button5Click() { m_setup.Button5Click(); }

    void addToWorkspace(QMdiArea *area);

private:
    // SetupUi.
    QString intervalMinutes() const override;
    QString intervalSeconds() const override;
    void setLabel(Label label, const QString &text) override;
    void message(const QString &text) override;
    void setBusyCursor(bool busy) override;
    void memTestReset() override;
    void memTestReply(const QStringList &cells) override;
    void showInfo(const QString &text) override;
    void setInfoText(const QString &text) override;
    void closeInfo() override;

    LoggerSetup m_setup;
    QWidget *m_info = nullptr;
    QLabel *m_infoLabel = nullptr;
    bool m_busy = false;
};
