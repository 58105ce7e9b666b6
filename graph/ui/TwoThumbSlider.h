#pragma once
// A horizontal slider with two thumbs over one integer range: the line cursors A (thumb 1) and
// B (thumb 2) of a graph window.
#include <QWidget>
#include <functional>

class TwoThumbSlider : public QWidget {
    Q_OBJECT
public:
    static constexpr int TrackWidth = 5;
    static constexpr int ThumbWidth = 4;
    static constexpr int ThumbHeight = 10;

    explicit TwoThumbSlider(QWidget *parent = nullptr);

    int Minimum() const { return m_min; }
    int Maximum() const { return m_max; }
    int Value1() const { return m_value1; }
    int Value2() const { return m_value2; }
    // Values outside a new range are pulled to its nearest end (raising their change events).
    void setRange(int minimum, int maximum);
    void setMinimum(int minimum) { setRange(minimum, std::max(minimum, m_max)); }
    void setMaximum(int maximum) { setRange(std::min(m_min, maximum), maximum); }
    // A new value raises the thumb's change event; the current value raises nothing.
    void setValue1(int v);
    void setValue2(int v);

    // Where the values stand when they are not spread evenly over the track (the points of a
    // chart at their times): the pixel of a value's thumb centre, and the value whose thumb stands
    // nearest to a pixel. Unset, the values are spread evenly between the track's ends.
    struct Placement {
        std::function<double(int value)> pixelOf;
        std::function<int(double pixel)> valueAt;
    };
    void setPlacement(Placement placement);

    // Centre of a thumb in pixels, for tests and hit testing.
    int thumbCentre(int value) const;
    // The track: the thumbs' centres stay within its left and right ends.
    QRect trackRect() const;
    QSize sizeHint() const override { return {200, 18}; }

signals:
    void value1Changed(int value);
    void value2Changed(int value);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int clamp(int v) const { return std::clamp(v, m_min, m_max); }
    QRect thumbRect(int value) const;

    int m_min = 0;
    int m_max = 100;
    int m_value1 = 0;
    int m_value2 = 100;
    int m_dragging = 0; // 0 none, 1 or 2: the thumb being dragged
    int m_pressX = 0;
    int m_pressValue = 0;
    Placement m_placement;
};
