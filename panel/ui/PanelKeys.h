#pragma once
// The click areas of the control panel: keys over the picture of the meter's keys, the MAX/MIN
// key that reports press and release of any mouse button, and the two small window buttons.
#include <QAbstractButton>

// A transparent key: the picture beneath shows the cap; only a press darkens it a little.
class PanelKey : public QAbstractButton {
    Q_OBJECT
public:
    PanelKey(const QString &name, const QRect &geometry, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A key with press-and-hold behaviour: mouseDown and mouseUp for any button.
class HoldKey : public PanelKey {
    Q_OBJECT
public:
    using PanelKey::PanelKey;

signals:
    void mouseDown();
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Minimise or close button in the picture's top right corner.
class TitleButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Glyph { Minimise, Close };
    TitleButton(const QString &name, const QRect &geometry, Glyph glyph, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Glyph m_glyph;
};
