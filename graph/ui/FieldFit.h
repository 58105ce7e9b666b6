#pragma once
// Keeping the statistics readable at every window size: read-only fields as wide as the widest text
// they show, and a panel that scrolls sideways when the window is narrower than its fields.
#include <QScrollArea>
#include <QStringList>

class QLineEdit;

// The text of a level field at its widest ("-199,9" with the locale's separator).
QString widestLevelText();
// Texts of a date-and-time field at its widest.
QStringList widestDateTimeTexts();

// Sets the field's minimum width so that each of the texts shows whole in the field's font.
void fitFieldTo(QLineEdit *field, const QStringList &texts);

// A row of fields that keeps their widths: when the row does not fit, a horizontal scroll bar
// appears below it, and the area grows by the bar's height, so no row is cut off either.
class SidewaysScrollPanel : public QScrollArea {
public:
    SidewaysScrollPanel(QWidget *panel, QWidget *parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitHeight();
};
