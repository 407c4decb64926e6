#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

// The notification-area icon: one icon that is added, changed and removed,
// and that says what the user did on it in QSystemTrayIcon's words.
class TrayIconService : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~TrayIconService() override = default;

    // Shows the icon with its tip. False when one is shown already.
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    // Another picture for the icon; the tip stays.
    virtual bool modifyIcon(const QIcon& icon) = 0;
    // The icon leaves the notification area at once.
    virtual bool remove() = 0;
    // Whether a notification area is there to show an icon now.
    virtual bool hostAvailable() const = 0;

  signals:
    // A click on the icon: Context for the right button, Trigger for the
    // left, DoubleClick and MiddleClick.
    void activated(QSystemTrayIcon::ActivationReason reason);
};

// The icon through QSystemTrayIcon.
class QtTrayIconService : public TrayIconService {
    Q_OBJECT
  public:
    explicit QtTrayIconService(QObject* parent = nullptr);
    ~QtTrayIconService() override;

    bool add(const QIcon& icon, const QString& tip) override;
    bool modifyIcon(const QIcon& icon) override;
    bool remove() override;
    bool hostAvailable() const override;

  private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
