// Single instance and timers.
#include "shared/instanceaddress.h"
#include "shared/singleinstance.h"
#include "shared/vbtimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

// File owners are a POSIX notion; Windows has no user to give a file to.
#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

class TstShared : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void secondInstanceIsRefused();
    void lockOfAVanishedProcessIsTakenOver();
    void lockOfAnotherUserIsTakenOver();
    void lockOfAnotherHostIsTakenOver();
    void releaseGivesTheChannelUpFirst();
    void everySpellingOfADisplayIsOneSession_data();
    void everySpellingOfADisplayIsOneSession();
    void lockThatCannotBeMadeIsNoInstance();
    void timerWithIntervalZeroNeverTicks();
    void timerKeepsSwitchAndInterval();
    void switchingOnAgainKeepsThePeriod();

  private:
    QTemporaryDir m_runtime;
};

void TstShared::initTestCase() {
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(m_runtime.path()).toLocal8Bit());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TstShared::secondInstanceIsRefused() {
    SingleInstance first(QStringLiteral("probe"));
    QCOMPARE(first.tryAcquire(), InstanceClaim::Acquired);
    {
        SingleInstance second(QStringLiteral("probe"));
        QCOMPARE(second.tryAcquire(), InstanceClaim::Running);
        SingleInstance other(QStringLiteral("other-program"));
        QCOMPARE(other.tryAcquire(), InstanceClaim::Acquired);
    }
    QCOMPARE(first.tryAcquire(), InstanceClaim::Acquired);
}

void TstShared::lockOfAVanishedProcessIsTakenOver() {
    SingleInstance probe(QStringLiteral("crashed"));
    // What a killed holder leaves behind: its pid, its name and the host,
    // named as the lock itself names it (by COMPUTERNAME on Windows).
    QString host;
    {
        QLockFile scratch(m_runtime.filePath(QStringLiteral("scratch.lock")));
        QVERIFY(scratch.tryLock(0));
        qint64 pid = 0;
        QString app;
        QVERIFY(scratch.getLockInfo(&pid, &host, &app));
    }
    QFile f(probe.lockPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("999999\ncrashed\n" + host.toUtf8() + "\n");
    f.close();
    QCOMPARE(probe.tryAcquire(), InstanceClaim::Acquired);
}

void TstShared::lockOfAnotherUserIsTakenOver() {
#ifdef Q_OS_WIN
    QSKIP("files have no POSIX owner here");
#else
    if (::geteuid() != 0) QSKIP("giving a file to another user needs root");
    const passwd* nobody = ::getpwnam("nobody");
    QVERIFY(nobody);
    SingleInstance probe(QStringLiteral("foreign"));
    // A holder that looks alive: this very process, under the lock's name.
    const QByteArray live = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                            QCoreApplication::applicationName().toUtf8() + '\n' +
                            QSysInfo::machineHostName().toUtf8() + '\n';
    auto leave = [&](bool otherUser) {
        QFile f(probe.lockPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(live);
        f.close();
        if (otherUser)
            QCOMPARE(::chown(QFile::encodeName(probe.lockPath()).constData(), nobody->pw_uid,
                             nobody->pw_gid),
                     0);
    };
    leave(false);
    QCOMPARE(probe.tryAcquire(), InstanceClaim::Running); // this user's own live lock still counts
    leave(true);
    QCOMPARE(probe.tryAcquire(), InstanceClaim::Acquired);
    QCOMPARE(QFileInfo(probe.lockPath()).ownerId(), ::geteuid());
#endif
}

void TstShared::lockOfAnotherHostIsTakenOver() {
    // Left in a home that several hosts share by a holder whose pid lives
    // here too (this very process): another host's holder cannot hold this
    // host's lock, alive or not.
    SingleInstance probe(QStringLiteral("elsewhere"));
    QFile f(probe.lockPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(QCoreApplication::applicationPid()) +
            "\nzuz\nanother-host.invalid\n");
    f.close();
    QCOMPARE(probe.tryAcquire(), InstanceClaim::Acquired);
}

void TstShared::releaseGivesTheChannelUpFirst() {
    // A start that takes the lock the moment it is free must find the
    // channel's name free too, or it runs deaf to every later start.
    SingleInstance first(QStringLiteral("handover"));
    QCOMPARE(first.tryAcquire(), InstanceClaim::Acquired);
    if (!first.listen([](const QString&) { return QByteArray("ok"); }))
        QSKIP("no channel on this platform");
    first.release();
    QVERIFY(!QFileInfo::exists(first.channelPath()));
    SingleInstance next(QStringLiteral("handover"));
    QCOMPARE(next.tryAcquire(), InstanceClaim::Acquired);
    QVERIFY(next.listen([](const QString&) { return QByteArray("ok"); }));
}

void TstShared::everySpellingOfADisplayIsOneSession_data() {
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("otherWayland");
    QTest::addColumn<QString>("otherDisplay");
    QTest::addColumn<bool>("same");
    // Two processes' environments: WAYLAND_DISPLAY and DISPLAY of each.
    const QList<std::tuple<const char*, QString, QString, QString, QString, bool>> rows = {
        {":0 and :0.0", "", ":0", "", ":0.0", true},
        {":0 and unix:0.1", "", ":0", "", "unix:0.1", true},
        {":0 and :1", "", ":0", "", ":1", false},
        {"remote host, local server", "", "far:0", "", ":0", false},
        {"remote host in any case", "", "Far:0.0", "", "far:0", true},
        {"socket by name and by path", "wayland-0", "", "/run/user/7/wayland-0", "", true},
        {"compositor and its Xwayland", "wayland-0", ":0", "wayland-0", ":1", true},
        {"compositor and X alone", "wayland-0", ":0", "", ":0", false},
        {"no display and one", "", "", "", ":0", false},
    };
    for (const auto& [name, wayland, display, otherWayland, otherDisplay, same] : rows)
        QTest::newRow(name) << wayland << display << otherWayland << otherDisplay << same;
}

void TstShared::everySpellingOfADisplayIsOneSession() {
    QFETCH(QString, wayland);
    QFETCH(QString, display);
    QFETCH(QString, otherWayland);
    QFETCH(QString, otherDisplay);
    QFETCH(bool, same);
    const auto lockOf = [](const QString& w, const QString& d) {
        const std::string session =
            instanceaddress::displaySession(w.toStdString(), d.toStdString(), "/run/user/7/");
        return instanceaddress::lockFile("/run/user/7", "zuz", session);
    };
    QCOMPARE(lockOf(wayland, display) == lockOf(otherWayland, otherDisplay), same);
}

void TstShared::lockThatCannotBeMadeIsNoInstance() {
    // A name the file system refuses, whoever runs the test.
    SingleInstance tooLong(QString(300, QLatin1Char('n')));
    QCOMPARE(tooLong.tryAcquire(), InstanceClaim::Failed);
    QVERIFY2(tooLong.failure().contains(tooLong.lockPath()), qPrintable(tooLong.failure()));
    QVERIFY2(tooLong.failure().size() > tooLong.lockPath().size(), qPrintable(tooLong.failure()));
#ifndef Q_OS_WIN
    if (::geteuid() == 0) return; // root writes into a read-only folder
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::ExeOwner);
    SingleInstance readOnly(QStringLiteral("read-only"));
    const InstanceClaim claim = readOnly.tryAcquire();
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(claim, InstanceClaim::Failed);
    QVERIFY2(!readOnly.failure().isEmpty(), "no reason given");
#endif
}

void TstShared::timerWithIntervalZeroNeverTicks() {
    VbTimer t(0);
    QSignalSpy ticks(&t, &VbTimer::Timer);
    t.setEnabled(true);
    QVERIFY(t.Enabled());
    QVERIFY(!t.isTicking());
    QTest::qWait(30);
    QCOMPARE(ticks.count(), 0);
    t.setInterval(5);
    QTRY_VERIFY(ticks.count() > 0);
}

void TstShared::timerKeepsSwitchAndInterval() {
    VbTimer t(50);
    QVERIFY(!t.isTicking());
    t.setInterval(0);
    t.setInterval(100);
    QVERIFY(!t.isTicking()); // an interval alone does not switch it on
    t.setEnabled(true);
    QVERIFY(t.isTicking());
    t.setInterval(0);
    QVERIFY(t.Enabled());
    QVERIFY(!t.isTicking());
    t.setEnabled(false);
    t.setInterval(20);
    QVERIFY(!t.isTicking());
}

void TstShared::switchingOnAgainKeepsThePeriod() {
    VbTimer t(40);
    QSignalSpy ticks(&t, &VbTimer::Timer);
    t.setEnabled(true);
    QElapsedTimer clock;
    clock.start();
    // Switched on again far more often than it ticks: it must still tick.
    while (ticks.isEmpty() && clock.elapsed() < 2000) {
        t.setEnabled(true);
        QTest::qWait(2);
    }
    QVERIFY(!ticks.isEmpty());
}

QTEST_MAIN(TstShared)
#include "tst_shared.moc"
