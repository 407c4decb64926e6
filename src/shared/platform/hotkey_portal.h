#pragma once

#include "shared/platform/hotkey.h"

#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The hotkey through the desktop portal's GlobalShortcuts interface: the
// program proposes its key combination, the desktop (and, there, the user)
// decides which keys trigger it, and each activation arrives as
// activated(), whichever keys the desktop bound. Desktops that offer no such
// interface give no hotkey; the program is then reached by starting it
// with --view, which the user binds to a key in the desktop's settings.
class PortalHotkeyService : public HotkeyService {
    Q_OBJECT
  public:
    bool claim(Qt::Key key, Qt::KeyboardModifiers modifiers) override;
    HotkeyReach reach() const override { return m_reach; }

    // The trigger proposed to the desktop, in the portal's notation.
    static QString triggerText(Qt::Key key, Qt::KeyboardModifiers modifiers);

  public slots:
    void SessionCreated(uint response, const QVariantMap& results);
    void Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);
    void Deactivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                     const QVariantMap& options);

  private:
    // The list of shortcuts in the portal's a(sa{sv}) shape.
    QVariant shortcuts() const;
    QString requestPath(const QString& token) const;
    void setReach(HotkeyReach reach);

    Qt::Key m_key = Qt::Key_unknown;
    Qt::KeyboardModifiers m_modifiers;
    QString m_session;
    HotkeyReach m_reach = HotkeyReach::None;
    // Plasma 5.27 reports one press as two activations (the second with
    // the release): a press counts once, until its release or, from a
    // desktop that never reports releases, a while later.
    enum class Key { Up, Down };
    Key m_keyState = Key::Up;
    QElapsedTimer m_down;
};
