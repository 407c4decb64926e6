// The single-instance lock's folder and channel on Unix: a folder of the
// user's alone, and a channel that hostile or broken peers cannot take
// down.
#include "channelprobe.h"
#include "shared/platform/instancechannel.h"
#include "shared/singleinstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <memory>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// Sets an environment variable for one scope.
class EnvScope {
  public:
    EnvScope(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvScope() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

  private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A peer of the channel that connects and then does what the test says.
int connectTo(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    memcpy(addr.sun_path, name.constData(), size_t(name.size()));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// Whether the server has closed the peer's connection.
bool closedByServer(int fd) {
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

bool privateToMe(const QString& folder) {
    struct stat st {};
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

} // namespace

class TstInstanceChannel : public QObject {
    Q_OBJECT
  private slots:
    void lockFolderIsTheUsersAlone_data();
    void lockFolderIsTheUsersAlone();
    void requestsReachOnlyThisUsersSocket();
    void brokenPeersAreDropped();
    void aFloodOfPeersLeavesTheChannelWorking();
    void aForwardedStartNeedsNoDisplay_data();
    void aForwardedStartNeedsNoDisplay();
    void aProgramWithoutItsModuleSaysSo();
};

void TstInstanceChannel::lockFolderIsTheUsersAlone_data() {
    QTest::addColumn<QString>("runtime");       // XDG_RUNTIME_DIR: none, own, foreign
    QTest::addColumn<QString>("sharedRuntime"); // what is at <tmp>/runtime-<user>
    QTest::newRow("no runtime dir, its fallback not a folder") << "none"
                                                               << "file";
    QTest::newRow("no runtime dir, its fallback another account's") << "none"
                                                                    << "foreign";
    QTest::newRow("runtime dir of another account") << "foreign"
                                                    << "absent";
    QTest::newRow("runtime dir of the user's own") << "own"
                                                   << "absent";
}

void TstInstanceChannel::lockFolderIsTheUsersAlone() {
    QFETCH(QString, runtime);
    QFETCH(QString, sharedRuntime);
    const passwd* nobody = ::getpwnam("nobody");
    const bool needsOther = runtime == "foreign" || sharedRuntime == "foreign";
    if (needsOther && (::geteuid() != 0 || !nobody))
        QSKIP("giving a folder to another account needs root");

    QTemporaryDir root;
    QVERIFY(root.isValid());
    // The shared temp folder, as /tmp is: everyone may make files there.
    const QString tmp = root.filePath("tmp");
    QVERIFY(QDir().mkdir(tmp));
    ::chmod(QFile::encodeName(tmp).constData(), 01777);
    const QString own = root.filePath("run");
    QVERIFY(QDir().mkdir(own));
    ::chmod(QFile::encodeName(own).constData(), 0700);
    const QString home = root.filePath("home");
    QVERIFY(QDir().mkdir(home));

    const passwd* me = ::getpwuid(::geteuid());
    QVERIFY(me);
    const QString shared = tmp + "/runtime-" + QString::fromLocal8Bit(me->pw_name);
    if (sharedRuntime == "file") {
        QFile f(shared);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (sharedRuntime == "foreign") {
        QVERIFY(QDir().mkdir(shared));
        ::chmod(QFile::encodeName(shared).constData(), 0700);
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    QString foreignRuntime;
    if (runtime == "foreign") {
        foreignRuntime = root.filePath("theirs");
        QVERIFY(QDir().mkdir(foreignRuntime));
        ::chmod(QFile::encodeName(foreignRuntime).constData(), 0700);
        QCOMPARE(
            ::chown(QFile::encodeName(foreignRuntime).constData(), nobody->pw_uid, nobody->pw_gid),
            0);
    }
    const QByteArray runtimeValue = runtime == "none"      ? QByteArray()
                                    : runtime == "foreign" ? QFile::encodeName(foreignRuntime)
                                                           : QFile::encodeName(own);
    EnvScope r("XDG_RUNTIME_DIR", runtimeValue);
    EnvScope t("TMPDIR", QFile::encodeName(tmp));
    EnvScope h("HOME", QFile::encodeName(home));
    EnvScope c("XDG_CACHE_HOME", QByteArray());

    SingleInstance instance(QStringLiteral("probe"));
    QCOMPARE(instance.tryAcquire(), InstanceClaim::Acquired);
    const QString folder = QFileInfo(instance.lockPath()).absolutePath();
    QVERIFY2(privateToMe(folder), qPrintable(folder));
    QVERIFY2(!folder.startsWith(tmp), qPrintable(folder));
    QCOMPARE(QFileInfo(instance.channelPath()).absolutePath(), folder);
    if (runtime == "own")
        QCOMPARE(folder, own);
    else
        QCOMPARE(folder, home + "/.cache/zuz-runtime");
    instance.release();
}

namespace {
// Sends a request from a thread of its own while this one serves the
// channel in its event loop; the reply, or nothing if none came in time.
QByteArray sendWhileServing(const QString& path, int timeoutMs) {
    std::atomic<bool> done{false};
    QByteArray reply;
    // A QThread rather than std::thread: UBSan's type check misreads the
    // state object libstdc++ hands its threads.
    std::unique_ptr<QThread> client(QThread::create([&] {
        reply = instancechannel::send(path, "--view");
        done = true;
    }));
    client->start();
    QDeadlineTimer deadline(timeoutMs);
    while (!done && !deadline.hasExpired())
        QTest::qWait(10);
    client->wait();
    return reply;
}
} // namespace

void TstInstanceChannel::requestsReachOnlyThisUsersSocket() {
    ChannelProbe probe;
    const QString& path = probe.path;
    auto server = probe.listen();
    QVERIFY(server);
    QCOMPARE(sendWhileServing(path, 5000), QByteArray("ok"));
    QCOMPARE(probe.heard, QStringList{"--view"});

    // A listener that another account put where the channel belongs.
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) QSKIP("giving a socket to another account needs root");
    QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    QCOMPARE(sendWhileServing(path, 5000), QByteArray());
    QCOMPARE(probe.heard.size(), 1);
}

void TstInstanceChannel::brokenPeersAreDropped() {
    ChannelProbe probe;
    const QString& path = probe.path;
    auto server = probe.listen();
    QVERIFY(server);

    // One that says nothing, and one whose line never ends.
    const int idle = connectTo(path);
    const int endless = connectTo(path);
    QVERIFY(idle >= 0 && endless >= 0);
    const QByteArray chunk(64 * 1024, 'x');
    qint64 sent = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const ssize_t n = ::send(endless, chunk.constData(), size_t(chunk.size()),
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n > 0) sent += n;
            return closedByServer(endless) || (n < 0 && errno != EAGAIN);
        }(),
        5000);
    // Dropped once the longest request had come without a line break.
    QVERIFY2(sent < 4 * 1024 * 1024, qPrintable(QString::number(sent)));
    QTRY_VERIFY_WITH_TIMEOUT(closedByServer(idle), instancechannel::kDeadlineMs + 3000);
    QVERIFY(probe.heard.isEmpty());
    ::close(idle);
    ::close(endless);
}

void TstInstanceChannel::aFloodOfPeersLeavesTheChannelWorking() {
    ChannelProbe probe;
    const QString& path = probe.path;
    auto server = probe.listen();
    QVERIFY(server);

    // Few descriptors, so that the flood runs the process out of them.
    rlimit was{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &was), 0);
    rlimit low = was;
    low.rlim_cur = 256;
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> flood;
    std::atomic<bool> stop{false};
    std::unique_ptr<QThread> flooding(QThread::create([&] {
        while (!stop && flood.size() < 2000) {
            const int fd = connectTo(path);
            if (fd >= 0)
                flood.push_back(fd);
            else
                QThread::msleep(1);
        }
    }));
    flooding->start();
    QTest::qWait(1500); // the server accepts meanwhile, in this event loop
    stop = true;
    flooding->wait();
    const size_t held = flood.size();
    for (int fd : flood)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &was);
    QVERIFY2(held > 200, qPrintable(QString::number(held)));

    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(sendWhileServing(path, instancechannel::kDeadlineMs * 3), QByteArray("ok"));
}

void TstInstanceChannel::aForwardedStartNeedsNoDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("request");
    // XDG_RUNTIME_DIR: the user's own; unset; one that others may enter
    // (the cache folder's fallback serves); given with a trailing slash.
    QTest::addColumn<QString>("runtime");
    QTest::newRow("zuz --view") << ZUZ_PROGRAM << "zuz" << QStringList{"--view"} << "--view"
                                << "own";
    QTest::newRow("zuz started again") << ZUZ_PROGRAM << "zuz" << QStringList{} << "start"
                                       << "own";
    QTest::newRow("Zonara --pick")
        << ZONARA_PROGRAM << "Zonara" << QStringList{"--pick"} << "--pick"
        << "own";
    QTest::newRow("zuz --view, no runtime folder")
        << ZUZ_PROGRAM << "zuz" << QStringList{"--view"} << "--view"
        << "none";
    QTest::newRow("Zonara --pick, a runtime folder others may enter")
        << ZONARA_PROGRAM << "Zonara" << QStringList{"--pick"} << "--pick"
        << "open";
    QTest::newRow("zuz --view, runtime folder with a trailing slash")
        << ZUZ_PROGRAM << "zuz" << QStringList{"--view"} << "--view"
        << "slash";
    // Deeper than a socket's address has room for.
    QTest::newRow("Zonara --pick, a deep runtime folder")
        << ZONARA_PROGRAM << "Zonara" << QStringList{"--pick"} << "--pick"
        << "deep";
    QTest::newRow("zuz --view, no runtime folder, a deep home")
        << ZUZ_PROGRAM << "zuz" << QStringList{"--view"} << "--view"
        << "deep home";
}

// The executable finds the channel on its own, before it loads anything
// of the toolkit (a launcher, on Linux): it must find the one that the
// program, through SingleInstance, listens on in the same environment.
void TstInstanceChannel::aForwardedStartNeedsNoDisplay() {
    QFETCH(QString, program);
    QFETCH(QString, channel);
    QFETCH(QStringList, arguments);
    QFETCH(QString, request);
    QFETCH(QString, runtime);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString deep = QString(100, QLatin1Char('d'));
    const QString run = root.filePath(runtime == "deep" ? deep : QStringLiteral("run"));
    QVERIFY(QDir().mkdir(run));
    ::chmod(QFile::encodeName(run).constData(), runtime == "open" ? 0755 : 0700);
    const QByteArray runValue = runtime == "none" || runtime == "deep home" ? QByteArray()
                                : runtime == "slash" ? QFile::encodeName(run) + '/'
                                                     : QFile::encodeName(run);
    const QString home = root.filePath(runtime == "deep home" ? deep : QStringLiteral("home"));
    EnvScope r("XDG_RUNTIME_DIR", runValue);
    EnvScope h("HOME", QFile::encodeName(home));
    EnvScope c("XDG_CACHE_HOME", QByteArray());

    const QString path = SingleInstance(channel).channelPath();
    QVERIFY(!path.isEmpty());
    const bool inRuntime = runtime == "own" || runtime == "slash" || runtime == "deep";
    QCOMPARE(QFileInfo(path).absolutePath(), inRuntime ? run : home + "/.cache/zuz-runtime");
    QStringList heard;
    auto server = instancechannel::listen(path, [&heard](const QString& r) {
        heard << r;
        return QByteArray("ok");
    });
    QVERIFY(server);
    // No display to connect to: a start that built its GUI would abort.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess later;
    later.setProcessEnvironment(env);
    later.start(program, arguments);
    QVERIFY(later.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(later.state() == QProcess::NotRunning, 20000);
    QCOMPARE(later.exitStatus(), QProcess::NormalExit);
    QCOMPARE(later.exitCode(), 0);
    QCOMPARE(heard, QStringList{request});
}

void TstInstanceChannel::aProgramWithoutItsModuleSaysSo() {
    const QString module = QFileInfo(ZUZ_PROGRAM).absolutePath() + "/zuz-program.so";
    if (!QFileInfo::exists(module)) QSKIP("zuz is not a launcher in this build");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // No running instance to take the request: the start goes on.
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EnvScope r("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    const QString alone = folder.filePath("zuz");
    QVERIFY(QFile::copy(ZUZ_PROGRAM, alone));
    QProcess start;
    start.start(alone, {"--view"});
    QVERIFY(start.waitForFinished(20000));
    QCOMPARE(start.exitStatus(), QProcess::NormalExit);
    QVERIFY(start.exitCode() != 0);
    const QString said = QString::fromLocal8Bit(start.readAllStandardError());
    QVERIFY2(said.contains(folder.filePath("zuz-program.so")), qPrintable(said));

    // Something else in its place: not taken for the program.
    QFile other(folder.filePath("zuz-program.so"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("not a module");
    other.close();
    start.start(alone, {"--view"});
    QVERIFY(start.waitForFinished(20000));
    QVERIFY(start.exitCode() != 0);
    QVERIFY2(QString::fromLocal8Bit(start.readAllStandardError()).contains(other.fileName()),
             "no word of the module");
}

QTEST_GUILESS_MAIN(TstInstanceChannel)
#include "tst_instancechannel.moc"
