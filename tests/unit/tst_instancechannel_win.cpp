// The single-instance channel on Windows, a named pipe: a pipe no one else
// may open or make first, answered on the listener's thread, and peers
// that say nothing hold up neither other starts nor the event loop.
#include "channelprobe.h"
#include "shared/platform/instancechannel.h"
#include "shared/platform/instancechannel_win.h"
#include "shared/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::wstring wide(const QString& s) {
    return s.toStdWString();
}

// A peer that opens the pipe as any program of the user's could, and then
// does what the test says.
HANDLE connectPeer(const QString& path) {
    return ::CreateFileW(wide(instancechannel::pipeName(path)).c_str(),
                         GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool droppedByServer(HANDLE peer) {
    DWORD available = 0;
    return !::PeekNamedPipe(peer, nullptr, 0, nullptr, &available, nullptr);
}

// Sends a request from a thread of its own while this one serves the
// channel in its event loop; the reply, and how long it took.
QByteArray sendWhileServing(const QString& path, qint64* tookMs = nullptr) {
    std::atomic<bool> done{false};
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QThread> client(QThread::create([&] {
        reply = instancechannel::send(path, "--view");
        done = true;
    }));
    client->start();
    QDeadlineTimer deadline(instancechannel::kDeadlineMs * 3);
    while (!done && !deadline.hasExpired())
        QTest::qWait(5);
    client->wait();
    if (tookMs) *tookMs = clock.elapsed();
    return reply;
}

// The longest time the event loop went without running a timer.
class LoopWatch : public QObject {
  public:
    LoopWatch() {
        m_clock.start();
        m_tick.setInterval(20);
        connect(&m_tick, &QTimer::timeout, this, &LoopWatch::tick);
        m_tick.start();
    }
    qint64 longestGap() const { return m_longest; }

  private:
    void tick() { m_longest = qMax(m_longest, m_clock.restart()); }
    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_longest = 0;
};

// Sets an environment variable for one scope, in UTF-16 as Windows keeps
// it: the narrow calls would pass it through the ANSI code page.
class WideEnvScope {
  public:
    WideEnvScope(const wchar_t* name, const QString& value) : m_name(name) {
        if (const wchar_t* old = ::_wgetenv(name)) m_old = old;
        set(value.toStdWString());
    }
    ~WideEnvScope() { set(m_old); }

  private:
    void set(const std::wstring& value) { ::_wputenv((m_name + L"=" + value).c_str()); }
    std::wstring m_name;
    std::wstring m_old;
};

struct UserSid {
    std::vector<BYTE> buffer;
    PSID sid() const { return reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid; }
};

UserSid currentUser() {
    UserSid user;
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user.buffer.resize(size);
    ::GetTokenInformation(token, TokenUser, user.buffer.data(), size, &size);
    ::CloseHandle(token);
    return user;
}

} // namespace

class TstInstanceChannelWin : public QObject {
    Q_OBJECT
  private slots:
    void aRequestIsAnsweredOnTheListenersThread();
    void thePipeIsTheUsersAlone();
    void aPipeSomeoneElseMadeFirstHearsNothing();
    void silentPeersHoldUpNoOne();
    void theListenerGoesAwayCleanly();
    void aProfileOfAnyNameHoldsTheLock_data();
    void aProfileOfAnyNameHoldsTheLock();
};

void TstInstanceChannelWin::aRequestIsAnsweredOnTheListenersThread() {
    ChannelProbe probe;
    const QString& path = probe.path;
    QStringList heard;
    bool onListenersThread = false;
    auto server = instancechannel::listen(path, [&](const QString& request) {
        heard << request;
        onListenersThread = QThread::currentThread() == thread();
        return QByteArray(" ok \r");
    });
    QVERIFY(server);
    QCOMPARE(sendWhileServing(path), QByteArray("ok"));
    QCOMPARE(heard, QStringList{"--view"});
    QVERIFY(onListenersThread);

    // The same channel, however the path is written.
    QCOMPARE(instancechannel::pipeName(QDir::toNativeSeparators(path).toUpper()),
             instancechannel::pipeName(path));
    QVERIFY(instancechannel::pipeName(probe.dir.filePath("other.channel")) !=
            instancechannel::pipeName(path));
}

void TstInstanceChannelWin::thePipeIsTheUsersAlone() {
    ChannelProbe probe;
    const QString& path = probe.path;
    auto server = probe.listen();
    QVERIFY(server);
    // One listener a channel: a second one is refused, not joined.
    QVERIFY(!probe.listen());

    const UserSid me = currentUser();
    LPWSTR sidText = nullptr;
    QVERIFY(::ConvertSidToStringSidW(me.sid(), &sidText));
    QVERIFY(instancechannel::pipeName(path).contains(QString::fromWCharArray(sidText)));
    ::LocalFree(sidText);

    const HANDLE peer = connectPeer(path);
    QVERIFY(peer != INVALID_HANDLE_VALUE);
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    QCOMPARE(::GetSecurityInfo(peer, SE_KERNEL_OBJECT,
                               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                               nullptr, &dacl, nullptr, &descriptor),
             DWORD(ERROR_SUCCESS));
    QVERIFY(owner && ::EqualSid(owner, me.sid()));
    // No one but the user and the system: a missing DACL would let anyone in.
    QVERIFY(dacl);
    BYTE systemSid[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof systemSid;
    QVERIFY(::CreateWellKnownSid(WinLocalSystemSid, nullptr, systemSid, &systemSize));
    bool userAllowed = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        QVERIFY(::GetAce(dacl, i, &ace));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const PSID sid = PSID(const_cast<DWORD*>(&allowed->SidStart));
        QVERIFY2(::EqualSid(sid, me.sid()) || ::EqualSid(sid, systemSid),
                 "the pipe lets another account in");
        userAllowed = userAllowed || ::EqualSid(sid, me.sid());
    }
    QVERIFY(userAllowed);
    ::LocalFree(descriptor);
    ::CloseHandle(peer);

    // Nor may anyone make it first: the name hangs on a secret in the
    // user's folder, not only on what every account knows.
    const QString named = instancechannel::pipeName(path);
    QVERIFY(QFile::remove(probe.dir.filePath(QStringLiteral("channel.key"))));
    QVERIFY(instancechannel::pipeName(path) != named);
}

void TstInstanceChannelWin::aPipeSomeoneElseMadeFirstHearsNothing() {
    ChannelProbe probe;
    const QString& path = probe.path;
    // Made under the channel's name before the program listens, owned by
    // an account other than the user's, open to everyone.
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD adminsSize = sizeof admins;
    QVERIFY(::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &adminsSize));
    SECURITY_DESCRIPTOR sd;
    QVERIFY(::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    QVERIFY(::SetSecurityDescriptorOwner(&sd, admins, FALSE));
    QVERIFY(::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    const HANDLE squatter =
        ::CreateNamedPipeW(wide(instancechannel::pipeName(path)).c_str(), PIPE_ACCESS_DUPLEX,
                           PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 512, 512, 0, &sa);
    if (squatter == INVALID_HANDLE_VALUE)
        QSKIP("this account cannot make a pipe with another owner");

    QVERIFY(!probe.listen());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(instancechannel::send(path, "--view"), QByteArray());
    QVERIFY2(clock.elapsed() < instancechannel::kDeadlineMs / 2,
             qPrintable(QString::number(clock.elapsed())));
    DWORD heard = 0;
    ::PeekNamedPipe(squatter, nullptr, 0, nullptr, &heard, nullptr);
    QCOMPARE(heard, DWORD(0));
    ::CloseHandle(squatter);
}

void TstInstanceChannelWin::silentPeersHoldUpNoOne() {
    ChannelProbe probe;
    const QString& path = probe.path;
    auto server = probe.listen();
    QVERIFY(server);
    const LoopWatch loop;

    // All places but one taken: by peers that say nothing, and one whose
    // line never ends.
    std::vector<HANDLE> silent;
    for (int i = 0; i < instancechannel::kMaxPeers - 1; ++i) {
        silent.push_back(connectPeer(path));
        QVERIFY(silent.back() != INVALID_HANDLE_VALUE);
    }
    const QByteArray endless(instancechannel::kMaxRequest, 'x');
    DWORD written = 0;
    QVERIFY(
        ::WriteFile(silent.front(), endless.constData(), DWORD(endless.size()), &written, nullptr));
    QTRY_VERIFY_WITH_TIMEOUT(droppedByServer(silent.front()), instancechannel::kDeadlineMs / 2);
    qint64 took = 0;
    QCOMPARE(sendWhileServing(path, &took), QByteArray("ok"));
    QVERIFY2(took < instancechannel::kDeadlineMs / 2, qPrintable(QString::number(took)));
    for (HANDLE peer : silent)
        QTRY_VERIFY_WITH_TIMEOUT(droppedByServer(peer), instancechannel::kDeadlineMs + 3000);
    for (HANDLE peer : silent)
        ::CloseHandle(peer);
    silent.clear();

    // Every place taken: a start waits for one to be given up.
    for (int i = 0; i < instancechannel::kMaxPeers; ++i) {
        silent.push_back(connectPeer(path));
        QVERIFY(silent.back() != INVALID_HANDLE_VALUE);
    }
    QTest::qWait(instancechannel::kDeadlineMs / 2);
    QCOMPARE(sendWhileServing(path), QByteArray("ok"));
    for (HANDLE peer : silent)
        ::CloseHandle(peer);
    QCOMPARE(probe.heard.size(), 2);
    QVERIFY2(loop.longestGap() < 500, qPrintable(QString::number(loop.longestGap())));
}

void TstInstanceChannelWin::theListenerGoesAwayCleanly() {
    ChannelProbe probe;
    const QString& path = probe.path;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(instancechannel::send(path, "--view"), QByteArray());
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));

    auto server = probe.listen();
    QVERIFY(server);
    const HANDLE silent = connectPeer(path);
    QVERIFY(silent != INVALID_HANDLE_VALUE);
    QTest::qWait(100);
    clock.restart();
    server.reset();
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(droppedByServer(silent));
    clock.restart();
    QCOMPARE(instancechannel::send(path, "--view"), QByteArray());
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));

    // The next instance has the name again, though the old peer still
    // holds its end.
    server = probe.listen("again");
    QVERIFY(server);
    QCOMPARE(sendWhileServing(path), QByteArray("again"));
    ::CloseHandle(silent);
}

void TstInstanceChannelWin::aProfileOfAnyNameHoldsTheLock_data() {
    QTest::addColumn<QString>("user");
    // Outside the ANSI code page of a Western system.
    QTest::newRow("Chinese") << QStringLiteral("张伟");
    QTest::newRow("Polish") << QStringLiteral("Paweł Łęcki");
}

void TstInstanceChannelWin::aProfileOfAnyNameHoldsTheLock() {
    QFETCH(QString, user);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString profile = root.filePath(user);
    const QString local = profile + QStringLiteral("/AppData/Local");
    QVERIFY(QDir().mkpath(local));
    const WideEnvScope home(L"USERPROFILE", QDir::toNativeSeparators(profile));
    const WideEnvScope data(L"LOCALAPPDATA", QDir::toNativeSeparators(local));

    SingleInstance first(QStringLiteral("zuz"));
    QCOMPARE(first.tryAcquire(), InstanceClaim::Acquired);
    QVERIFY2(first.lockPath().startsWith(local + QLatin1Char('/')), qPrintable(first.lockPath()));
    SingleInstance second(QStringLiteral("zuz"));
    QCOMPARE(second.tryAcquire(), InstanceClaim::Running);
    QStringList heard;
    QVERIFY(first.listen([&heard](const QString& request) {
        heard << request;
        return QByteArray("ok");
    }));
    QCOMPARE(sendWhileServing(second.channelPath()), QByteArray("ok"));
    QCOMPARE(heard, QStringList{"--view"});
    // Nothing left in the profile folder itself.
    QCOMPARE(QDir(profile).entryList(QDir::Files | QDir::Hidden), QStringList());
    first.release();
}

QTEST_GUILESS_MAIN(TstInstanceChannelWin)
#include "tst_instancechannel_win.moc"
