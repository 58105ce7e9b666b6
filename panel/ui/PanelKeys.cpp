#include "panel/ui/PanelKeys.h"

#include <QMouseEvent>
#include <QPainter>

PanelKey::PanelKey(const QString &name, const QRect &geometry, QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PanelKey::paintEvent(QPaintEvent *)
{
    if (!isDown())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.0, -2.5, -3.0), 5, 5);
}

void HoldKey::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mousePressEvent(event);
    else
        event->accept();
    emit mouseDown();
}

void HoldKey::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mouseReleaseEvent(event);
    else
        event->accept();
    emit mouseUp();
}

TitleButton::TitleButton(const QString &name, const QRect &geometry, Glyph glyph, QWidget *parent)
    : QAbstractButton(parent), m_glyph(glyph)
{
    setObjectName(name);
    setGeometry(geometry);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TitleButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const bool down = isDown();
    g.setColorAt(0, down ? QColor(60, 64, 68) : QColor(96, 101, 106));
    g.setColorAt(1, down ? QColor(40, 43, 46) : QColor(52, 55, 59));
    p.setPen(QPen(QColor(22, 24, 26), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(QColor(232, 234, 236), 1.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = r.center();
    if (m_glyph == Glyph::Minimise) {
        p.drawLine(QPointF(c.x() - 3.5, c.y() + 3), QPointF(c.x() + 3.5, c.y() + 3));
    } else {
        p.drawLine(c + QPointF(-3, -3), c + QPointF(3, 3));
        p.drawLine(c + QPointF(-3, 3), c + QPointF(3, -3));
    }
}
