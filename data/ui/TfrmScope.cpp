#include "data/ui/TfrmScope.h"

#include "app/WindowTexts.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {
template <class W>
W *make(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    w->hide();
    return w;
}
} // namespace

TfrmScope::TfrmScope(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmScope"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(329, 100);
    setWindowTitle(QStringLiteral("Print Range"));

    GroupBox1 = make<QGroupBox>(this, "GroupBox1", QRect(8, 2, 233, 92));
    radAll = make<QRadioButton>(GroupBox1, "radAll", QRect(10, 20, 80, 20));
    radAll->setText(QStringLiteral("All"));
    radAll->setChecked(true);
    radNo = make<QRadioButton>(GroupBox1, "radNo", QRect(10, 52, 90, 20));
    radNo->setText(QStringLiteral(" Selection "));
    Label1 = make<QLabel>(GroupBox1, "Label1", QRect(104, 22, 30, 16));
    Label1->setText(QStringLiteral("from"));
    edtSelFrom = make<QLineEdit>(GroupBox1, "edtSelFrom", QRect(136, 18, 88, 22));
    Label2 = make<QLabel>(GroupBox1, "Label2", QRect(104, 54, 30, 16));
    Label2->setText(QStringLiteral("to"));
    edtSelTo = make<QLineEdit>(GroupBox1, "edtSelTo", QRect(136, 50, 88, 22));
    for (QWidget *w : {static_cast<QWidget *>(radAll), static_cast<QWidget *>(radNo),
                       static_cast<QWidget *>(Label1), static_cast<QWidget *>(edtSelFrom),
                       static_cast<QWidget *>(Label2), static_cast<QWidget *>(edtSelTo)})
        w->show();  // shown with their group box

    BitBtn1 = make<QPushButton>(this, "BitBtn1", QRect(248, 14, 75, 27));
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn2 = make<QPushButton>(this, "BitBtn2", QRect(248, 58, 75, 27));
    BitBtn2->setText(QStringLiteral(" Cancel "));
    Progress1 = make<QProgressBar>(this, "Progress1", QRect(8, 14, 232, 20));
    Progress1->setTextVisible(false);
    SText1 = make<QLabel>(this, "SText1", QRect(8, 44, 150, 18));
    SText1->setText(QStringLiteral("bytes received"));
    SText2 = make<QLabel>(this, "SText2", QRect(8, 70, 150, 18));
    SText2->setText(QStringLiteral("total bytes"));
    lblBytesReceived = make<QLabel>(this, "lblBytesReceived", QRect(160, 44, 80, 18));
    lblTotalBytes = make<QLabel>(this, "lblTotalBytes", QRect(160, 70, 80, 18));

    applyWindowTexts(this, QStringLiteral("TfrmScope"));

    connect(BitBtn1, &QPushButton::clicked, this, &TfrmScope::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmScope::BitBtn2Click);
}

void TfrmScope::showRangeControls(qint64 count)
{
    m_progressUse = false;
    edtSelFrom->setText(QStringLiteral("1"));
    edtSelTo->setText(QString::number(count));
    GroupBox1->show();
    BitBtn1->show();
    BitBtn2->show();
    BitBtn1->setDefault(true);
}

void TfrmScope::showProgressControls(bool bar, bool cancel)
{
    m_progressUse = true;
    Progress1->setVisible(bar);
    SText1->show();
    BitBtn2->setVisible(cancel);
}

void TfrmScope::BitBtn1Click()
{
    done(ResultOk);
}

void TfrmScope::BitBtn2Click()
{
    if (m_progressUse)
        setResult(ResultCancel);
    else
        done(ResultCancel);
}

void TfrmScope::reject()
{
    if (m_progressUse)
        setResult(ResultCancel);
    else
        QDialog::reject();
}

void TfrmScope::closeEvent(QCloseEvent *event)
{
    if (m_progressUse) {
        setResult(ResultCancel);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmScope::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
