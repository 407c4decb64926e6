#pragma once

#include "screengrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QThread>
#include <QVariantMap>

#include <condition_variable>
#include <mutex>
#include <optional>

// Waits, on a thread of its own, for the answer to one portal request: the
// answer arrives as a signal on the bus, and the thread that asked stays
// blocked meanwhile, as a capture does elsewhere.
class PortalAnswer : public QObject {
    Q_OBJECT
  public:
    PortalAnswer();
    ~PortalAnswer() override;
    const QDBusConnection& bus() const { return m_bus; }

    struct Result {
        uint response = 2;
        QVariantMap results;
        QString error;
    };
    // Sends `call`, whose answer will come on `handle`, and returns at
    // once; the answer is had with await(). Any thread may ask.
    void request(const QDBusMessage& call, const QString& handle);
    // The answer, or nothing once `timeoutMs` have passed without one.
    std::optional<Result> await(int timeoutMs);

  public slots:
    void Response(uint response, const QVariantMap& results);

  private:
    void send(const QDBusMessage& call, const QString& handle);
    void answer(Result result);
    QDBusConnection m_bus;
    QString m_handle;

  private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::optional<Result> m_result;
};

// Reads the screen through the desktop portal's Screenshot interface
// (non-interactive), where the compositor lets no client read other
// clients' pixels. The desktop hands back a file with the whole desktop in
// device pixels; the grabber reads it, removes it and cuts the area out.
// When no picture can be had, grab() returns a null image and the user is
// told why, once.
class PortalScreenGrabber : public ScreenGrabber {
  public:
    PortalScreenGrabber();
    ~PortalScreenGrabber() override;

    WId desktopWindow() override { return 0; }
    QImage grab(WId window, bool client, const QRect& area) override;

    // The whole desktop as the portal gives it, or a null image and why.
    QImage screenshot(QString& whyNot);
    // The area of a desktop picture, where `desktop` is the union of the
    // monitors in the toolkit's coordinates and the picture covers it in
    // device pixels.
    static QImage cut(const QImage& shot, const QRect& desktop, const QRect& area);

    // What the user is told when the portal gives no picture.
    static QString failureText(const QString& why);

  private:
    void tellOnce(const QString& why);

    QThread m_thread;
    PortalAnswer* m_answer = nullptr;
    int m_requests = 0;
    bool m_told = false;
};
