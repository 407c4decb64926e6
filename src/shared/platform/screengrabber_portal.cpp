#include "screengrabber_portal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QUrl>

#include <chrono>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// Long enough for a desktop that asks the user once for permission.
constexpr int kAnswerTimeoutMs = 60000;
// A connection of the grabber's own: the shared one hands out nothing
// before the application's event loop runs, and the first capture comes
// before that.
const QString kConnectionName = QStringLiteral("zuz-screenshot-portal");

QRect desktopArea() {
    QRect all;
    for (const QScreen* s : QGuiApplication::screens())
        all |= s->geometry();
    return all;
}
} // namespace

void PortalAnswer::request(const QDBusMessage& call, const QString& handle) {
    {
        std::lock_guard lock(m_mutex);
        m_result.reset();
    }
    // The bus delivers the answer to the thread that listens for it; the
    // asking thread only waits.
    QMetaObject::invokeMethod(this, [this, call, handle] { send(call, handle); });
}

PortalAnswer::PortalAnswer()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName)) {}

PortalAnswer::~PortalAnswer() {
    QDBusConnection::disconnectFromBus(kConnectionName);
}

void PortalAnswer::send(const QDBusMessage& call, const QString& handle) {
    QDBusConnection& bus = m_bus;
    if (!m_handle.isEmpty())
        bus.disconnect(kService, m_handle, kRequest, QStringLiteral("Response"), this,
                       SLOT(Response(uint, QVariantMap)));
    m_handle = handle;
    bus.connect(kService, m_handle, kRequest, QStringLiteral("Response"), this,
                SLOT(Response(uint, QVariantMap)));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (done->isError()) answer({3, {}, done->error().message()});
            });
}

std::optional<PortalAnswer::Result> PortalAnswer::await(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [this] { return m_result.has_value(); });
    return std::exchange(m_result, std::nullopt);
}

void PortalAnswer::Response(uint response, const QVariantMap& results) {
    answer({response, results, {}});
}

void PortalAnswer::answer(Result result) {
    {
        std::lock_guard lock(m_mutex);
        m_result = std::move(result);
    }
    m_arrived.notify_all();
}

PortalScreenGrabber::PortalScreenGrabber() {
    m_answer = new PortalAnswer;
    m_answer->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_answer, &QObject::deleteLater);
    m_thread.start();
}

PortalScreenGrabber::~PortalScreenGrabber() {
    m_thread.quit();
    m_thread.wait();
}

QImage PortalScreenGrabber::grab(WId /*window*/, bool /*client*/, const QRect& area) {
    // Only the desktop can be read here: another window's pixels are the
    // desktop's where that window lies.
    QString why;
    const QImage shot = screenshot(why);
    if (shot.isNull()) {
        tellOnce(why);
        return {};
    }
    return cut(shot, desktopArea(), area);
}

QImage PortalScreenGrabber::screenshot(QString& whyNot) {
    const QDBusConnection& bus = m_answer->bus();
    if (!bus.isConnected()) {
        whyNot = QCoreApplication::translate("zuz", "没有会话总线 (D-Bus)。");
        return {};
    }
    // The request's object path is known before the call, so that an
    // answer that comes at once is not missed.
    const QString token = QStringLiteral("zuz%1").arg(++m_requests);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    m_answer->request(call, handle);
    const std::optional<PortalAnswer::Result> answer = m_answer->await(kAnswerTimeoutMs);
    if (!answer) {
        whyNot = QCoreApplication::translate("zuz", "桌面门户没有给出画面。");
        return {};
    }
    if (!answer->error.isEmpty()) {
        whyNot = answer->error;
        return {};
    }
    if (answer->response != 0) {
        whyNot = answer->response == 1 ? QCoreApplication::translate("zuz", "截屏的许可被拒绝。")
                                       : QCoreApplication::translate("zuz", "桌面门户截屏失败。");
        return {};
    }
    const QString file =
        QUrl(answer->results.value(QStringLiteral("uri")).toString()).toLocalFile();
    QImage shot(file);
    // The desktop saved the picture for us alone: it is not left behind
    // among the user's own pictures.
    if (!file.isEmpty()) QFile::remove(file);
    if (shot.isNull()) {
        whyNot = QCoreApplication::translate("zuz", "桌面门户给出的画面无法读取。");
        return {};
    }
    return shot.convertToFormat(QImage::Format_RGB32);
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
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationName(), failureText(why),
                    QMessageBox::Ok);
    box.exec();
}
