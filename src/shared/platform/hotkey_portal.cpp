#include "shared/platform/hotkey_portal.h"

#include "shared/platform/screengrabber.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include <algorithm>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcut = QStringLiteral("view");

struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& arg, const Shortcut& s) {
    arg.beginStructure();
    arg << s.id << s.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, Shortcut& s) {
    arg.beginStructure();
    arg >> s.id >> s.properties;
    arg.endStructure();
    return arg;
}
} // namespace

Q_DECLARE_METATYPE(Shortcut)

QString PortalHotkeyService::requestPath(const QString& token) const {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

QString PortalHotkeyService::triggerText(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QStringList parts;
    if (modifiers & Qt::ControlModifier) parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier) parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier) parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier) parts << QStringLiteral("LOGO");
    // Qt numbers letters and digits by their upper-case character.
    parts << QString(QChar(char16_t(key))).toLower();
    return parts.join(QLatin1Char('+'));
}

void PortalHotkeyService::setReach(HotkeyReach reach) {
    if (reach == m_reach) return;
    m_reach = reach;
    emit reachChanged(reach);
}

namespace {
// Whether the desktop's answer lists the shortcut as bound already.
bool bound(const QVariantMap& results) {
    const QVariant listed = results.value(QStringLiteral("shortcuts"));
    if (!listed.canConvert<QDBusArgument>()) return false;
    const auto list = qdbus_cast<QList<Shortcut>>(listed.value<QDBusArgument>());
    return std::any_of(list.begin(), list.end(),
                       [](const Shortcut& s) { return s.id == kShortcut; });
}
} // namespace

QVariant PortalHotkeyService::shortcuts() const {
    return QVariant::fromValue(QList<Shortcut>{
        {kShortcut,
         {{QStringLiteral("description"), QCoreApplication::translate("zuz", "放大本屏")},
          {QStringLiteral("preferred_trigger"), triggerText(m_key, m_modifiers)}}}});
}

bool PortalHotkeyService::claim(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // Where the desktop offers no global shortcuts (the call below then
    // fails), its own key binding of `zuz --view` plays the hotkey's part:
    // the program stays reachable without an icon either way. Nothing here
    // waits for the desktop: the hotkey simply works once it is bound.
    if (m_reach != HotkeyReach::None) return true;
    m_key = key;
    m_modifiers = modifiers;
    setReach(HotkeyReach::Proposed);
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = QStringLiteral("zuzsession");
    bus.connect(kService, requestPath(token), QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), this, SLOT(SessionCreated(uint, QVariantMap)));
    QDBusMessage create = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                         QStringLiteral("CreateSession"));
    // Plasma 5.27 takes the shortcuts from here and binds them at once (its
    // BindShortcuts only opens System Settings); other desktops ignore the
    // key and take them from BindShortcuts.
    create << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("session_handle_token"), QStringLiteral("zuz")},
                          {QStringLiteral("shortcuts"), shortcuts()}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(create, 10000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                // No such interface, or the desktop said no before asking anyone.
                if (call->isError()) setReach(HotkeyReach::UserBinding);
                call->deleteLater();
            });
    return true;
}

void PortalHotkeyService::SessionCreated(uint response, const QVariantMap& results) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.disconnect(kService, requestPath(QStringLiteral("zuzsession")),
                   QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                   this, SLOT(SessionCreated(uint, QVariantMap)));
    // Refused: the desktop's own key binding is what is left.
    if (response != 0) {
        setReach(HotkeyReach::UserBinding);
        return;
    }
    // A string by the interface's description, an object path from some
    // back-ends.
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    m_session = handle.metaType() == QMetaType::fromType<QDBusObjectPath>()
                    ? handle.value<QDBusObjectPath>().path()
                    : handle.toString();
    if (m_session.isEmpty()) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("Deactivated"), this,
                SLOT(Deactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    if (bound(results)) return;
    QDBusMessage bind = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(m_session)) << shortcuts() << QString()
         << QVariantMap{{QStringLiteral("handle_token"), QStringLiteral("zuzbind")}};
    // The desktop may ask the user which keys to use: the answer is not
    // waited for, an activation simply arrives once it is bound.
    bus.asyncCall(bind);
}

void PortalHotkeyService::Activated(const QDBusObjectPath& session, const QString& shortcut,
                                    qulonglong /*timestamp*/, const QVariantMap& /*options*/) {
    if (session.path() != m_session || shortcut != kShortcut) return;
    capturetiming::mark("key activated");
    constexpr qint64 kLongestPressMs = 2000;
    if (m_keyState == Key::Down && m_down.elapsed() < kLongestPressMs) return;
    m_keyState = Key::Down;
    m_down.start();
    emit activated();
}

void PortalHotkeyService::Deactivated(const QDBusObjectPath& session, const QString& shortcut,
                                      qulonglong /*timestamp*/, const QVariantMap& /*options*/) {
    if (session.path() == m_session && shortcut == kShortcut) m_keyState = Key::Up;
}
