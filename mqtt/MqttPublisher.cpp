#include "mqtt/MqttPublisher.h"

#include "mqtt/MqttPayload.h"

#include <QFileInfo>
#include <mosquitto.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kWindow = 100;        // durable messages in flight at once
constexpr int kLiveBacklog = 100;   // live values waiting for the thread; more are dropped
constexpr int kKeepAliveS = 30;
constexpr int kMaxDelayS = 60;
constexpr auto kConnackWait = std::chrono::seconds(10);
constexpr auto kOfflineWait = milliseconds(1000);

std::once_flag g_libInit;
} // namespace

struct MqttPublisher::State {
    MqttSettings settings;
    QString dir;
    Options options;
    Report report;

    // Shared with the callers.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<MqttMessage> incoming;
    int liveWaiting = 0;
    bool finishing = false;
    Clock::time_point deadline;
    bool ended = false;
    bool started = false;
    std::atomic<int> unacked{0};
    std::atomic<bool> connected{false};
    int wakeFd = -1;
    std::thread thread;

    // The publishing thread's own.
    struct Entry {
        MqttMessage m;
        bool acked = false;
    };
    std::deque<Entry> queue; // durable messages not yet acknowledged (and some acknowledged behind one that is not)
    qint64 frontSeq = 0;     // sequence number of queue.front()
    qint64 nextSeq = 0;      // the next one to send
    std::map<int, qint64> inflight; // message id -> sequence number
    std::vector<MqttMessage> live;
    MqttAckWriter ackWriter;
    QString lastReason;
    int connackRc = -1;
    bool lost = false;
    int offlineMid = -1;
    bool offlineAcked = false;

    State(const MqttSettings &s, const QString &d, Options o, Report r)
        : settings(s), dir(d), options(std::move(o)), report(std::move(r)), ackWriter(d) {}
    ~State()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    void wake()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }
    void say(const QString &text) { report(QStringLiteral("mqtt: ") + text); }
    bool finishRequested()
    {
        std::lock_guard lock(mutex);
        return finishing;
    }

    void run();
    // One connection from start to end; an empty result when it ended because of a stop.
    QString session(bool &wasConnected);
    int pump(mosquitto *m);
    void takeIncoming();
    void announce(mosquitto *m);
    void acknowledged(int mid);
    QString describe(int rc, int err, bool wasConnected) const;
};

void MqttPublisher::State::takeIncoming()
{
    std::lock_guard lock(mutex);
    for (MqttMessage &m : incoming) {
        if (m.isDurable())
            queue.push_back({std::move(m), false});
        else
            live.push_back(std::move(m));
    }
    incoming.clear();
    liveWaiting = 0;
}

void MqttPublisher::State::acknowledged(int mid)
{
    if (mid == offlineMid) {
        offlineAcked = true;
        return;
    }
    const auto it = inflight.find(mid);
    if (it == inflight.end())
        return;
    Entry &e = queue[size_t(it->second - frontSeq)];
    inflight.erase(it);
    if (e.acked)
        return;
    e.acked = true;
    if (const QString problem = ackWriter.note(e.m.day, e.m.ackLine); !problem.isEmpty())
        say(problem);
    while (!queue.empty() && queue.front().acked) {
        queue.pop_front();
        ++frontSeq;
    }
    nextSeq = std::max(nextSeq, frontSeq);
    {
        std::lock_guard lock(mutex);
        --unacked;
    }
    changed.notify_all();
}

void MqttPublisher::State::announce(mosquitto *m)
{
    if (!options.announce)
        return;
    const QByteArray status = settings.topic("status");
    mosquitto_publish(m, nullptr, status.constData(), 6, "online", 1, true);
    for (const MqttPayload::Discovery &d : MqttPayload::homeAssistant(settings.effectiveNode(), settings.topicPrefix()))
        mosquitto_publish(m, nullptr, d.topic.constData(), int(d.payload.size()), d.payload.constData(), 1, true);
}

int MqttPublisher::State::pump(mosquitto *m)
{
    for (const MqttMessage &l : live) {
        const int rc = mosquitto_publish(m, nullptr, l.topic.constData(), int(l.payload.size()), l.payload.constData(),
                                         l.qos, l.retain);
        if (rc != MOSQ_ERR_SUCCESS)
            return rc;
    }
    live.clear();
    while (int(inflight.size()) < kWindow && nextSeq - frontSeq < qint64(queue.size())) {
        Entry &e = queue[size_t(nextSeq - frontSeq)];
        if (!e.acked) {
            int mid = 0;
            const int rc = mosquitto_publish(m, &mid, e.m.topic.constData(), int(e.m.payload.size()),
                                             e.m.payload.constData(), e.m.qos, e.m.retain);
            if (rc != MOSQ_ERR_SUCCESS)
                return rc;
            inflight[mid] = nextSeq;
        }
        ++nextSeq;
    }
    return MOSQ_ERR_SUCCESS;
}

QString MqttPublisher::State::describe(int rc, int err, bool wasConnected) const
{
    const QString broker = settings.brokerText();
    if (rc == MOSQ_ERR_EAI || rc == MOSQ_ERR_LOOKUP)
        return QStringLiteral("%1: the host name does not resolve").arg(settings.host);
    const QString why = rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(err))
                                             : QString::fromUtf8(mosquitto_strerror(rc));
    if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE)
        return QStringLiteral("TLS with the broker at %1 failed: %2").arg(broker, why);
    if (wasConnected)
        return QStringLiteral("the connection to the broker at %1 was lost: %2").arg(broker, why);
    return QStringLiteral("the broker at %1 cannot be reached: %2").arg(broker, why);
}

QString MqttPublisher::State::session(bool &wasConnected)
{
    wasConnected = false;
    mosquitto *m = mosquitto_new(options.clientId.constData(), true, this);
    if (!m)
        return QStringLiteral("the MQTT client cannot be made: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    struct Destroy {
        mosquitto *m;
        ~Destroy() { mosquitto_destroy(m); }
    } destroy{m};
    mosquitto_connect_callback_set(m, [](mosquitto *, void *self, int rc) { static_cast<State *>(self)->connackRc = rc; });
    mosquitto_publish_callback_set(m, [](mosquitto *, void *self, int mid) { static_cast<State *>(self)->acknowledged(mid); });
    mosquitto_disconnect_callback_set(m, [](mosquitto *, void *self, int) { static_cast<State *>(self)->lost = true; });
    mosquitto_int_option(m, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_max_inflight_messages_set(m, kWindow + 2 + 2);
    const QByteArray status = settings.topic("status");
    if (options.announce)
        mosquitto_will_set(m, status.constData(), 7, "offline", 1, true);
    if (!settings.user.isEmpty())
        mosquitto_username_pw_set(m, settings.user.constData(),
                                  settings.password.isEmpty() ? nullptr : settings.password.constData());
    if (!settings.tlsCaFile.isEmpty()) {
        const QByteArray ca = QFile::encodeName(settings.tlsCaFile);
        if (!QFileInfo(settings.tlsCaFile).isReadable()
            || mosquitto_tls_set(m, ca.constData(), nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS)
            return QStringLiteral("--mqtt-tls %1: the CA certificate file cannot be read").arg(settings.tlsCaFile);
    }
    connackRc = -1;
    lost = false;
    offlineMid = -1;
    offlineAcked = false;
    inflight.clear();
    nextSeq = frontSeq;
    errno = 0;
    const QByteArray host = settings.host.toUtf8();
    int rc = mosquitto_connect(m, host.constData(), settings.effectivePort(), kKeepAliveS);
    if (rc != MOSQ_ERR_SUCCESS)
        return describe(rc, errno, false);

    const Clock::time_point connectedAt = Clock::now();
    Clock::time_point lastMisc = connectedAt, offlineSent;
    for (;;) {
        takeIncoming();
        const Clock::time_point now = Clock::now();
        if (connackRc > 0)
            return QStringLiteral("the broker at %1 refused the connection: %2")
                .arg(settings.brokerText(), QString::fromUtf8(mosquitto_connack_string(connackRc)));
        if (connackRc == 0 && !wasConnected) {
            wasConnected = true;
            connected = true;
            lastReason.clear();
            say(QStringLiteral("connected to %1%2").arg(settings.brokerText(),
                    queue.empty() ? QString() : QStringLiteral("; %1 periods and events to send").arg(queue.size())));
            announce(m);
        }
        if (!wasConnected && now - connectedAt > kConnackWait)
            return QStringLiteral("the broker at %1 does not answer").arg(settings.brokerText());
        bool finishingNow = false;
        Clock::time_point until;
        {
            std::lock_guard lock(mutex);
            finishingNow = finishing;
            until = deadline;
        }
        if (finishingNow) {
            if (!wasConnected)
                return {};
            if (offlineMid < 0 && (queue.empty() || now >= until)) {
                offlineSent = now;
                if (options.announce)
                    mosquitto_publish(m, &offlineMid, status.constData(), 7, "offline", 1, true);
                else
                    offlineAcked = true;
                if (offlineMid < 0)
                    offlineMid = 0;
            }
            if (offlineMid >= 0 && (offlineAcked || now - offlineSent > kOfflineWait)) {
                mosquitto_disconnect(m);
                mosquitto_loop_write(m, 1);
                connected = false;
                return {};
            }
        }
        if (wasConnected && (rc = pump(m)) != MOSQ_ERR_SUCCESS)
            return describe(rc, errno, true);

        pollfd fds[2] = {{mosquitto_socket(m), short(POLLIN | (mosquitto_want_write(m) ? POLLOUT : 0)), 0},
                         {wakeFd, POLLIN, 0}};
        ::poll(fds, 2, 250);
        if (fds[1].revents & POLLIN) {
            uint64_t n;
            [[maybe_unused]] const ssize_t r = ::read(wakeFd, &n, sizeof n);
        }
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            errno = 0;
            if ((rc = mosquitto_loop_read(m, 1)) != MOSQ_ERR_SUCCESS)
                break;
        }
        if (mosquitto_want_write(m)) {
            errno = 0;
            if ((rc = mosquitto_loop_write(m, 1)) != MOSQ_ERR_SUCCESS)
                break;
        }
        if (Clock::now() - lastMisc >= std::chrono::seconds(1)) {
            lastMisc = Clock::now();
            if ((rc = mosquitto_loop_misc(m)) != MOSQ_ERR_SUCCESS)
                break;
        }
        if (lost) {
            rc = MOSQ_ERR_CONN_LOST;
            break;
        }
    }
    const int err = errno;
    connected = false;
    if (connackRc > 0)
        return QStringLiteral("the broker at %1 refused the connection: %2")
            .arg(settings.brokerText(), QString::fromUtf8(mosquitto_connack_string(connackRc)));
    return describe(rc, err, wasConnected);
}

void MqttPublisher::State::run()
{
    int delayS = 1;
    while (!finishRequested()) {
        bool wasConnected = false;
        const QString why = session(wasConnected);
        connected = false;
        if (why.isEmpty())
            break;
        if (wasConnected)
            delayS = 1;
        if (why != lastReason) {
            lastReason = why;
            say(options.keepTrying ? why + QStringLiteral("; trying again") : why);
        }
        if (!options.keepTrying)
            break;
        // The live values of the gap are not sent late; the durable ones wait in the queue.
        {
            std::lock_guard lock(mutex);
            std::erase_if(incoming, [](const MqttMessage &m) { return !m.isDurable(); });
        }
        live.clear();
        const Clock::time_point until = Clock::now() + std::chrono::seconds(delayS);
        while (!finishRequested() && Clock::now() < until) {
            pollfd fd{wakeFd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
            if (::poll(&fd, 1, int(std::max<qint64>(1, left))) > 0) {
                uint64_t n;
                [[maybe_unused]] const ssize_t r = ::read(wakeFd, &n, sizeof n);
            }
        }
        delayS = std::min(delayS * 2, kMaxDelayS);
    }
    {
        std::lock_guard lock(mutex);
        ended = true;
    }
    changed.notify_all();
}

MqttPublisher::MqttPublisher(const MqttSettings &settings, const QString &dir, Options options, Report report)
    : m_state(std::make_shared<State>(settings, dir, std::move(options), std::move(report)))
{
    std::call_once(g_libInit, [] { mosquitto_lib_init(); });
    m_state->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

MqttPublisher::~MqttPublisher()
{
    finish(0);
}

void MqttPublisher::add(MqttMessage m)
{
    State &s = *m_state;
    {
        std::lock_guard lock(s.mutex);
        if (s.finishing)
            return;
        if (!m.isDurable()) {
            if (!s.connected || s.liveWaiting >= kLiveBacklog)
                return;
            ++s.liveWaiting;
        } else {
            ++s.unacked;
        }
        s.incoming.push_back(std::move(m));
    }
    s.wake();
}

void MqttPublisher::start()
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->started)
        return;
    m_state->started = true;
    std::shared_ptr<State> state = m_state;
    m_state->thread = std::thread([state] { state->run(); });
}

int MqttPublisher::unacknowledged() const
{
    return m_state->unacked;
}

bool MqttPublisher::waitDelivered()
{
    std::unique_lock lock(m_state->mutex);
    if (!m_state->started)
        return m_state->unacked == 0;
    m_state->changed.wait(lock, [&] { return m_state->unacked == 0 || m_state->ended; });
    return m_state->unacked == 0;
}

int MqttPublisher::finish(int waitMs)
{
    State &s = *m_state;
    {
        std::lock_guard lock(s.mutex);
        if (!s.finishing) {
            s.finishing = true;
            s.deadline = Clock::now() + milliseconds(waitMs);
        }
    }
    s.wake();
    if (s.thread.joinable()) {
        std::unique_lock lock(s.mutex);
        // A connection attempt that hangs (a host that does not answer) is left behind with the
        // state it shares, rather than holding up the stop.
        const bool ended = s.changed.wait_for(lock, milliseconds(waitMs) + kOfflineWait + std::chrono::seconds(2),
                                              [&] { return s.ended; });
        lock.unlock();
        if (ended)
            s.thread.join();
        else
            s.thread.detach();
    }
    return s.unacked;
}
