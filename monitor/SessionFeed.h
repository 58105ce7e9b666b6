#pragma once
// The monitor's feed from a meter session: its live frames, and its pauses while a command (a
// download, a recall, a set-up exchange) holds the port.
#include "monitor/LiveSampler.h"
#include "session/MeterSession.h"

#include <QMetaObject>

class SessionFeed : public LiveFeed {
public:
    explicit SessionFeed(MeterSession &session) : m_session(session) {}
    ~SessionFeed() override;

    void setFrameHandler(std::function<void(const QByteArray &frame)> handler) override;
    void setPauseHandlers(std::function<void(const QString &reason)> paused, std::function<void()> resumed) override;

private:
    MeterSession &m_session;
    QMetaObject::Connection m_frames, m_paused, m_resumed;
};
