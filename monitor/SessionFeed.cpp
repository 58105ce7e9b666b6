#include "monitor/SessionFeed.h"

SessionFeed::~SessionFeed()
{
    setFrameHandler({});
    setPauseHandlers({}, {});
}

void SessionFeed::setFrameHandler(std::function<void(const QByteArray &)> handler)
{
    QObject::disconnect(m_frames);
    if (handler)
        m_frames = QObject::connect(&m_session, &MeterSession::frameDecoded,
                                    [handler = std::move(handler)](const QByteArray &frame, TDateTime) { handler(frame); });
}

void SessionFeed::setPauseHandlers(std::function<void(const QString &)> paused, std::function<void()> resumed)
{
    QObject::disconnect(m_paused);
    QObject::disconnect(m_resumed);
    if (paused)
        m_paused = QObject::connect(&m_session, &MeterSession::paused, std::move(paused));
    if (resumed)
        m_resumed = QObject::connect(&m_session, &MeterSession::resumed, std::move(resumed));
}
