// The freedesktop.org notification service on the session bus.
#include "capture/notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
class DBusNotifier : public DesktopNotifier {
  public:
    void notify(const QString& summary, const QString& body, const QIcon& /*icon*/,
                std::function<void()> done) override {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        call << QStringLiteral("Derudovudi") << uint(0) << QStringLiteral("org.example.derudovudi")
             << summary << body << QStringList()
             << QVariantMap{{QStringLiteral("desktop-entry"),
                             QStringLiteral("org.example.derudovudi")}}
             << int(-1);
        // Waited for, briefly: the process may end right after, and a
        // message still in its send buffer would go with it. A session
        // without the service answers at once with an error.
        QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
        if (done) done();
    }
};
} // namespace

std::unique_ptr<DesktopNotifier> makeDesktopNotifier() {
    return std::make_unique<DBusNotifier>();
}
