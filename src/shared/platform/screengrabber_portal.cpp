#include "screengrabber_portal.h"

#include "portalpicture.h"
#include "termination.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <QElapsedTimer>

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

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
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

std::optional<PortalRequests::Result> PortalRequests::ask(const QDBusMessage& call,
                                                          const QString& handle, int timeoutMs,
                                                          int silenceMs, bool* silent) {
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
    m_pending.insert(handle, Pending{std::nullopt, now, false});
    // The request's object path is known before the call, so that an
    // answer that comes at once is not missed.
    m_bus.connect(kService, handle, kRequest, QStringLiteral("Response"), this, kResponseSlot);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Silence counts from the call's reply: a portal that is still being
    // started by the bus has not taken the request yet.
    QTimer silence;
    silence.setSingleShot(true);
    bool silenced = false;
    connect(&silence, &QTimer::timeout, &loop, [&loop, &silenced] {
        silenced = true;
        loop.quit();
    });
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (done->isError()) settle(handle, {3, {}, done->error().message()});
            });
    if (silenceMs > 0)
        connect(watcher, &QDBusPendingCallWatcher::finished, &silence,
                [&silence, silenceMs](QDBusPendingCallWatcher* done) {
                    if (!done->isError()) silence.start(silenceMs);
                });
    connect(this, &PortalRequests::answered, &loop, [&loop, handle](const QString& which) {
        if (which == handle) loop.quit();
    });
    deadline.start(timeoutMs);
    // Input waits until the picture is in: a click meanwhile would act on
    // a screen that is about to change.
    if (!m_pending.value(handle).result) loop.exec(QEventLoop::ExcludeUserInputEvents);
    auto it = m_pending.find(handle);
    if (it->result) {
        std::optional<Result> result = std::move(it->result);
        forget(handle);
        return result;
    }
    if (silent) *silent = silenced;
    // A late answer finds the request abandoned: it is cleaned up, and
    // a request asked again has a handle of its own.
    it->abandoned = true;
    m_bus.asyncCall(
        QDBusMessage::createMethodCall(kService, handle, kRequest, QStringLiteral("Close")));
    return std::nullopt;
}

void PortalRequests::Response(uint response, const QVariantMap& results,
                              const QDBusMessage& message) {
    settle(message.path(), {response, results, {}});
}

void PortalRequests::settle(const QString& handle, Result result) {
    auto it = m_pending.find(handle);
    if (it == m_pending.end() || it->result) return;
    if (it->abandoned) {
        if (result.response == 0) discard(result.results, it->asked);
        forget(handle);
        return;
    }
    it->result = std::move(result);
    emit answered(handle);
}

void PortalRequests::forget(const QString& handle) {
    m_bus.disconnect(kService, handle, kRequest, QStringLiteral("Response"), this, kResponseSlot);
    m_pending.remove(handle);
}

PortalScreenGrabber::PortalScreenGrabber() = default;
PortalScreenGrabber::~PortalScreenGrabber() = default;

QImage PortalScreenGrabber::grab(WId /*window*/, bool /*client*/, const QRect& area) {
    // Only the desktop can be read here: another window's pixels are the
    // desktop's where that window lies.
    QString why;
    const QImage shot = screenshot(why);
    if (shot.isNull()) {
        if (!why.isEmpty()) tellOnce(why);
        return {};
    }
    return cut(shot, desktopArea(), area);
}

QImage PortalScreenGrabber::screenshot(QString& whyNot) {
    // A request that comes while a picture is on its way (through the bus
    // or the single-instance channel) finds no picture, silently.
    if (m_busy) return {};
    m_busy = true;
    const auto idle = qScopeGuard([this] { m_busy = false; });
    if (m_source == Source::Grim) return fromGrim(whyNot);
    bool shared = false;
    QImage shot = fromPortal(whyNot, shared);
    if (!shared) return shot;
    // The back-end writes to a shared place (xdg-desktop-portal-wlr:
    // /tmp/out.png): the grim it runs hands the picture over a pipe instead.
    if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty()) {
        whyNot += QCoreApplication::translate("zuz", "为安全起见不予读取。");
        return {};
    }
    m_source = Source::Grim;
    return fromGrim(whyNot);
}

QImage PortalScreenGrabber::fromPortal(QString& whyNot, bool& shared) {
    const QDBusConnection& bus = m_requests.bus();
    if (!bus.isConnected()) {
        whyNot = QCoreApplication::translate("zuz", "没有会话总线 (D-Bus)。");
        return {};
    }
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    QElapsedTimer waited;
    waited.start();
    int patience = kSilentAfterMs;
    for (int failures = 0;;) {
        const QString token = QStringLiteral("zuz%1").arg(++m_count);
        const QString handle =
            kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
        QDBusMessage call = QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
            QStringLiteral("Screenshot"));
        call << QString()
             << QVariantMap{{QStringLiteral("handle_token"), token},
                            {QStringLiteral("interactive"), false}};
        const QDateTime asked = QDateTime::currentDateTimeUtc();
        const int left = kAnswerTimeoutMs - int(waited.elapsed());
        // Until the desktop has once given a picture, silence may be its
        // dialog asking the user's permission (also for a non-interactive
        // request, and this program asks for no other kind): closing that
        // request would not close the dialog, and asking again would show
        // another one.
        bool silent = false;
        const std::optional<PortalRequests::Result> answer =
            left > 0 ? m_requests.ask(call, handle, left, m_permitted ? patience : 0, &silent)
                     : std::nullopt;
        if (!answer) {
            // Not when the loops were ended to quit or terminate.
            if (silent && !termination::requested()) {
                patience *= 2;
                continue;
            }
            whyNot = QCoreApplication::translate("zuz", "桌面门户没有给出画面。");
            return {};
        }
        if (answer->response == 0) m_permitted = true;
        if (answer->error.isEmpty() && answer->response == 0) {
            TakenFile taken =
                takeFile(answer->results.value(QStringLiteral("uri")).toString(), asked);
            shared = taken.verdict == FileVerdict::Shared;
            whyNot = taken.whyNot;
            return taken.picture.isNull() ? QImage()
                                          : taken.picture.convertToFormat(QImage::Format_RGB32);
        }
        if (answer->response == 1) {
            whyNot = QCoreApplication::translate("zuz", "截屏的许可被拒绝。");
            return {};
        }
        whyNot = answer->error.isEmpty() ? QCoreApplication::translate("zuz", "桌面门户截屏失败。")
                                         : answer->error;
        if (failures >= int(std::size(kRetryPausesMs))) return {};
        pause(kRetryPausesMs[failures++]);
    }
}

QImage PortalScreenGrabber::fromGrim(QString& whyNot) {
    QProcess grim;
    QEventLoop loop;
    QObject::connect(&grim, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&grim, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kGrimTimeoutMs, &loop, &QEventLoop::quit);
    grim.start(QStringLiteral("grim"),
               {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (grim.state() != QProcess::NotRunning) {
        grim.kill();
        grim.waitForFinished(1000);
        whyNot = QCoreApplication::translate("zuz", "grim 没有给出画面。");
        return {};
    }
    if (grim.exitStatus() != QProcess::NormalExit || grim.exitCode() != 0) {
        whyNot = QCoreApplication::translate("zuz", "grim 截屏失败：%1")
                     .arg(QString::fromLocal8Bit(grim.readAllStandardError()).trimmed());
        return {};
    }
    QByteArray data = grim.readAllStandardOutput();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QImage shot = readPicture(buffer, whyNot);
    return shot.isNull() ? shot : shot.convertToFormat(QImage::Format_RGB32);
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
    QImage out(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    out.fill(Qt::black);
    if (out.isNull() || shot.isNull() || desktop.isEmpty()) return out;
    // A monitor's corner is in the toolkit's coordinates, its size in
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

void PortalScreenGrabber::tellOnce(const QString& why) {
    if (std::exchange(m_told, true)) return;
    m_failure = failureText(why);
}
