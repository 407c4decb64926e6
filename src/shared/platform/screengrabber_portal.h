#pragma once

#include "screengrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <optional>
#include <utility>

// The portal's requests, answered on the bus while the program goes on
// serving its windows and other callers. An answer that comes after its
// caller gave up is cleaned up: its picture file is removed if it is ours.
class PortalRequests : public QObject {
    Q_OBJECT
  public:
    PortalRequests();
    ~PortalRequests() override;
    const QDBusConnection& bus() const { return m_bus; }

    struct Result {
        uint response = 2;
        QVariantMap results;
        QString error;
    };
    // Sends `call`, whose answer comes on `handle`, and runs the event loop
    // until that answer or `timeoutMs` have passed, or, when `silenceMs` is
    // not 0, until the call was taken that long ago with no answer (then
    // `silent` is set). With no answer the request is closed and nothing
    // returned.
    std::optional<Result> ask(const QDBusMessage& call, const QString& handle, int timeoutMs,
                              int silenceMs = 0, bool* silent = nullptr);

  public slots:
    void Response(uint response, const QVariantMap& results, const QDBusMessage& message);

  signals:
    void answered(const QString& handle);

  private:
    struct Pending {
        std::optional<Result> result;
        QDateTime asked;
        bool abandoned = false;
    };
    void settle(const QString& handle, Result result);
    void forget(const QString& handle);

    QDBusConnection m_bus;
    QHash<QString, Pending> m_pending;
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

    // What became of the file a portal's answer names.
    enum class FileVerdict { Taken, Shared, Refused };
    struct TakenFile {
        FileVerdict verdict = FileVerdict::Refused;
        QImage picture;
        QString whyNot;
    };
    // Reads the picture at `uri` and removes the file, provided it is a
    // regular file of this user's, no link, written since `asked`, in a
    // folder no other account may write to. A file in a shared folder
    // (some back-ends write every shot to /tmp/out.png) is not read: another
    // account may have made it, or may read it; it is removed if ours.
    static TakenFile takeFile(const QString& uri, const QDateTime& asked);
    // Decodes a whole picture, also one larger than the toolkit's usual
    // allocation limit, as long as memory allows.
    static QImage readPicture(QIODevice& device, QString& whyNot);

    // What the user is told when the portal gives no picture.
    static QString failureText(const QString& why);

  private:
    enum class Source { Portal, Grim };
    QImage fromPortal(QString& whyNot, bool& shared);
    QImage fromGrim(QString& whyNot);
    void tellOnce(const QString& why);
    QString takeFailure() override { return std::exchange(m_failure, QString()); }

    PortalRequests m_requests;
    Source m_source = Source::Portal;
    int m_count = 0;
    // The desktop has given a picture: it asks the user no more.
    bool m_permitted = false;
    bool m_busy = false;
    bool m_told = false;
    QString m_failure;
};
