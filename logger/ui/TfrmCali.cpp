#include "logger/ui/TfrmCali.h"

#include "link/LinkState.h"
#include "app/ui/K352Application.h"
#include "link/PortLease.h"
#include "link/SerialPort.h"
#include "link/Timer.h"
#include "logger/Calibration.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr int Lowest = 1, Highest = 11;

// The up-down buttons tied to an edit: they step the edit's number within 1 to 11; typing is not
// limited by them.
void tieUpDown(QLineEdit *edit, QToolButton *up, QToolButton *down)
{
    auto step = [edit](int by) {
        const int now = std::clamp(parseWholeNumber(edit->text()).value_or(Lowest), Lowest, Highest);
        edit->setText(QString::number(std::clamp(now + by, Lowest, Highest)));
    };
    QObject::connect(up, &QToolButton::clicked, edit, [step] { step(+1); });
    QObject::connect(down, &QToolButton::clicked, edit, [step] { step(-1); });
}
} // namespace

TfrmCali::TfrmCali(SerialPort &comm1, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_comm1(comm1)
{
    setObjectName(QStringLiteral("TfrmCali"));
    setWindowTitle(QStringLiteral("Calibration"));
    setFont(QFont(QStringLiteral("Tahoma")));
    auto *grid = new QGridLayout(this);
    auto row = [&](int r, const char *labelText, QLabel *&label, QLineEdit *&edit, QToolButton *&up,
                   QToolButton *&down, const char *editName, const char *upDownName) {
        label = new QLabel(QString::fromLatin1(labelText), this);
        label->setObjectName(QStringLiteral("Label%1").arg(r + 1));
        edit = new QLineEdit(QStringLiteral("1"), this);
        edit->setObjectName(QString::fromLatin1(editName));
        up = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        up->setObjectName(QString::fromLatin1(upDownName) + QStringLiteral("Up"));
        down = new QToolButton(this);
        down->setArrowType(Qt::DownArrow);
        down->setObjectName(QString::fromLatin1(upDownName) + QStringLiteral("Down"));
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        grid->addWidget(up, r, 2);
        grid->addWidget(down, r, 3);
        tieUpDown(edit, up, down);
    };
    row(0, "Hi", Label1, Edit1, UpDown1Up, UpDown1Down, "Edit1", "UpDown1");
    row(1, "Lo", Label2, Edit2, UpDown2Up, UpDown2Down, "Edit2", "UpDown2");
    Button1 = new QPushButton(QStringLiteral("寫入"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("結束"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    grid->addWidget(Button1, 2, 0, 1, 2);
    grid->addWidget(Button2, 2, 2, 1, 2);
    connect(Button1, &QPushButton::clicked, this, &TfrmCali::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmCali::Button2Click);
    setFixedSize(373, 293);
}

void TfrmCali::Button1Click()
{
    QString error;
    quietly([&] { error = sendCalibration(m_comm1, Edit1->text(), Edit2->text()); });
    if (!error.isEmpty())
        showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), error);
}

void openCalibrationDialog(LinkState &state, SerialPort &comm1, Timer &mainTimer, QWidget *parent)
{
    // The dialog writes on Comm1 while the live stream goes on: the watchdog is stopped, the
    // receive handler stays attached.
    SystemClock clock;
    const auto processEvents = [] { QCoreApplication::processEvents(); };
    waitWhileBusy(state.TimerBusy, clock, PortLease::BusyLimitMs, processEvents);
    mainTimer.setEnabled(false);
    waitWhileBusy(state.RxBusy, clock, PortLease::BusyLimitMs, processEvents);
    {
        PortLoan loan(state.Loans, QStringLiteral("calibration"));
        TfrmCali dialog(comm1, parent);
        dialog.exec();
    }
    mainTimer.setEnabled(true);
}
