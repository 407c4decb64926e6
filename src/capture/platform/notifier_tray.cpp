// The notification-area icon's message: the system shows it while the
// icon is there, so the icon stays for as long as the message does.
#include "capture/notifier.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace {
constexpr int kShownMs = 6000;

class TrayNotifier : public DesktopNotifier {
  public:
    void notify(const QString& summary, const QString& body, const QIcon& icon,
                std::function<void()> done) override {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            if (done) done();
            return;
        }
        m_icon = std::make_unique<QSystemTrayIcon>(icon);
        m_icon->setToolTip(QStringLiteral("Derudovudi"));
        m_icon->show();
        m_icon->showMessage(summary, body, icon, kShownMs);
        m_done = std::move(done);
        QObject::connect(m_icon.get(), &QSystemTrayIcon::messageClicked, m_icon.get(),
                         [this] { finish(); });
        QTimer::singleShot(kShownMs, m_icon.get(), [this] { finish(); });
    }

  private:
    // A process that waits for the next pick must not leave its icon
    // behind once the message is gone.
    void finish() {
        if (m_icon) m_icon->hide();
        if (auto done = std::exchange(m_done, nullptr)) done();
    }

    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::function<void()> m_done;
};
} // namespace

std::unique_ptr<DesktopNotifier> makeDesktopNotifier() {
    return std::make_unique<TrayNotifier>();
}
