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
#include <QSignalSpy>
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
    void requestsWhileAPictureIsOnItsWayShareTheNext();
    void aSilentRequestIsAskedAgainOnceAPictureCame();
    void aFailureIsToldOnceAfterTheRetries();
    // Last: it makes Qt open the session bus, which Qt keeps for the
    // process, before the tests above could name their own.
    void theDesktopsAnswersChangeTheReach();

  private:
    // A session bus of the test's own with a fresh slow portal on it; null
    // when there is no dbus-daemon. One for all tests: the D-Bus library
    // reads the session bus's address once per process.
    struct Bus;
    struct BusDeleter {
        void operator()(Bus* bus) const;
    };
    Bus* startBus();
    std::unique_ptr<Bus, BusDeleter> m_bus;
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
    int asked = 0;
    // The next requests this many are taken and never answered.
    int ignore = 0;
    // What the answers say: 0 a picture, 2 a failure.
    uint response = 0;

  public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options,
                               const QDBusMessage& message) {
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString handle = kPortalPath + QStringLiteral("/request/") + sender +
                               QLatin1Char('/') + options.value("handle_token").toString();
        ++asked;
        if (ignore > 0) {
            --ignore;
            return QDBusObjectPath(handle);
        }
        QTimer::singleShot(delayMs, this, [this, handle] {
            QImage(8, 8, QImage::Format_RGB32).save(m_file);
            QDBusMessage response =
                QDBusMessage::createSignal(handle, QStringLiteral("org.freedesktop.portal.Request"),
                                           QStringLiteral("Response"));
            response << this->response
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

struct TstPortal::Bus {
    QProcess daemon;
    QTemporaryDir dir;
    QString file;
    QDBusConnection portalBus{QString()};
    std::unique_ptr<SlowPortal> portal;
    ~Bus() {
        portal.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("slow-portal"));
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
};

void TstPortal::BusDeleter::operator()(Bus* bus) const {
    delete bus;
}

TstPortal::Bus* TstPortal::startBus() {
    if (m_bus) {
        m_bus->portalBus.unregisterObject(kPortalPath);
        m_bus->portal = std::make_unique<SlowPortal>(m_bus->portalBus, m_bus->file);
        if (!m_bus->portalBus.registerObject(kPortalPath, m_bus->portal.get(),
                                             QDBusConnection::ExportAllSlots))
            return nullptr;
        return m_bus.get();
    }
    auto bus = std::make_unique<Bus>();
    bus->daemon.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
    if (!bus->daemon.waitForStarted(5000) || !bus->daemon.waitForReadyRead(10000)) return nullptr;
    const QByteArray address = bus->daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    bus->portalBus =
        QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("slow-portal"));
    bus->file = bus->dir.filePath(QStringLiteral("Screenshot.png"));
    bus->portal = std::make_unique<SlowPortal>(bus->portalBus, bus->file);
    if (!bus->portalBus.isConnected() ||
        !bus->portalBus.registerObject(kPortalPath, bus->portal.get(),
                                       QDBusConnection::ExportAllSlots) ||
        !bus->portalBus.registerService(kPortal))
        return nullptr;
    m_bus.reset(bus.release());
    return m_bus.get();
}

// An answer that comes after the caller gave up leaves no picture behind,
// and the next request is answered as usual.
void TstPortal::lateAnswerIsCleanedUp() {
    Bus* const bus = startBus();
    if (!bus) QSKIP("no dbus-daemon");
    SlowPortal& portal = *bus->portal;
    const QString& file = bus->file;
    PortalRequests requests;
    QSignalSpy answered(&requests, &PortalRequests::answered);
    QSignalSpy unanswered(&requests, &PortalRequests::unanswered);
    QString sender = requests.bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const auto handle = [&sender](const QString& token) {
        return kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    };
    portal.delayMs = 1500;
    requests.ask(screenshotCall(QStringLiteral("late")), handle("late"), 300);
    // Given up before the answer came.
    QTRY_COMPARE_WITH_TIMEOUT(unanswered.size(), 1, 10000);
    QCOMPARE(portal.answered, 0);
    QCOMPARE(unanswered[0][0].toString(), handle("late"));
    QCOMPARE(unanswered[0][1].toBool(), false);
    QTRY_COMPARE_WITH_TIMEOUT(portal.answered, 1, 10000);
    QTRY_VERIFY(!QFileInfo::exists(file));
    QVERIFY(answered.isEmpty());

    portal.delayMs = 0;
    requests.ask(screenshotCall(QStringLiteral("prompt")), handle(QStringLiteral("prompt")), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 10000);
    QCOMPARE(answered[0][0].toString(), handle("prompt"));
    const auto answer = answered[0][1].value<PortalRequests::Result>();
    QCOMPARE(answer.response, 0u);
    QCOMPARE(answer.results.value(QStringLiteral("uri")).toString(),
             QUrl::fromLocalFile(file).toString());
    // Read by the caller, not removed behind its back.
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(unanswered.size(), 1);
}

namespace {
// The answers a grabber gives, by asker.
struct Answers {
    explicit Answers(ScreenGrabber& grabber) {
        QObject::connect(&grabber, &ScreenGrabber::grabbed,
                         [this](const QObject* asker, const QImage& picture) {
                             order << asker;
                             pictures << picture;
                             whys << QString();
                         });
        QObject::connect(&grabber, &ScreenGrabber::failed,
                         [this](const QObject* asker, const QString& why) {
                             order << asker;
                             pictures << QImage();
                             whys << why;
                         });
    }
    QList<const QObject*> order;
    QList<QImage> pictures;
    QStringList whys;
};
} // namespace

// One picture at a time: a request while one is on its way is not lost,
// nor answered with the picture taken before it came, but with the next.
void TstPortal::requestsWhileAPictureIsOnItsWayShareTheNext() {
    Bus* const bus = startBus();
    if (!bus) QSKIP("no dbus-daemon");
    SlowPortal& portal = *bus->portal;
    portal.delayMs = 300;
    PortalScreenGrabber grabber;
    Answers answers(grabber);
    const QObject first, second, third;
    grabber.request(QRect(0, 0, 4, 3), &first);
    QVERIFY(answers.order.isEmpty()); // later, not inside the request
    QTRY_COMPARE(portal.asked, 1);
    grabber.request(QRect(0, 0, 2, 2), &second);
    grabber.request(QRect(0, 0, 5, 5), &third);
    QTRY_COMPARE_WITH_TIMEOUT(answers.order.size(), 3, 10000);
    QCOMPARE(answers.order, (QList<const QObject*>{&first, &second, &third}));
    QCOMPARE(answers.pictures[0].size(), QSize(4, 3));
    QCOMPARE(answers.pictures[1].size(), QSize(2, 2));
    QCOMPARE(answers.pictures[2].size(), QSize(5, 5));
    // The two that came meanwhile shared the second picture.
    QCOMPARE(portal.asked, 2);
    QCOMPARE(portal.answered, 2);
    QVERIFY(!QFileInfo::exists(bus->file));
}

// A request that the portal takes and never answers (GNOME's, while
// another caller's screenshot is under way) is closed and asked again, but
// only once the desktop has given a picture: before that, silence may be
// its dialog asking the user.
void TstPortal::aSilentRequestIsAskedAgainOnceAPictureCame() {
    Bus* const bus = startBus();
    if (!bus) QSKIP("no dbus-daemon");
    SlowPortal& portal = *bus->portal;
    PortalScreenGrabber grabber;
    Answers answers(grabber);
    const QObject asker;
    grabber.request(QRect(0, 0, 8, 8), &asker);
    QTRY_COMPARE_WITH_TIMEOUT(answers.order.size(), 1, 10000);
    QVERIFY(!answers.pictures[0].isNull());
    portal.ignore = 1;
    grabber.request(QRect(0, 0, 8, 8), &asker);
    QTRY_COMPARE_WITH_TIMEOUT(answers.order.size(), 2, 15000);
    QVERIFY2(!answers.pictures[1].isNull(), qPrintable(answers.whys[1]));
    QCOMPARE(portal.asked, 3);
}

// A desktop that fails is asked again a few times; then the request fails
// and the user is told why, once: not with every later failure.
void TstPortal::aFailureIsToldOnceAfterTheRetries() {
    Bus* const bus = startBus();
    if (!bus) QSKIP("no dbus-daemon");
    SlowPortal& portal = *bus->portal;
    portal.response = 2;
    PortalScreenGrabber grabber;
    Answers answers(grabber);
    const QObject asker;
    grabber.request(QRect(0, 0, 8, 8), &asker);
    QTRY_COMPARE_WITH_TIMEOUT(answers.order.size(), 1, 10000);
    QVERIFY(answers.pictures[0].isNull());
    QCOMPARE(answers.whys[0],
             PortalScreenGrabber::failureText(QStringLiteral("桌面门户截屏失败。")));
    QCOMPARE(portal.asked, 5);
    grabber.request(QRect(0, 0, 8, 8), &asker);
    QTRY_COMPARE_WITH_TIMEOUT(answers.order.size(), 2, 10000);
    QVERIFY(answers.pictures[1].isNull());
    QVERIFY(answers.whys[1].isEmpty());
}

QTEST_MAIN(TstPortal)
#include "tst_portal.moc"
