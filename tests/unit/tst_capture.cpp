#include "capture.h"
#include "fakes.h"

#include <QTest>

class TstCapture : public QObject {
    Q_OBJECT
  private slots:
    void captureScreenIsScreenSized_data();
    void captureScreenIsScreenSized();
    void captureWindowCopiesTheArea();
    void captureRect_data();
    void captureRect();
    void captureRectLeavesSourceAlone();
    void bitmapToPictureReportsEmpty();
};

void TstCapture::captureScreenIsScreenSized_data() {
    QTest::addColumn<QRect>("monitor");
    QTest::newRow("1024x768 at the origin") << QRect(0, 0, 1024, 768);
    QTest::newRow("odd size") << QRect(0, 0, 1366, 767);
    QTest::newRow("a second monitor to the right") << QRect(1024, 0, 800, 600);
    QTest::newRow("a monitor below and left") << QRect(100, 768, 640, 480);
}

// The capture is the monitor's own pixel count, whatever its twips per
// pixel, and starts at its corner.
void TstCapture::captureScreenIsScreenSized() {
    QFETCH(QRect, monitor);
    FakeScreenGrabber grabber(QSize(2000, 1400));
    const Picture pic = CaptureScreen(grabber, monitor);
    QCOMPARE(pic.size(), monitor.size());
    QCOMPARE(decodePattern(pic.pixel(0, 0)), monitor.topLeft());
    QCOMPARE(decodePattern(pic.pixel(monitor.width() - 1, monitor.height() - 1)),
             monitor.bottomRight());
}

void TstCapture::captureWindowCopiesTheArea() {
    FakeScreenGrabber grabber({300, 200});
    const Picture pic = CaptureWindow(grabber, 0, false, 10, 20, 30, 40);
    QCOMPARE(pic.size(), QSize(30, 40));
    QCOMPARE(decodePattern(pic.pixel(0, 0)), QPoint(10, 20));
    QCOMPARE(decodePattern(pic.pixel(29, 39)), QPoint(39, 59));
    QVERIFY(CaptureWindow(grabber, 0, false, 0, 0, 0, 10).isNull());
}

void TstCapture::captureRect_data() {
    QTest::addColumn<RectL>("rect");
    QTest::addColumn<int>("status");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("firstPixel"); // (-1,-1): black
    QTest::newRow("inside") << RectL{5, 6, 25, 16} << 1 << QSize(20, 10) << QPoint(5, 6);
    QTest::newRow("zero width") << RectL{7, 7, 7, 20} << 1 << QSize(1, 1) << QPoint(-1, -1);
    QTest::newRow("zero height") << RectL{7, 7, 20, 7} << 1 << QSize(1, 1) << QPoint(-1, -1);
    QTest::newRow("reversed") << RectL{20, 7, 10, 17} << 0 << QSize() << QPoint();
    QTest::newRow("off the left") << RectL{-4, 0, 6, 5} << 1 << QSize(10, 5) << QPoint(-1, -1);
    QTest::newRow("overflowing width")
        << RectL{-2147483647, 0, 2147483647, 1} << 0 << QSize() << QPoint();
}

void TstCapture::captureRect() {
    QFETCH(RectL, rect);
    QFETCH(int, status);
    QFETCH(QSize, size);
    QFETCH(QPoint, firstPixel);
    const QImage source = codedPattern(64, 48);
    Picture pic = codedPattern(2, 2); // must be replaced whatever happens
    QCOMPARE(CaptureRect(source, rect, pic), status);
    if (status == 0) {
        QVERIFY(pic.isNull());
        return;
    }
    QCOMPARE(pic.size(), size);
    if (firstPixel == QPoint(-1, -1))
        QCOMPARE(pic.pixel(0, 0), qRgb(0, 0, 0));
    else
        QCOMPARE(decodePattern(pic.pixel(0, 0)), firstPixel);
}

void TstCapture::captureRectLeavesSourceAlone() {
    const QImage source = codedPattern(64, 48);
    const QImage before = source.copy();
    Picture a, b;
    QCOMPARE(CaptureRect(source, {0, 0, 64, 48}, a), 1);
    QCOMPARE(CaptureRect(source, {0, 0, 64, 48}, b), 1);
    QCOMPARE(a, before);
    QCOMPARE(b, before);
    QCOMPARE(source, before);
}

void TstCapture::bitmapToPictureReportsEmpty() {
    Picture pic = codedPattern(2, 2);
    QCOMPARE(BitmapToPicture(QImage(), pic), 0);
    QVERIFY(pic.isNull());
    QCOMPARE(BitmapToPicture(codedPattern(3, 3), pic), 1);
    QCOMPARE(pic.size(), QSize(3, 3));
}

QTEST_MAIN(TstCapture)
#include "tst_capture.moc"
