#include "monitor/ui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace DesktopNotifier {

bool notify(const QString &summary, const QString &body)
{
    static const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Sent without waiting for the reply: a service that starts on demand is started by the
    // bus, and where there is none the bus's error reply is simply not read.
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                      service, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the server's)
    call << QStringLiteral("k352_4") << 0u << QStringLiteral("dialog-warning") << summary << body << QStringList()
         << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(2)}} << -1;
    return bus.send(call);
}

} // namespace DesktopNotifier
