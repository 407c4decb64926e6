#include "capture/picturefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_picturefile : public QObject {
    Q_OBJECT
  private slots:
    void names_data();
    void names();
    void secondInOneSecondNeverOverwrites();
    void folderBlockedByAFile();
};

void tst_picturefile::names_data() {
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("name");
    const QDateTime t(QDate(2026, 1, 2), QTime(3, 4, 5));
    QTest::newRow("first") << t << 1 << QStringLiteral("截图 2026-01-02 03.04.05");
    QTest::newRow("second") << t << 2 << QStringLiteral("截图 2026-01-02 03.04.05 (2)");
    QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << 11
                               << QStringLiteral("截图 2026-12-31 23.59.59 (11)");
}

void tst_picturefile::names() {
    QFETCH(QDateTime, when);
    QFETCH(int, n);
    QFETCH(QString, name);
    QCOMPARE(picturefile::baseName(when, n), name);
}

void tst_picturefile::secondInOneSecondNeverOverwrites() {
    QTemporaryDir tmp;
    // Missing, two levels deep: made on the way.
    const QString folder = tmp.filePath(QStringLiteral("home/Pictures"));
    const QDateTime t(QDate(2026, 5, 6), QTime(7, 8, 9));
    QImage a(3, 2, QImage::Format_RGB32);
    a.fill(qRgb(10, 20, 30));
    a.setPixel(2, 1, qRgb(250, 1, 2));
    QImage b(1, 1, QImage::Format_RGB32);
    b.fill(Qt::white);

    const picturefile::Result first = picturefile::save(a, folder, t);
    QCOMPARE(first.outcome, picturefile::Outcome::Saved);
    QCOMPARE(first.path, QDir(folder).filePath(QStringLiteral("截图 2026-05-06 07.08.09.png")));
    const picturefile::Result second = picturefile::save(b, folder, t);
    QCOMPARE(second.outcome, picturefile::Outcome::Saved);
    QCOMPARE(second.path,
             QDir(folder).filePath(QStringLiteral("截图 2026-05-06 07.08.09 (2).png")));
    QCOMPARE(QImage(first.path).convertToFormat(QImage::Format_RGB32), a);
    QCOMPARE(QImage(second.path).convertToFormat(QImage::Format_RGB32), b);
    QCOMPARE(QDir(folder).count(), 4u); // with . and ..
}

void tst_picturefile::folderBlockedByAFile() {
    QTemporaryDir tmp;
    const QString blocked = tmp.filePath(QStringLiteral("Pictures"));
    QFile f(blocked);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    QImage a(2, 2, QImage::Format_RGB32);
    a.fill(Qt::red);
    const picturefile::Result r = picturefile::save(a, blocked, QDateTime::currentDateTime());
    QCOMPARE(r.outcome, picturefile::Outcome::NoFolder);
    QCOMPARE(r.path, blocked);
    QCOMPARE(QFileInfo(blocked).size(), 1);
}

QTEST_GUILESS_MAIN(tst_picturefile)
#include "tst_picturefile.moc"
