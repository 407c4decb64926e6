#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

// A short message of the desktop's own, outside the program's windows: the
// notification service of the session, or the notification-area icon's
// message on Windows. Where there is none, nothing shows.
class DesktopNotifier {
  public:
    virtual ~DesktopNotifier() = default;
    // `done` runs once the message no longer needs this process: at once
    // where the service keeps it, after it has shown where the process's own
    // icon carries it.
    virtual void notify(const QString& summary, const QString& body, const QIcon& icon,
                        std::function<void()> done) = 0;
};

std::unique_ptr<DesktopNotifier> makeDesktopNotifier();
