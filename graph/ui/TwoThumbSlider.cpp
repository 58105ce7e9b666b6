#include "graph/ui/TwoThumbSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TwoThumbSlider::TwoThumbSlider(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Slider1"));
    setMinimumHeight(ThumbHeight + 6);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TwoThumbSlider::setRange(int minimum, int maximum)
{
    if (maximum < minimum)
        maximum = minimum;
    m_min = minimum;
    m_max = maximum;
    setValue1(m_value1);
    setValue2(m_value2);
    update();
}

void TwoThumbSlider::setValue1(int v)
{
    v = clamp(v);
    if (v == m_value1)
        return;
    m_value1 = v;
    update();
    emit value1Changed(v);
}

void TwoThumbSlider::setValue2(int v)
{
    v = clamp(v);
    if (v == m_value2)
        return;
    m_value2 = v;
    update();
    emit value2Changed(v);
}

void TwoThumbSlider::setPlacement(Placement placement)
{
    m_placement = std::move(placement);
    update();
}

QRect TwoThumbSlider::trackRect() const
{
    return QRect(ThumbHeight / 2, height() / 2 - TrackWidth / 2, std::max(0, width() - ThumbHeight), TrackWidth);
}

int TwoThumbSlider::thumbCentre(int value) const
{
    if (m_placement.pixelOf) {
        // A value outside the shown part stands at the nearer end of the track.
        const QRect track = trackRect();
        const double x = m_placement.pixelOf(value);
        const double right = track.left() + std::max(0, track.width() - 1);
        return int(std::lround(std::isfinite(x) ? std::clamp(x, double(track.left()), right) : track.left()));
    }
    const int usable = std::max(1, width() - ThumbHeight);
    const int span = m_max - m_min;
    const int offset = span > 0 ? int(qint64(value - m_min) * usable / span) : 0;
    return ThumbHeight / 2 + offset;
}

QRect TwoThumbSlider::thumbRect(int value) const
{
    const int cx = thumbCentre(value);
    return QRect(cx - ThumbWidth / 2, (height() - ThumbHeight) / 2, ThumbWidth, ThumbHeight);
}

void TwoThumbSlider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(trackRect(), QColor(255, 255, 0));
    p.setPen(QColor(0, 0, 0));
    for (int v : {m_value1, m_value2}) {
        const QRect r = thumbRect(v);
        p.fillRect(r, QColor(0, 255, 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void TwoThumbSlider::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // A grab margin makes the narrow thumbs easy to catch.
    const auto hit = [&](int value) { return thumbRect(value).adjusted(-3, -2, 3, 2).contains(pos); };
    if (hit(m_value1)) {
        m_dragging = 1;
        m_pressValue = m_value1;
    } else if (hit(m_value2)) {
        m_dragging = 2;
        m_pressValue = m_value2;
    } else {
        m_dragging = 0;
        return;
    }
    m_pressX = pos.x();
}

void TwoThumbSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    if (m_placement.valueAt) {
        // The thumb follows the pointer and settles on the value nearest to it.
        const int x = event->position().toPoint().x() - m_pressX + thumbCentre(m_pressValue);
        const int v = m_placement.valueAt(x);
        if (m_dragging == 1)
            setValue1(v);
        else
            setValue2(v);
        return;
    }
    const int usable = std::max(1, width() - ThumbHeight);
    const qint64 moved = event->position().toPoint().x() - m_pressX;
    // Truncated toward zero, as integer division does.
    const int v = m_pressValue + int(moved * (m_max - m_min) / usable);
    if (m_dragging == 1)
        setValue1(v);
    else
        setValue2(v);
}

void TwoThumbSlider::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = 0;
}
