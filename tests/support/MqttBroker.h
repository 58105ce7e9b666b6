#pragma once
// A mosquitto of a test's own on a free loopback port, with persistence in a folder of its own so
// that a subscriber's session outlives a restart, and a mosquitto_sub that collects what it gets.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

struct Broker {
    QString dir;
    int port = 0;
    QProcess p;
    bool start()
    {
        QFile conf(dir + "/broker.conf");
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write("listener " + QByteArray::number(port) + " 127.0.0.1\nallow_anonymous true\npersistence true\n"
                   "persistence_location " + dir.toUtf8() + "/\n" + (::getuid() == 0 ? "user root\n" : ""));
        conf.close();
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("mosquitto", {"-c", conf.fileName()});
        return p.waitForStarted(5000) && waitUntil([this] { return p.readAll().contains("running") || accepts(); }, 5000);
    }
    void stop()
    {
        p.terminate();
        p.waitForFinished(5000);
    }
    ~Broker()
    {
        if (p.state() != QProcess::NotRunning)
            stop();
    }
    bool accepts() const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(quint16(port));
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
        ::close(fd);
        return ok;
    }
    static bool waitUntil(const std::function<bool()> &done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QTest::qWait(50);
        return done();
    }
};

// mosquitto_sub -v on the given topics (QoS 1, a persistent session with id), with everything it
// printed in seen; ready() returns once a probe message has come through, so nothing published
// afterwards is missed.
struct Subscriber {
    QProcess p;
    QByteArray seen;
    QString portText;
    bool start(int port, const QString &id, const QStringList &topics)
    {
        portText = QString::number(port);
        QStringList args{"-h", "127.0.0.1", "-p", portText, "-v", "-q", "1", "-c", "-i", id, "-t", "k352/probe"};
        for (const QString &t : topics)
            args << "-t" << t;
        p.start("mosquitto_sub", args);
        return p.waitForStarted(5000) && Broker::waitUntil([&] {
                   QProcess::execute("mosquitto_pub", {"-h", "127.0.0.1", "-p", portText, "-q", "1", "-t", "k352/probe",
                                                       "-m", "x"});
                   read();
                   return seen.contains("k352/probe x");
               }, 10000);
    }
    void read()
    {
        p.waitForReadyRead(0);
        seen += p.readAllStandardOutput();
    }
    ~Subscriber()
    {
        p.terminate();
        p.waitForFinished(3000);
    }
};
