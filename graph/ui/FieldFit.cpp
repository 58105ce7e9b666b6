#include "graph/ui/FieldFit.h"

#include "app/SystemFormats.h"

#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>

QString widestLevelText()
{
    return levelText(-199.9);
}

QStringList widestDateTimeTexts()
{
    // 28 September and 28 December 2088, 20:08:09: wide digits, and the long month names should
    // the system's format spell the month out.
    return {dateTimeText(68939.8390), dateTimeText(69030.8390)};
}

void fitFieldTo(QLineEdit *field, const QStringList &texts)
{
    const QFontMetrics fm = field->fontMetrics();
    int widest = 0;
    for (const QString &t : texts)
        widest = std::max(widest, fm.horizontalAdvance(t));
    // The field draws its text 2 pixels in from each side and scrolls it once the text, a pixel of
    // cursor room and the glyphs' overhang no longer fit.
    const int overhang = std::max(0, -fm.minLeftBearing()) + std::max(0, -fm.minRightBearing());
    const QMargins m = field->textMargins();
    const QSize text(widest + 2 * 2 + 2 + overhang + m.left() + m.right(), fm.height());
    QStyleOptionFrame opt;
    opt.initFrom(field);
    opt.rect = QRect(QPoint(0, 0), text);
    opt.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, field) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    field->setMinimumWidth(field->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, text, field).width());
}

SidewaysScrollPanel::SidewaysScrollPanel(QWidget *panel, QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setWidget(panel);
    panel->installEventFilter(this);
    fitHeight();
}

QSize SidewaysScrollPanel::sizeHint() const
{
    return {widget()->sizeHint().width(), height()};
}

QSize SidewaysScrollPanel::minimumSizeHint() const
{
    return {0, height()};
}

void SidewaysScrollPanel::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fitHeight();
}

bool SidewaysScrollPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        fitHeight();
    return QScrollArea::eventFilter(watched, event);
}

void SidewaysScrollPanel::fitHeight()
{
    const QSize need = widget()->minimumSizeHint();
    const bool bar = width() < need.width();
    const int h = std::max(need.height(), widget()->sizeHint().height())
                  + (bar ? horizontalScrollBar()->sizeHint().height() : 0);
    if (height() != h)
        setFixedHeight(h);
}
