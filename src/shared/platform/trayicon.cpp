#include "shared/platform/trayicon.h"

QtTrayIconService::QtTrayIconService(QObject* parent) : TrayIconService(parent) {}

QtTrayIconService::~QtTrayIconService() = default;

bool QtTrayIconService::add(const QIcon& icon, const QString& tip) {
    if (m_icon) return false;
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, &TrayIconService::activated);
    // Shown whether or not a tray host is there now: Qt embeds the icon
    // when one appears later.
    m_icon->show();
    return true;
}

bool QtTrayIconService::modifyIcon(const QIcon& icon) {
    if (!m_icon) return false;
    m_icon->setIcon(icon);
    return true;
}

bool QtTrayIconService::remove() {
    if (!m_icon) return false;
    m_icon->hide();
    m_icon.reset();
    return true;
}

bool QtTrayIconService::hostAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
