#include "logger/ui/TfrmSetup.h"

#include "app/ui/K352Application.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
QLineEdit *twoDigits(QWidget *parent, const char *name, const QString &text)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setInputMask(QStringLiteral("00"));
    e->setMaximumWidth(40);
    return e;
}
} // namespace

TfrmSetup::TfrmSetup(LinkState &state, SerialPort &comm1, Clock &clock, Timer &mainTimer, QWidget *parent,
                     SerialPort *comm2)
    : QWidget(parent),
      m_setup(state, comm1, comm2 ? *comm2 : Comm2, clock, mainTimer, *this, [] { QCoreApplication::processEvents(); })
{
    setObjectName(QStringLiteral("TfrmSetup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Data Logger Setup"));
    Comm2.setModemLines(false);
    Comm2.setDeviceName(QStringLiteral("COM1"));
    // An error of Comm2 ends the exchange in progress silently; the operation counts as failed.
    Comm2.setErrorHandler([](const PortError &) { return SerialPort::ErrorAction::Abort; });

    Button1 = button(this, "Button1", QStringLiteral("Adjust Meter Time To Computer Time"));
    GroupBox1 = new QGroupBox(QStringLiteral("Meter Recording Interval "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    edtInt1 = twoDigits(GroupBox1, "edtInt1", QStringLiteral("00"));
    edtInt2 = twoDigits(GroupBox1, "edtInt2", QStringLiteral("02"));
    Label2 = label(GroupBox1, "Label2", QStringLiteral("mm:ss(00:01~59:59)"));
    Button2 = button(GroupBox1, "Button2", QStringLiteral("Adjust Meter Recording Interval To This Amount"));
    auto *g1 = new QGridLayout(GroupBox1);
    auto *edits = new QHBoxLayout;
    edits->addWidget(edtInt1);
    edits->addWidget(new QLabel(QStringLiteral(":"), GroupBox1));
    edits->addWidget(edtInt2);
    edits->addWidget(Label2);
    edits->addStretch();
    g1->addLayout(edits, 0, 0);
    g1->addWidget(Button2, 1, 0);
    Button3 = button(this, "Button3", QStringLiteral("Erase Meter Memory"));

    GroupBox2 = new QGroupBox(QStringLiteral("Meter DataLogger Information"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *g2 = new QGridLayout(GroupBox2);
    const struct {
        const char *captionName, *caption, *valueName;
        QLabel **value;
    } rows[] = {{"Label6", "FirmWare Version:", "lblVer", &lblVer},
                {"Label1", "Meter Time:", "lblMeterTime", &lblMeterTime},
                {"Label3", "Recording Interval:", "lblInt", &lblInt},
                {"Label5", "Data Sets In Memory:", "lblDataSets", &lblDataSets},
                {"Label4", "Memory Available:", "lblMemoryAvailable", &lblMemoryAvailable},
                {"Label7", "Memory Test:", "lblMemTest", &lblMemTest}};
    int r = 0;
    for (const auto &row : rows) {
        g2->addWidget(label(GroupBox2, row.captionName, QString::fromLatin1(row.caption)), r, 0);
        *row.value = label(GroupBox2, row.valueName, QString());
        g2->addWidget(*row.value, r++, 1);
    }
    Button4 = button(GroupBox2, "Button4", QStringLiteral("Read  "));
    g2->addWidget(Button4, r++, 0, 1, 2);
    Grid1 = new QTableWidget(2, 12, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->horizontalHeader()->setDefaultSectionSize(32);
    Grid1->verticalHeader()->setDefaultSectionSize(16);
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->hide();
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Button5 = button(this, "Button5", QStringLiteral("????"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Button1);
    layout->addWidget(GroupBox1);
    layout->addWidget(Button3);
    layout->addWidget(GroupBox2);
    layout->addWidget(Grid1, 1);
    layout->addWidget(Button5);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    resize(460, 620);
}

TfrmSetup::~TfrmSetup()
{
    setBusyCursor(false);
    closeInfo();
}

void TfrmSetup::addToWorkspace(QMdiArea *area)
{
    QMdiSubWindow *sub = area->addSubWindow(this);
    sub->resize(size());
    // Centred in the workspace.
    sub->move(std::max(0, (area->width() - sub->width()) / 2), std::max(0, (area->height() - sub->height()) / 2));
    sub->show();
}

QString TfrmSetup::intervalMinutes() const
{
    return edtInt1->text();
}

QString TfrmSetup::intervalSeconds() const
{
    return edtInt2->text();
}

void TfrmSetup::setLabel(Label l, const QString &text)
{
    QLabel *target = nullptr;
    switch (l) {
    case Label::Version: target = lblVer; break;
    case Label::MeterTime: target = lblMeterTime; break;
    case Label::Interval: target = lblInt; break;
    case Label::DataSets: target = lblDataSets; break;
    case Label::MemoryAvailable: target = lblMemoryAvailable; break;
    case Label::MemTest: target = lblMemTest; break;
    }
    target->setText(text);
    target->repaint();
}

void TfrmSetup::message(const QString &text)
{
    showMessage(this, QMessageBox::Information, QStringLiteral("Information"), text);
}

void TfrmSetup::setBusyCursor(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmSetup::memTestReset()
{
    Grid1->clearContents();
    Grid1->setRowCount(2);
    Grid1->setItem(1, 0, new QTableWidgetItem(QStringLiteral("00")));
    Grid1->repaint();
}

void TfrmSetup::memTestReply(const QStringList &cells)
{
    const int last = Grid1->rowCount() - 1;
    for (int c = 0; c < cells.size() && c + 1 < Grid1->columnCount(); ++c)
        Grid1->setItem(last, c + 1, new QTableWidgetItem(cells[c]));
    Grid1->setRowCount(last + 2);
    Grid1->scrollToBottom();
    Grid1->repaint();
}

void TfrmSetup::showInfo(const QString &text)
{
    closeInfo();
    m_info = new QWidget(this, Qt::Tool);
    m_info->setWindowTitle(QStringLiteral("Information"));
    m_infoLabel = new QLabel(text, m_info);
    m_infoLabel->setObjectName(QStringLiteral("Label1"));
    auto *l = new QVBoxLayout(m_info);
    l->addWidget(m_infoLabel);
    m_info->show();
    m_info->repaint();
}

void TfrmSetup::setInfoText(const QString &text)
{
    if (m_infoLabel) {
        m_infoLabel->setText(text);
        m_infoLabel->repaint();
    }
}

void TfrmSetup::closeInfo()
{
    delete m_info;
    m_info = nullptr;
    m_infoLabel = nullptr;
}
