#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QSystemTrayIcon;

// The notification-area icon, in the shape of Shell_NotifyIcon: one icon
// that is added, modified and deleted, and that reports mouse activity on
// it as the mouse message number of its callback (WM_RBUTTONDOWN...).
class TrayIconService : public QObject {
    Q_OBJECT
  public:
    // Mouse message numbers of the callback.
    static constexpr int WM_MOUSEMOVE = 0x0200;
    static constexpr int WM_LBUTTONDOWN = 0x0201;
    static constexpr int WM_LBUTTONUP = 0x0202;
    static constexpr int WM_LBUTTONDBLCLK = 0x0203;
    static constexpr int WM_RBUTTONDOWN = 0x0204;
    static constexpr int WM_RBUTTONUP = 0x0205;
    static constexpr int WM_MBUTTONDOWN = 0x0207;

    using QObject::QObject;
    ~TrayIconService() override = default;

    // NIM_ADD: shows the icon with its tip. False when there is none to show.
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    // NIM_MODIFY with the icon flag only.
    virtual bool modifyIcon(const QIcon& icon) = 0;
    // NIM_DELETE: the icon leaves the notification area at once.
    virtual bool remove() = 0;
    // Whether a notification area is there to show an icon now.
    virtual bool hostAvailable() const = 0;

  signals:
    // The callback: a mouse message on the icon.
    void mouseMessage(int message);
};

// The icon through QSystemTrayIcon. Qt reports a right-button press as the
// context request, a left press as the trigger and a left double-click as
// such; they become WM_RBUTTONDOWN, WM_LBUTTONDOWN and WM_LBUTTONDBLCLK.
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
