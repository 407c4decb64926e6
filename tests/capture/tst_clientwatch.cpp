// The capture program's watch on the programs it serves, on real child
// processes: this test program, started again as a child that lives until
// its input closes.
#include "capture/clientwatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr char kChildArgument[] = "--child-until-input-closes";
// Set in the copy of this test that runs in a process-id namespace of its
// own, where the next id handed out can be chosen.
constexpr char kInNamespace[] = "ZUZ_TEST_OWN_PID_NAMESPACE";

struct Child {
    Child() {
        process.start(QCoreApplication::applicationFilePath(),
                      {QString::fromLatin1(kChildArgument)});
        ok = process.waitForStarted(10000);
    }
    ~Child() {
        process.closeWriteChannel();
        process.waitForFinished(10000);
    }
    // Ends the child and waits until the system has let go of its id.
    bool end() {
        process.closeWriteChannel();
        return process.waitForFinished(10000) && process.exitCode() == 0;
    }
    QProcess process;
    bool ok = false;
};
} // namespace

class tst_clientwatch : public QObject {
    Q_OBJECT
  private slots:
    void aClientsEndIsSeenBeforeAndAfterTheWatchIsBuilt();
    void aClientWhoseIdGoesToAnotherIsSeenEnded();
};

void tst_clientwatch::aClientsEndIsSeenBeforeAndAfterTheWatchIsBuilt() {
    Child early;
    Child later;
    QVERIFY(early.ok && later.ok);
    // Both opened as the program starts; one ends while the rest of the
    // program starts up, and its id is free for another process.
    ClientProcess gone = ClientProcess::open(early.process.processId());
    ClientProcess running = ClientProcess::open(later.process.processId());
    QVERIFY(early.end());
    ClientWatch watch;
    QSignalSpy ends(&watch, &ClientWatch::clientEnded);
    QVERIFY(!watch.add(std::move(gone)));
    QVERIFY(watch.add(std::move(running)));
    QCOMPARE(watch.count(), 1);
    QVERIFY(later.end());
    QTRY_COMPARE(ends.count(), 1);
    QCOMPARE(watch.count(), 0);
}

void tst_clientwatch::aClientWhoseIdGoesToAnotherIsSeenEnded() {
    if (!qEnvironmentVariableIsSet(kInNamespace)) {
        // Ids are handed out in turn; only in a namespace of its own can a
        // test have the ended client's id given to the next process.
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty()) QSKIP("no unshare here to make a process-id namespace");
        QProcess inner;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kInNamespace), QStringLiteral("1"));
        inner.setProcessEnvironment(env);
        inner.setProcessChannelMode(QProcess::MergedChannels);
        inner.start(unshare,
                    {QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                     QStringLiteral("--pid"), QStringLiteral("--fork"),
                     QStringLiteral("--mount-proc"), QCoreApplication::applicationFilePath(),
                     QStringLiteral("aClientWhoseIdGoesToAnotherIsSeenEnded")});
        QVERIFY(inner.waitForFinished(60000));
        const QByteArray out = inner.readAll();
        if (out.contains("unshare:")) QSKIP(qPrintable("no namespace here: " + out.trimmed()));
        if (out.contains("SKIP   :")) QSKIP(qPrintable(out.trimmed()));
        QVERIFY2(inner.exitCode() == 0 && out.contains("PASS   : tst_clientwatch::aClient"),
                 out.constData());
        return;
    }
    QFile nextId(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
    Child child;
    QVERIFY(child.ok);
    const qint64 id = child.process.processId();
    ClientProcess client = ClientProcess::open(id);
    QVERIFY(child.end());
    // Another process gets the ended client's id. A thread started meanwhile
    // may take it first: then the next try.
    std::unique_ptr<Child> stranger;
    for (int tries = 0; tries < 10 && !(stranger && stranger->process.processId() == id); ++tries) {
        if (!nextId.open(QIODevice::WriteOnly)) QSKIP("the next process id cannot be chosen here");
        nextId.write(QByteArray::number(id - 1));
        nextId.close();
        stranger = std::make_unique<Child>();
    }
    QVERIFY(stranger && stranger->ok);
    QCOMPARE(stranger->process.processId(), id);

    ClientWatch watch;
    QVERIFY(!watch.add(std::move(client)));
    QCOMPARE(watch.count(), 0);
    // By its id alone, the stranger would be watched in its place.
    QVERIFY(watch.add(id));
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChildArgument) == 0) {
        while (std::fgetc(stdin) != EOF) {
        }
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_clientwatch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clientwatch.moc"
