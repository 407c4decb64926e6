#include "platform/hotkey_portal.h"
#include "platform/screengrabber_portal.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

// The desktop portal's picture is of the whole desktop in device pixels,
// while a monitor is named by its corner in the toolkit's coordinates.
class TstPortal : public QObject {
    Q_OBJECT
  private slots:
    void cutTakesTheMonitorsDevicePixels();
    void cutLeavesWhatThePictureLacksBlack();
    void triggerIsProposedInThePortalsNotation();
    void onlyTheFileMadeForTheRequestIsTaken_data();
    void onlyTheFileMadeForTheRequestIsTaken();
    void pictureBeyondTheUsualAllocationLimitIsRead_data();
    void pictureBeyondTheUsualAllocationLimitIsRead();
    void lateAnswerIsCleanedUp();
    // Last: it makes Qt open the session bus, which Qt keeps for the
    // process, before lateAnswerIsCleanedUp could name its own.
    void theDesktopsAnswersChangeTheReach();
};

namespace {
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
} // namespace

// A Screenshot portal that answers after `delayMs`, with a file it writes
// just before.
class SlowPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
  public:
    SlowPortal(QDBusConnection bus, QString file) : m_bus(bus), m_file(std::move(file)) {}
    int delayMs = 0;
    int answered = 0;

  public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options,
                               const QDBusMessage& message) {
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString handle = kPortalPath + QStringLiteral("/request/") + sender +
                               QLatin1Char('/') + options.value("handle_token").toString();
        QTimer::singleShot(delayMs, this, [this, handle] {
            QImage(8, 8, QImage::Format_RGB32).save(m_file);
            QDBusMessage response =
                QDBusMessage::createSignal(handle, QStringLiteral("org.freedesktop.portal.Request"),
                                           QStringLiteral("Response"));
            response << 0u
                     << QVariantMap{
                            {QStringLiteral("uri"), QUrl::fromLocalFile(m_file).toString()}};
            m_bus.send(response);
            ++answered;
        });
        return QDBusObjectPath(handle);
    }

  private:
    QDBusConnection m_bus;
    QString m_file;
};

namespace {
// Every pixel differs from its neighbours, so a shifted cut cannot pass.
QImage numbered(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) >> 4));
    return img;
}
} // namespace

void TstPortal::cutTakesTheMonitorsDevicePixels() {
    // Two monitors of 800x600 logical pixels side by side, at ratio 2.
    const QRect desktop(0, 0, 1600, 600);
    const QImage shot = numbered(3200, 1200);
    const QImage right = PortalScreenGrabber::cut(shot, desktop, QRect(800, 0, 1600, 1200));
    QCOMPARE(right, shot.copy(1600, 0, 1600, 1200));
    // A desktop whose corner is not the origin.
    const QImage left =
        PortalScreenGrabber::cut(shot, desktop.translated(-800, 0), QRect(-800, 0, 1600, 1200));
    QCOMPARE(left, shot.copy(0, 0, 1600, 1200));
}

void TstPortal::cutLeavesWhatThePictureLacksBlack() {
    const QImage shot = numbered(100, 80);
    const QImage out = PortalScreenGrabber::cut(shot, QRect(0, 0, 100, 80), QRect(60, 50, 60, 40));
    QCOMPARE(out.size(), QSize(60, 40));
    QCOMPARE(out.copy(0, 0, 40, 30), shot.copy(60, 50, 40, 30));
    QCOMPARE(out.pixel(40, 0), qRgb(0, 0, 0));
    QCOMPARE(out.pixel(0, 30), qRgb(0, 0, 0));
    QCOMPARE(out.pixel(59, 39), qRgb(0, 0, 0));
    QVERIFY(PortalScreenGrabber::cut(QImage(), QRect(0, 0, 10, 10), QRect(0, 0, 4, 3)).size() ==
            QSize(4, 3));
}

void TstPortal::triggerIsProposedInThePortalsNotation() {
    QCOMPARE(PortalHotkeyService::triggerText(Qt::Key_Z, Qt::ControlModifier),
             QStringLiteral("CTRL+z"));
    QCOMPARE(PortalHotkeyService::triggerText(Qt::Key_7, Qt::ControlModifier | Qt::ShiftModifier |
                                                             Qt::AltModifier | Qt::MetaModifier),
             QStringLiteral("CTRL+ALT+SHIFT+LOGO+7"));
}

// What the desktop answers, handed to the service as the bus hands it over;
// the bus itself is left to the end-to-end tests.
void TstPortal::theDesktopsAnswersChangeTheReach() {
    PortalHotkeyService service;
    std::vector<HotkeyReach> reaches;
    connect(&service, &HotkeyService::reachChanged, this,
            [&reaches](HotkeyReach r) { reaches.push_back(r); });
    int presses = 0;
    connect(&service, &HotkeyService::activated, this, [&presses] { ++presses; });
    QVERIFY(service.claim(Qt::Key_Z, Qt::ControlModifier));
    QCOMPARE(service.reach(), HotkeyReach::Proposed);
    // A session: its activations count, a press once however often the
    // desktop repeats it before the release; another session's do not.
    const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/1_2/zuz");
    service.SessionCreated(0, {{QStringLiteral("session_handle"), session}});
    const auto activate = [&](const QString& path) {
        service.Activated(QDBusObjectPath(path), QStringLiteral("view"), 0, {});
    };
    activate(session);
    activate(session);
    activate(session + QStringLiteral("2"));
    QCOMPARE(presses, 1);
    service.Deactivated(QDBusObjectPath(session), QStringLiteral("view"), 0, {});
    activate(session);
    QCOMPARE(presses, 2);
    // Refused: the user's own binding of a second start is what is left.
    service.SessionCreated(1, {});
    QCOMPARE(service.reach(), HotkeyReach::UserBinding);
    QCOMPARE(reaches, (std::vector<HotkeyReach>{HotkeyReach::Proposed, HotkeyReach::UserBinding}));
}

// How the file an answer names is laid out, and what the grabber must make
// of it: read it (and remove it), or leave it alone.
void TstPortal::onlyTheFileMadeForTheRequestIsTaken_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<bool>("removed");
    using V = PortalScreenGrabber::FileVerdict;
    QTest::newRow("own file in a private folder") << "own" << int(V::Taken) << true;
    QTest::newRow("link to a picture") << "link" << int(V::Refused) << false;
    QTest::newRow("second name of a picture") << "hardlink" << int(V::Refused) << false;
    QTest::newRow("written before the request") << "old" << int(V::Refused) << false;
    QTest::newRow("another account's file") << "foreign" << int(V::Refused) << false;
    QTest::newRow("folder") << "folder" << int(V::Refused) << false;
    QTest::newRow("no local file") << "remote" << int(V::Refused) << false;
    // As xdg-desktop-portal-wlr's /tmp/out.png: not read, our copy removed.
    QTest::newRow("own file in a shared folder") << "shared" << int(V::Shared) << true;
}

void TstPortal::onlyTheFileMadeForTheRequestIsTaken() {
    QFETCH(QString, layout);
    QFETCH(int, verdict);
    QFETCH(bool, removed);
    if (layout == QLatin1String("foreign") && geteuid() != 0)
        QSKIP("giving a file to another account needs root");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QImage picture = numbered(40, 30);
    const QString kept = dir.filePath(QStringLiteral("kept.png"));
    QVERIFY(picture.save(kept));
    QString named = dir.filePath(QStringLiteral("Screenshot.png"));
    QString uri;
    if (layout == QLatin1String("link")) {
        QVERIFY(QFile::link(kept, named));
    } else if (layout == QLatin1String("hardlink")) {
        QCOMPARE(::link(QFile::encodeName(kept).constData(), QFile::encodeName(named).constData()),
                 0);
    } else if (layout == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Screenshot.png")));
    } else if (layout == QLatin1String("shared")) {
        const QString tmp = dir.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tmp")));
        QCOMPARE(chmod(QFile::encodeName(tmp).constData(), 01777), 0);
        named = tmp + QStringLiteral("/out.png");
        QVERIFY(picture.save(named));
    } else {
        QVERIFY(picture.save(named));
    }
    if (layout == QLatin1String("old")) {
        const timeval old[2] = {{100000, 0}, {100000, 0}};
        QCOMPARE(utimes(QFile::encodeName(named).constData(), old), 0);
    }
    if (layout == QLatin1String("foreign"))
        QCOMPARE(chown(QFile::encodeName(named).constData(), 65534, 65534), 0);
    uri = layout == QLatin1String("remote") ? QStringLiteral("https://example.org/Screenshot.png")
                                            : QUrl::fromLocalFile(named).toString();

    const auto taken =
        PortalScreenGrabber::takeFile(uri, QDateTime::currentDateTimeUtc().addSecs(-1));
    QCOMPARE(int(taken.verdict), verdict);
    if (verdict == int(PortalScreenGrabber::FileVerdict::Taken))
        QCOMPARE(taken.picture.convertToFormat(QImage::Format_RGB32), picture);
    else
        QVERIFY2(taken.picture.isNull() && !taken.whyNot.isEmpty(), qPrintable(taken.whyNot));
    if (layout != QLatin1String("remote"))
        QCOMPARE(!QFileInfo::exists(named) && !QFileInfo(named).isSymLink(), removed);
    QVERIFY(QFileInfo::exists(kept));
}

void TstPortal::pictureBeyondTheUsualAllocationLimitIsRead_data() {
    QTest::addColumn<QByteArray>("format");
    // grim's, and the portal's.
    QTest::newRow("ppm") << QByteArray("ppm");
    QTest::newRow("png") << QByteArray("png");
}

void TstPortal::pictureBeyondTheUsualAllocationLimitIsRead() {
    QFETCH(QByteArray, format);
    // 9000x4000 at 4 bytes a pixel is 137 MB, beyond the toolkit's 128 MB.
    const int width = 9000, height = 4000;
    QByteArray ppm = QByteArrayLiteral("P6\n9000 4000\n255\n");
    const qsizetype header = ppm.size();
    ppm.resize(header + qsizetype(width) * height * 3, char(0x80));
    ppm[header + (qsizetype(height - 1) * width + width - 1) * 3] = char(0x10);
    if (format == "png") {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(qRgb(0x80, 0x80, 0x80));
        picture.setPixel(width - 1, height - 1, qRgb(0x10, 0x80, 0x80));
        ppm.clear();
        QBuffer out(&ppm);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(picture.save(&out, "PNG"));
    }
    QBuffer buffer(&ppm);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const int usual = QImageReader::allocationLimit();
    QVERIFY(QImageReader(&buffer).read().isNull());
    buffer.seek(0);
    QString why;
    const QImage read = PortalScreenGrabber::readPicture(buffer, why);
    QVERIFY2(!read.isNull(), qPrintable(why));
    QCOMPARE(read.size(), QSize(width, height));
    QCOMPARE(read.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(read.pixel(width - 1, height - 1), qRgb(0x10, 0x80, 0x80));
    // Other reads keep the usual limit.
    QCOMPARE(QImageReader::allocationLimit(), usual);
}

namespace {
QDBusMessage screenshotCall(const QString& token) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    return call;
}
} // namespace

// An answer that comes after the caller gave up leaves no picture behind,
// and the next request is answered as usual.
void TstPortal::lateAnswerIsCleanedUp() {
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000)) QSKIP("no dbus-daemon");
    QVERIFY(daemon.waitForReadyRead(10000));
    const QByteArray address = daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    const auto stop = qScopeGuard([&daemon] {
        daemon.terminate();
        daemon.waitForFinished(5000);
    });
    QDBusConnection portalBus =
        QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("slow-portal"));
    QVERIFY(portalBus.isConnected());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Screenshot.png"));
    SlowPortal portal(portalBus, file);
    QVERIFY(portalBus.registerObject(kPortalPath, &portal, QDBusConnection::ExportAllSlots));
    QVERIFY(portalBus.registerService(kPortal));
    {
        PortalRequests requests;
        QString sender = requests.bus().baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const auto handle = [&sender](const QString& token) {
            return kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
        };
        portal.delayMs = 1500;
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!requests.ask(screenshotCall(QStringLiteral("late")), handle("late"), 300));
        QVERIFY2(waited.elapsed() < 1400, "the caller waited for the answer");
        QTRY_COMPARE_WITH_TIMEOUT(portal.answered, 1, 10000);
        QTRY_VERIFY(!QFileInfo::exists(file));

        portal.delayMs = 0;
        const auto answer = requests.ask(screenshotCall(QStringLiteral("prompt")),
                                         handle(QStringLiteral("prompt")), 10000);
        QVERIFY(answer);
        QCOMPARE(answer->response, 0u);
        QCOMPARE(answer->results.value(QStringLiteral("uri")).toString(),
                 QUrl::fromLocalFile(file).toString());
        // Read by the caller, not removed behind its back.
        QVERIFY(QFileInfo::exists(file));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("slow-portal"));
}

QTEST_MAIN(TstPortal)
#include "tst_portal.moc"
