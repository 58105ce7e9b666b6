#include "app/ui/TfrmAbout.h"

#include "app/WindowTexts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}
} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About  k352-4 For Sound Level Meter"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint
                   | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(383, 117);

    m_label3 = makeLabel(this, "Label3", QStringLiteral("Sound Level Meter Software"), QRect(8, 8, 367, 30));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(20);
    title.setBold(true);
    title.setItalic(true);
    m_label3->setFont(title);
    m_label3->setAlignment(Qt::AlignCenter);
    QPalette blue = m_label3->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_label3->setPalette(blue);

    QFont bold = font();
    bold.setPixelSize(18);
    bold.setBold(true);
    m_label1 = makeLabel(this, "Label1", QStringLiteral("Version:"), QRect(72, 44, 96, 26));
    m_label1->setFont(bold);
    m_label2 = makeLabel(this, "Label2", versionString(), QRect(170, 44, 150, 26));
    m_label2->setFont(bold);

    m_label4 = makeLabel(this, "Label4", QString(), QRect(8, 86, 280, 22));

    m_bitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    m_bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    m_bitBtn1->setGeometry(296, 82, 79, 28);
    m_bitBtn1->setDefault(true);
    connect(m_bitBtn1, &QPushButton::clicked, this, &TfrmAbout::BitBtn1Click);

    applyWindowTexts(this, QStringLiteral("TfrmAbout"));
    centreOnScreen();
}

QString TfrmAbout::versionString()
{
#ifdef K352_VERSION
    return QStringLiteral(K352_VERSION);
#else
    return QString();
#endif
}

void TfrmAbout::BitBtn1Click()
{
    accept();
}

void TfrmAbout::centreOnScreen()
{
    QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfrmAbout::showAsSplash()
{
    m_bitBtn1->hide();
    centreOnScreen();
    show();
    raise();
    repaint();
    // Let the window system map and draw the window before the start-up blocks the loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TfrmAbout::setStatus(const QString &text)
{
    m_label4->setText(text);
    m_label4->repaint();
}

QString TfrmAbout::status() const
{
    return m_label4->text();
}
