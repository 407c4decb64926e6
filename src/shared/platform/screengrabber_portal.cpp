#include "screengrabber_portal.h"

#include "portalpicture.h"
#include "termination.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const char* const kResponseSlot = SLOT(Response(uint, QVariantMap, QDBusMessage));
// Long enough for a desktop that asks the user once for permission; the
// program keeps serving its windows meanwhile.
constexpr int kAnswerTimeoutMs = 20000;
// GNOME's screenshot service refuses a request while another caller's
// screenshot is under way, and its portal back-end then never answers ours
// (until this program ends). A picture takes well under a second there,
// a few on a loaded machine: a request silent for this long is closed and
// asked again, within kAnswerTimeoutMs in all. Each time asked again it is
// given twice as long, so that a machine too slow for this still gets its
// picture.
constexpr int kSilentAfterMs = 3000;
constexpr int kGrimTimeoutMs = 10000;
// A busy screenshot service (GNOME's takes one request at a time, for all
// callers) is asked again after these pauses, about a second in all.
constexpr int kRetryPausesMs[] = {100, 200, 300, 400};
// An answer that never comes is forgotten after this long.
constexpr qint64 kForgetAfterSecs = 600;
// A file written this long before the request still counts as made for it:
// file times may be coarser than the clock.
constexpr qint64 kClockSlackSecs = 2;
// A connection of the grabber's own: the first capture may come before the
// application's event loop runs, and it must not wait behind other traffic.
const QString kConnectionName = QStringLiteral("zuz-screenshot-portal");

QRect desktopArea() {
    QRect all;
    for (const QScreen* s : QGuiApplication::screens())
        all |= s->geometry();
    return all;
}

qint64 availableMemory() {
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("MemAvailable:"))
                return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return qint64(sysconf(_SC_AVPHYS_PAGES)) * sysconf(_SC_PAGESIZE);
}

// A folder where other accounts (root aside) may create or replace files.
bool sharedFolder(const struct stat& folder) {
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 ||
           (folder.st_uid != getuid() && folder.st_uid != 0);
}

// Removes `path` if it still names the file open as `file`.
void removeIfSame(const QByteArray& path, const struct stat& file) {
    struct stat now {};
    if (lstat(path.constData(), &now) == 0 && now.st_dev == file.st_dev &&
        now.st_ino == file.st_ino)
        unlink(path.constData());
}

struct OwnFile {
    int fd = -1;
    struct stat st {};
    bool shared = false;
    QString whyNot;
};

// Opens the file an answer names if it is the one the portal made for
// the request: a regular file of this user's, no link, written since then.
OwnFile openOwn(const QString& uri, const QDateTime& asked) {
    OwnFile out;
    const QUrl url(uri);
    if (!url.isLocalFile()) {
        out.whyNot = QCoreApplication::translate("zuz", "桌面门户给出的不是本机文件。");
        return out;
    }
    const QString path = url.toLocalFile();
    const QByteArray native = QFile::encodeName(path);
    struct stat folder {};
    if (stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0) {
        out.whyNot = QCoreApplication::translate("zuz", "桌面门户给出的画面文件不存在。");
        return out;
    }
    out.shared = sharedFolder(folder);
    const int fd = open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.whyNot = errno == ELOOP
                         ? QCoreApplication::translate("zuz", "桌面门户给出的画面文件是一个链接。")
                         : QCoreApplication::translate("zuz", "桌面门户给出的画面文件无法打开。");
        return out;
    }
    QString wrong;
    if (fstat(fd, &out.st) != 0 || !S_ISREG(out.st.st_mode))
        wrong = QCoreApplication::translate("zuz", "桌面门户给出的不是普通文件。");
    else if (out.st.st_uid != getuid())
        wrong = QCoreApplication::translate("zuz", "桌面门户给出的画面文件属于另一个帐户。");
    else if (out.st.st_nlink != 1)
        wrong = QCoreApplication::translate("zuz", "桌面门户给出的画面文件另有链接。");
    else if (qint64(out.st.st_mtime) < asked.toSecsSinceEpoch() - kClockSlackSecs)
        wrong = QCoreApplication::translate("zuz", "桌面门户给出的画面文件早于这次截屏。");
    if (!wrong.isEmpty()) {
        close(fd);
        out.whyNot = wrong;
        return out;
    }
    out.fd = fd;
    return out;
}

// The file of an answer nobody waits for any more: removed if ours.
void discard(const QVariantMap& results, const QDateTime& asked) {
    const QString uri = results.value(QStringLiteral("uri")).toString();
    if (uri.isEmpty()) return;
    OwnFile file = openOwn(uri, asked);
    if (file.fd < 0) return;
    removeIfSame(QFile::encodeName(QUrl(uri).toLocalFile()), file.st);
    close(file.fd);
}
} // namespace

PortalRequests::PortalRequests()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName)) {}

PortalRequests::~PortalRequests() {
    QDBusConnection::disconnectFromBus(kConnectionName);
}

void PortalRequests::ask(const QDBusMessage& call, const QString& handle, int timeoutMs,
                         int silenceMs) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->abandoned && it->asked.secsTo(now) > kForgetAfterSecs) {
            m_bus.disconnect(kService, it.key(), kRequest, QStringLiteral("Response"), this,
                             kResponseSlot);
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
    Pending pending{now, false, new QTimer(this), nullptr};
    pending.deadline->setSingleShot(true);
    connect(pending.deadline, &QTimer::timeout, this, [this, handle] { giveUp(handle, false); });
    if (silenceMs > 0) {
        pending.silence = new QTimer(this);
        pending.silence->setSingleShot(true);
        pending.silence->setInterval(silenceMs);
        connect(pending.silence, &QTimer::timeout, this, [this, handle] { giveUp(handle, true); });
    }
    m_pending.insert(handle, pending);
    // The request's object path is known before the call, so that an
    // answer that comes at once is not missed.
    m_bus.connect(kService, handle, kRequest, QStringLiteral("Response"), this, kResponseSlot);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (done->isError()) {
                    settle(handle, {3, {}, done->error().message()});
                    return;
                }
                // Silence counts from the call's reply: a portal that is
                // still being started by the bus has not taken the request.
                auto it = m_pending.find(handle);
                if (it != m_pending.end() && !it->abandoned && it->silence) it->silence->start();
            });
    pending.deadline->start(timeoutMs);
}

void PortalRequests::Response(uint response, const QVariantMap& results,
                              const QDBusMessage& message) {
    settle(message.path(), {response, results, {}});
}

void PortalRequests::stopTimers(Pending& pending) {
    delete std::exchange(pending.deadline, nullptr);
    delete std::exchange(pending.silence, nullptr);
}

void PortalRequests::settle(const QString& handle, Result result) {
    auto it = m_pending.find(handle);
    if (it == m_pending.end()) return;
    if (it->abandoned) {
        if (result.response == 0) discard(result.results, it->asked);
        forget(handle);
        return;
    }
    forget(handle);
    emit answered(handle, result);
}

void PortalRequests::giveUp(const QString& handle, bool silent) {
    auto it = m_pending.find(handle);
    if (it == m_pending.end() || it->abandoned) return;
    // A late answer finds the request abandoned: it is cleaned up, and
    // a request asked again has a handle of its own.
    it->abandoned = true;
    stopTimers(*it);
    m_bus.asyncCall(
        QDBusMessage::createMethodCall(kService, handle, kRequest, QStringLiteral("Close")));
    emit unanswered(handle, silent);
}

void PortalRequests::forget(const QString& handle) {
    m_bus.disconnect(kService, handle, kRequest, QStringLiteral("Response"), this, kResponseSlot);
    auto it = m_pending.find(handle);
    if (it == m_pending.end()) return;
    stopTimers(*it);
    m_pending.erase(it);
}

PortalScreenGrabber::PortalScreenGrabber() {
    connect(&m_requests, &PortalRequests::answered, this, &PortalScreenGrabber::portalAnswered);
    connect(&m_requests, &PortalRequests::unanswered, this, &PortalScreenGrabber::portalUnanswered);
}

PortalScreenGrabber::~PortalScreenGrabber() {
    if (m_grim) {
        m_grim->disconnect(this);
        m_grim->kill();
        m_grim->waitForFinished(1000);
    }
}

void PortalScreenGrabber::request(const QRect& area, const QObject* asker) {
    // Only the desktop can be read here: another window's pixels are the
    // desktop's where that window lies.
    m_waiting.append({area, asker});
    if (m_state == State::Idle) startShot();
}

void PortalScreenGrabber::startShot() {
    m_serving = std::exchange(m_waiting, {});
    m_waited.start();
    m_patience = kSilentAfterMs;
    m_failures = 0;
    if (m_source == Source::Grim) {
        startGrim();
        return;
    }
    if (!m_requests.bus().isConnected()) {
        finish({}, QCoreApplication::translate("zuz", "没有会话总线 (D-Bus)。"));
        return;
    }
    askPortal();
}

void PortalScreenGrabber::askPortal() {
    const int left = kAnswerTimeoutMs - int(m_waited.elapsed());
    if (left <= 0) {
        finish({}, QCoreApplication::translate("zuz", "桌面门户没有给出画面。"));
        return;
    }
    QString sender = m_requests.bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString token = QStringLiteral("zuz%1").arg(++m_count);
    m_handle = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    m_asked = QDateTime::currentDateTimeUtc();
    m_state = State::Asking;
    // Until the desktop has once given a picture, silence may be its
    // dialog asking the user's permission (also for a non-interactive
    // request, and this program asks for no other kind): closing that
    // request would not close the dialog, and asking again would show
    // another one.
    m_requests.ask(call, m_handle, left, m_permitted ? m_patience : 0);
}

void PortalScreenGrabber::portalUnanswered(const QString& handle, bool silent) {
    if (m_state != State::Asking || handle != m_handle) return;
    // Not when the program is being terminated.
    if (silent && !termination::requested()) {
        m_patience *= 2;
        askPortal();
        return;
    }
    finish({}, QCoreApplication::translate("zuz", "桌面门户没有给出画面。"));
}

void PortalScreenGrabber::portalAnswered(const QString& handle,
                                         const PortalRequests::Result& answer) {
    if (m_state != State::Asking || handle != m_handle) return;
    if (answer.response == 0) m_permitted = true;
    if (answer.error.isEmpty() && answer.response == 0) {
        TakenFile taken = takeFile(answer.results.value(QStringLiteral("uri")).toString(), m_asked);
        if (taken.verdict != FileVerdict::Shared) {
            finish(taken.picture.isNull() ? QImage()
                                          : taken.picture.convertToFormat(QImage::Format_RGB32),
                   taken.whyNot);
            return;
        }
        // The back-end writes to a shared place (xdg-desktop-portal-wlr:
        // /tmp/out.png): the grim it runs hands the picture over a pipe
        // instead.
        if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty()) {
            finish({}, taken.whyNot + QCoreApplication::translate("zuz", "为安全起见不予读取。"));
            return;
        }
        m_source = Source::Grim;
        startGrim();
        return;
    }
    if (answer.response == 1) {
        finish({}, QCoreApplication::translate("zuz", "截屏的许可被拒绝。"));
        return;
    }
    const QString whyNot = answer.error.isEmpty()
                               ? QCoreApplication::translate("zuz", "桌面门户截屏失败。")
                               : answer.error;
    if (m_failures >= int(std::size(kRetryPausesMs))) {
        finish({}, whyNot);
        return;
    }
    m_state = State::Pausing;
    QTimer::singleShot(kRetryPausesMs[m_failures++], this, [this] {
        if (m_state == State::Pausing) askPortal();
    });
}

void PortalScreenGrabber::startGrim() {
    m_state = State::Running;
    m_grim = new QProcess(this);
    m_grimDeadline = new QTimer(m_grim);
    m_grimDeadline->setSingleShot(true);
    connect(m_grim, &QProcess::finished, this, &PortalScreenGrabber::grimEnded);
    connect(m_grim, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) grimEnded();
    });
    connect(m_grimDeadline, &QTimer::timeout, this, &PortalScreenGrabber::grimEnded);
    m_grim->start(QStringLiteral("grim"),
                  {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    m_grimDeadline->start(kGrimTimeoutMs);
}

void PortalScreenGrabber::grimEnded() {
    if (m_state != State::Running || !m_grim) return;
    QProcess* grim = std::exchange(m_grim, nullptr);
    grim->disconnect(this);
    grim->deleteLater();
    if (grim->state() != QProcess::NotRunning) {
        grim->kill();
        grim->waitForFinished(1000);
        finish({}, QCoreApplication::translate("zuz", "grim 没有给出画面。"));
        return;
    }
    if (grim->error() == QProcess::FailedToStart || grim->exitStatus() != QProcess::NormalExit ||
        grim->exitCode() != 0) {
        finish({}, QCoreApplication::translate("zuz", "grim 截屏失败：%1")
                       .arg(QString::fromLocal8Bit(grim->readAllStandardError()).trimmed()));
        return;
    }
    QByteArray data = grim->readAllStandardOutput();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QString whyNot;
    const QImage shot = readPicture(buffer, whyNot);
    finish(shot.isNull() ? shot : shot.convertToFormat(QImage::Format_RGB32), whyNot);
}

void PortalScreenGrabber::finish(const QImage& shot, const QString& whyNot) {
    m_state = State::Idle;
    m_handle.clear();
    const QList<Asked> served = std::exchange(m_serving, {});
    // Those that came meanwhile are asked for from the event loop, also
    // when an answer opens a window that waits for the user.
    if (!m_waiting.isEmpty())
        QTimer::singleShot(0, this, [this] {
            if (m_state == State::Idle && !m_waiting.isEmpty()) startShot();
        });
    const QRect desktop = desktopArea();
    for (const Asked& asked : served) {
        if (shot.isNull())
            emit failed(asked.asker, whyNot.isEmpty() ? QString() : tellOnce(whyNot));
        else
            emit grabbed(asked.asker, cut(shot, desktop, asked.area));
    }
}

PortalScreenGrabber::TakenFile PortalScreenGrabber::takeFile(const QString& uri,
                                                             const QDateTime& asked) {
    TakenFile out;
    OwnFile file = openOwn(uri, asked);
    const QByteArray path = QFile::encodeName(QUrl(uri).toLocalFile());
    if (file.shared) {
        out.verdict = FileVerdict::Shared;
        out.whyNot =
            QCoreApplication::translate("zuz", "桌面门户把画面存放在其他帐户也能写入的位置（%1），")
                .arg(QString::fromLocal8Bit(path));
        // Our copy of the screen does not stay where others can read it.
        if (file.fd >= 0) {
            removeIfSame(path, file.st);
            close(file.fd);
        }
        return out;
    }
    if (file.fd < 0) {
        out.whyNot = file.whyNot;
        return out;
    }
    QFile picture;
    picture.open(file.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    out.picture = readPicture(picture, out.whyNot);
    // The desktop saved the picture for us alone: it is not left behind
    // among the user's own pictures.
    removeIfSame(path, file.st);
    if (!out.picture.isNull()) out.verdict = FileVerdict::Taken;
    return out;
}

QImage PortalScreenGrabber::readPicture(QIODevice& device, QString& whyNot) {
    QByteArray data = device.readAll();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    if (!size.isValid()) {
        whyNot = QCoreApplication::translate("zuz", "桌面门户给出的画面无法读取。");
        return {};
    }
    // The picture and its 32-bit copy side by side.
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels * 4 * 2 > availableMemory()) {
        whyNot = QCoreApplication::translate("zuz", "画面太大（%1x%2），内存不足。")
                     .arg(size.width())
                     .arg(size.height());
        return {};
    }
    // A screen may be larger than the image readers' limit allows; that
    // limit is the whole process's and stays as it is.
    QImage picture = portalpicture::decode(data);
    if (picture.isNull()) {
        buffer.seek(0);
        picture = QImageReader(&buffer).read();
    }
    if (picture.isNull())
        whyNot = QCoreApplication::translate("zuz", "桌面门户给出的画面无法读取。");
    return picture;
}

QImage PortalScreenGrabber::cut(const QImage& shot, const QRect& desktop, const QRect& area) {
    // The whole of a one-monitor desktop is the picture itself.
    if (area == QRect(desktop.topLeft(), shot.size()) && desktop.size() == shot.size() &&
        shot.format() == QImage::Format_RGB32)
        return shot;
    QImage out(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    out.fill(Qt::black);
    if (out.isNull() || shot.isNull() || desktop.isEmpty()) return out;
    // A monitor's corner is in Qt's coordinates, its size in
    // device pixels; the picture's scale is the desktop's.
    const double ratio = double(shot.width()) / desktop.width();
    const QPoint at(qRound((area.x() - desktop.x()) * ratio),
                    qRound((area.y() - desktop.y()) * ratio));
    const QRect source = QRect(at, area.size()) & shot.rect();
    if (source.isEmpty()) return out;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(source.topLeft() - at, shot, source);
    return out;
}

QString PortalScreenGrabber::failureText(const QString& why) {
    return QCoreApplication::translate("zuz", "无法读取屏幕画面：%1\n\n"
                                              "在 Wayland 桌面上，屏幕画面只能通过桌面门户"
                                              "（xdg-desktop-portal 及其桌面后端）读取，"
                                              "请安装并允许截屏。在此之前不会显示放大画面。")
        .arg(why);
}

QString PortalScreenGrabber::tellOnce(const QString& why) {
    if (std::exchange(m_told, true)) return {};
    return failureText(why);
}
