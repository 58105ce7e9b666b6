#include "app/ui/Workspace.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <numeric>

namespace {

void keepMinimumSize(QMdiSubWindow *sub)
{
    if (!sub->isMinimized())
        sub->setMinimumSize(sub->minimumSizeHint().expandedTo(QSize(0, 0)));
}

// Watches the workspace for new child windows and each child window for changes of its contents'
// layout, which may change the size it needs.
class MinimumSizeKeeper : public QObject {
public:
    explicit MinimumSizeKeeper(QMdiArea *area) : QObject(area), m_viewport(area->viewport()) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport) {
            if (event->type() == QEvent::ChildAdded) {
                if (auto *sub = qobject_cast<QMdiSubWindow *>(static_cast<QChildEvent *>(event)->child()))
                    sub->installEventFilter(this);
            }
            return false;
        }
        if (auto *sub = qobject_cast<QMdiSubWindow *>(watched)) {
            const QEvent::Type t = event->type();
            if (t == QEvent::Show || t == QEvent::LayoutRequest || t == QEvent::WindowStateChange)
                keepMinimumSize(sub);
        }
        return false;
    }

private:
    QWidget *m_viewport;
};

} // namespace

void setUpWorkspace(QMdiArea *area)
{
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->viewport()->installEventFilter(new MinimumSizeKeeper(area));
}

std::vector<int> shareHeights(int available, const std::vector<int> &minimums)
{
    const size_t n = minimums.size();
    std::vector<int> heights(n, 0);
    if (n == 0)
        return heights;
    const long long needed = std::accumulate(minimums.begin(), minimums.end(), 0LL);
    if (needed >= available)
        return minimums;
    // Give the windows that need more than an equal share their minimum, until the share of the
    // rest is enough for every one of them.
    std::vector<bool> fixed(n, false);
    int rest = available;
    size_t open = n;
    for (bool changed = true; changed && open > 0;) {
        changed = false;
        const int share = rest / int(open);
        for (size_t i = 0; i < n; ++i) {
            if (!fixed[i] && minimums[i] > share) {
                fixed[i] = true;
                heights[i] = minimums[i];
                rest -= minimums[i];
                --open;
                changed = true;
            }
        }
    }
    if (open == 0)
        return heights;
    // The others share the rest; the last of them takes the pixels the division leaves over.
    const int share = rest / int(open);
    size_t last = n;
    for (size_t i = 0; i < n; ++i) {
        if (!fixed[i]) {
            heights[i] = share;
            last = i;
        }
    }
    heights[last] += rest - share * int(open);
    return heights;
}

void tileOneBelowTheOther(QMdiArea *area)
{
    // Windows of a fixed width (the control panel) cannot be stretched: they stand in a column at
    // the left edge, the others one below the other to their right.
    QList<QMdiSubWindow *> fixed, stretching;
    for (QMdiSubWindow *sub : area->subWindowList()) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        sub->showNormal();
        keepMinimumSize(sub);
        const QWidget *content = sub->widget();
        const bool fixedWidth = content && content->minimumWidth() == content->maximumWidth();
        (fixedWidth ? fixed : stretching) << sub;
    }
    // Lay out from the top left corner of the contents.
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    int left = 0, column = 0;
    for (QMdiSubWindow *sub : std::as_const(fixed)) {
        sub->move(0, column);
        column += sub->height();
        left = std::max(left, sub->width());
    }
    if (stretching.isEmpty())
        return;

    std::vector<int> minimums;
    int minWidth = 0;
    for (QMdiSubWindow *sub : std::as_const(stretching)) {
        minimums.push_back(sub->minimumHeight());
        minWidth = std::max(minWidth, sub->minimumWidth());
    }
    // The room the viewport has without scroll bars, less a bar where the windows need one.
    const QSize room = area->maximumViewportSize();
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    const bool horizontalBar = left + minWidth > room.width();
    const int available = room.height() - (horizontalBar ? bar : 0);
    const std::vector<int> heights = shareHeights(available, minimums);
    const bool verticalBar =
        std::max(column, std::accumulate(heights.begin(), heights.end(), 0)) > available;
    const int width = std::max(room.width() - (verticalBar ? bar : 0) - left, minWidth);
    int y = 0;
    for (qsizetype i = 0; i < stretching.size(); ++i) {
        stretching[i]->setGeometry(left, y, width, heights[size_t(i)]);
        y += heights[size_t(i)];
    }
}
