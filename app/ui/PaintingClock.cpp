#include "app/ui/PaintingClock.h"

#include <QCoreApplication>

namespace {
constexpr qint64 FrameMs = 20;
}

quint32 PaintingClock::tickMs()
{
    if (m_painting && !m_inside && (!m_sinceLast.isValid() || m_sinceLast.elapsed() >= FrameMs)) {
        m_inside = true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        m_inside = false;
        m_sinceLast.start();
    }
    return SystemClock::tickMs();
}

bool PaintingClock::setPainting(bool on)
{
    const bool before = m_painting;
    m_painting = on;
    m_sinceLast.invalidate();
    return before;
}
