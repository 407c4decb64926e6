#pragma once

#include "screengrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QIODevice>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QVariantMap>

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
    // Sends `call`, whose answer comes on `handle`: answered() follows with
    // the answer, or unanswered() once `timeoutMs` have passed or, when
    // `silenceMs` is not 0, once the call was taken that long ago with no
    // answer (then `silent` is true). A request unanswered is closed.
    void ask(const QDBusMessage& call, const QString& handle, int timeoutMs, int silenceMs = 0);

  public slots:
    void Response(uint response, const QVariantMap& results, const QDBusMessage& message);

  signals:
    void answered(const QString& handle, const PortalRequests::Result& result);
    void unanswered(const QString& handle, bool silent);

  private:
    struct Pending {
        QDateTime asked;
        bool abandoned = false;
        // Until the answer: the deadline, and the silence once the call
        // was taken.
        QTimer* deadline = nullptr;
        QTimer* silence = nullptr;
    };
    void settle(const QString& handle, Result result);
    void giveUp(const QString& handle, bool silent);
    void stopTimers(Pending& pending);
    void forget(const QString& handle);

    QDBusConnection m_bus;
    QHash<QString, Pending> m_pending;
};

// Reads the screen through the desktop portal's Screenshot interface
// (non-interactive), where the compositor lets no client read other
// clients' pixels. The desktop hands back a file with the whole desktop in
// device pixels; the grabber reads it, removes it and cuts each request's
// area out. One picture is asked for at a time: requests that come while
// it is on its way are served together by the next one.
class PortalScreenGrabber : public ScreenGrabber {
    Q_OBJECT
  public:
    PortalScreenGrabber();
    ~PortalScreenGrabber() override;

    void request(const QRect& area, const QObject* asker) override;

    // The area of a desktop picture, where `desktop` is the union of the
    // monitors in Qt's coordinates and the picture covers it in device
    // pixels.
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
    // Decodes a whole picture, also one larger than Qt's usual allocation
    // limit, as long as memory allows.
    static QImage readPicture(QIODevice& device, QString& whyNot);

    // What the user is told when the portal gives no picture.
    static QString failureText(const QString& why);

  private:
    struct Asked {
        QRect area;
        const QObject* asker = nullptr;
    };
    enum class Source { Portal, Grim };
    // Idle: no picture on its way; Asking: the portal has the request;
    // Pausing: a busy screenshot service is given a moment before it is
    // asked again; Running: grim is at work.
    enum class State { Idle, Asking, Pausing, Running };

    void startShot();
    void askPortal();
    void portalAnswered(const QString& handle, const PortalRequests::Result& answer);
    void portalUnanswered(const QString& handle, bool silent);
    void startGrim();
    void grimEnded();
    // Answers every request the picture was taken for, and starts the
    // next picture for those that came meanwhile.
    void finish(const QImage& shot, const QString& whyNot);
    QString tellOnce(const QString& why);

    PortalRequests m_requests;
    Source m_source = Source::Portal;
    State m_state = State::Idle;
    QList<Asked> m_waiting;
    QList<Asked> m_serving;
    // The request out now, when it was sent, and how the picture fares.
    QString m_handle;
    QDateTime m_asked;
    QElapsedTimer m_waited;
    int m_patience = 0;
    int m_failures = 0;
    int m_count = 0;
    QProcess* m_grim = nullptr;
    QTimer* m_grimDeadline = nullptr;
    // The desktop has given a picture: it asks the user no more.
    bool m_permitted = false;
    bool m_told = false;
};

Q_DECLARE_METATYPE(PortalRequests::Result)
