#pragma once
// Desktop notifications over D-Bus (org.freedesktop.Notifications). Where there is no session
// bus or no notification service, notify() does nothing; it never waits for the desktop.
#include <QString>

namespace DesktopNotifier {
// Sends a notification; false when there is no session bus to send it on.
bool notify(const QString &summary, const QString &body);
}
