// The view's requests for pictures of its monitor, and their answers.
#include "fakes.h"
#include "magnifier/viewcapture.h"

#include <QSignalSpy>
#include <QTest>

using Purpose = ViewCapture::Purpose;

class TstViewCapture : public QObject {
    Q_OBJECT
  private slots:
    void thePictureIsTheMonitorsArea_data();
    void thePictureIsTheMonitorsArea();
    void oneRequestPerPurposeIsOut();
    void aFailureIsSaidOnceAndLeavesNoPicture();
};

void TstViewCapture::thePictureIsTheMonitorsArea_data() {
    QTest::addColumn<QRect>("monitor");
    QTest::newRow("1024x768 at the origin") << QRect(0, 0, 1024, 768);
    QTest::newRow("odd size") << QRect(0, 0, 1366, 767);
    QTest::newRow("a second monitor to the right") << QRect(1024, 0, 800, 600);
    QTest::newRow("a monitor below and left") << QRect(100, 768, 640, 480);
    QTest::newRow("an area inside") << QRect(10, 20, 30, 40);
    QTest::newRow("no area") << QRect(0, 0, 0, 10);
}

// Every device pixel of the monitor, from its corner; nothing for no area.
void TstViewCapture::thePictureIsTheMonitorsArea() {
    QFETCH(QRect, monitor);
    FakeScreenGrabber grabber(QSize(2000, 1400));
    ViewCapture capture(grabber, nullptr);
    QSignalSpy captured(&capture, &ViewCapture::captured);
    QVERIFY(capture.request(monitor, Purpose::View));
    QCOMPARE(captured.size(), 1);
    QCOMPARE(captured[0][0].value<Purpose>(), Purpose::View);
    const auto pic = captured[0][1].value<Picture>();
    if (monitor.isEmpty()) {
        QVERIFY(pic.isNull());
        return;
    }
    QCOMPARE(pic.size(), monitor.size());
    QCOMPARE(decodePattern(pic.pixel(0, 0)), monitor.topLeft());
    QCOMPARE(decodePattern(pic.pixel(monitor.width() - 1, monitor.height() - 1)),
             monitor.bottomRight());
}

// While the desktop takes its time, a second request of the same purpose
// is dropped; others go out and are answered in their order.
void TstViewCapture::oneRequestPerPurposeIsOut() {
    FakeScreenGrabber grabber({300, 200});
    grabber.answering = FakeScreenGrabber::Answering::Held;
    ViewCapture capture(grabber, nullptr);
    QSignalSpy captured(&capture, &ViewCapture::captured);
    QVERIFY(capture.request({0, 0, 30, 40}, Purpose::View));
    QVERIFY(!capture.request({0, 0, 30, 40}, Purpose::View));
    QVERIFY(capture.request({0, 0, 30, 40}, Purpose::Editor));
    QVERIFY(capture.pending(Purpose::View));
    QCOMPARE(grabber.held(), 2);
    QCOMPARE(captured.size(), 0);
    grabber.release();
    QCOMPARE(captured.size(), 2);
    QCOMPARE(captured[0][0].value<Purpose>(), Purpose::View);
    QCOMPARE(captured[1][0].value<Purpose>(), Purpose::Editor);
    QVERIFY(!capture.pending(Purpose::View));
    QVERIFY(capture.request({0, 0, 30, 40}, Purpose::View));
}

void TstViewCapture::aFailureIsSaidOnceAndLeavesNoPicture() {
    FakeScreenGrabber grabber({300, 200});
    ViewCapture capture(grabber, nullptr);
    // Another asker of the same grabber is none of the view's business.
    grabber.request({0, 0, 10, 10}, &grabber);
    QSignalSpy captured(&capture, &ViewCapture::captured);
    QSignalSpy failed(&capture, &ViewCapture::failed);
    grabber.failure = QStringLiteral("no screenshot service");
    QVERIFY(capture.request({0, 0, 30, 40}, Purpose::Again));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed[0][1].toString(), QStringLiteral("no screenshot service"));
    QCOMPARE(captured.size(), 1);
    QVERIFY(captured[0][1].value<Picture>().isNull());
    QVERIFY(capture.request({0, 0, 30, 40}, Purpose::Again));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(captured[1][1].value<Picture>().size(), QSize(30, 40));
}

QTEST_MAIN(TstViewCapture)
#include "tst_viewcapture.moc"
