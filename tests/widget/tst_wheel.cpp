// Zooming with the wheel about the pointer.
#include "formrig.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {
void wheel(QWidget& w, QPoint pos, int delta) {
    QWheelEvent e(QPointF(pos), w.mapToGlobal(QPointF(pos)), QPoint(0, delta / 8), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
}

// The picture's rectangle in device pixels.
QRectF devicePicture(const Frmpictd& f) {
    const units::Screen s = f.screen();
    return {s.toDeviceX(f.Imadpic.Left), s.toDeviceY(f.Imadpic.Top), s.toDeviceX(f.Imadpic.Width),
            s.toDeviceY(f.Imadpic.Height)};
}

// Where in the picture (in its own pixels) a window pixel's centre falls.
QPointF pictureAt(const Frmpictd& f, QPoint windowPx) {
    const QRectF r = devicePicture(f);
    const QSizeF own = f.Imadpic.picture.size();
    return {(windowPx.x() + 0.5 - r.left()) * own.width() / r.width(),
            (windowPx.y() + 0.5 - r.top()) * own.height() / r.height()};
}

bool whole(double v) {
    return std::abs(v - std::round(v)) < 1e-6;
}

bool near(double a, double b) {
    return std::abs(a - b) < 0.5;
}
} // namespace

class TstWheel : public QObject {
    Q_OBJECT
  private slots:
    void notchesZoomAboutThePointer_data();
    void notchesZoomAboutThePointer();
    void fineDeltasAddUpToNotches();
    void menuSizesStillApply();
};

void TstWheel::notchesZoomAboutThePointer_data() {
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QSizeF>("size"); // expected, in device pixels
    QTest::addColumn<bool>("anchored");
    const QSize hd(1920, 1080);
    QTest::newRow("one notch up") << hd << false << QPoint(700, 300) << QList<int>{120}
                                  << QSizeF(4800, 2700) << true;
    QTest::newRow("one notch down")
        << hd << false << QPoint(1500, 900) << QList<int>{-120} << QSizeF(3072, 1728) << true;
    QTest::newRow("up and back lands on the start")
        << hd << false << QPoint(13, 1071) << QList<int>{120, 120, 120, -120, -120, -120}
        << QSizeF(3840, 2160) << true;
    QTest::newRow("two notches in one event")
        << hd << false << QPoint(960, 540) << QList<int>{240} << QSizeF(6000, 3375) << true;
    QTest::newRow("stops at 16x") << hd << false << QPoint(333, 777) << QList<int>(20, 120)
                                  << QSizeF(16 * 1920, 16 * 1080) << true;
    QTest::newRow("stops at the screen's size, covering it")
        << hd << false << QPoint(100, 100) << QList<int>(8, -120) << QSizeF(1920, 1080) << false;
    QTest::newRow("odd screen") << QSize(1023, 767) << false << QPoint(511, 2)
                                << QList<int>{120, 120, 120} << QSizeF(3996, 2996) << true;
    QTest::newRow("vertical only: the height alone")
        << hd << true << QPoint(400, 1000) << QList<int>{120} << QSizeF(1920, 2700) << true;
    QTest::newRow("vertical only: down to the screen")
        << hd << true << QPoint(400, 10) << QList<int>(5, -120) << QSizeF(1920, 1080) << false;
}

void TstWheel::notchesZoomAboutThePointer() {
    QFETCH(QSize, pixels);
    QFETCH(bool, vertical);
    QFETCH(QPoint, pointer);
    QFETCH(QList<int>, deltas);
    QFETCH(QSizeF, size);
    QFETCH(bool, anchored);
    FormRig rig(pixels);
    Frmpictd& f = *rig.form;
    if (vertical) f.mnzongxiangfd->trigger();
    for (int d : deltas) {
        const QSizeF was = devicePicture(f).size();
        const QPointF before = pictureAt(f, pointer);
        const QPoint shownBefore = rig.shownAt(pointer);
        wheel(f, pointer, d);
        const QRectF r = devicePicture(f);
        // Each step scales by the notch's factor, unless a limit stops it.
        const int n = d / 120;
        const double want = std::clamp(was.height() * std::pow(1.25, n), 1.0 * pixels.height(),
                                       16.0 * pixels.height());
        // Within half a pixel, and what the step's rounding to a 65536th
        // adds at large sizes.
        const double slack = 0.5 + want * want / pixels.height() / 65536 / 2;
        QVERIFY2(std::abs(r.height() - want) <= slack,
                 qPrintable(QStringLiteral("%1 after %2").arg(r.height()).arg(want)));
        // Whole positions, and steps the server holds exactly, so that both
        // drawing paths show the same pixels; the window stays covered.
        QVERIFY(whole(r.left()) && whole(r.top()));
        QVERIFY(whole(pixels.width() / r.width() * 65536) &&
                whole(pixels.height() / r.height() * 65536));
        QVERIFY(r.contains(QRectF(QPointF(0, 0), QSizeF(pixels))));
        if (anchored) {
            // The picture point under the pointer stays within a device pixel.
            const QPointF after = pictureAt(f, pointer);
            const double zoomX = r.width() / pixels.width(), zoomY = r.height() / pixels.height();
            QVERIFY2(std::abs(after.x() - before.x()) * zoomX <= 1.0 &&
                         std::abs(after.y() - before.y()) * zoomY <= 1.0,
                     qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)")
                                    .arg(before.x())
                                    .arg(before.y())
                                    .arg(after.x())
                                    .arg(after.y())));
            const QPoint shown = rig.shownAt(pointer);
            QVERIFY(std::abs(shown.x() - shownBefore.x()) <= 1 &&
                    std::abs(shown.y() - shownBefore.y()) <= 1);
        }
    }
    const QRectF r = devicePicture(f);
    QVERIFY2(std::abs(r.width() - size.width()) < 4 && std::abs(r.height() - size.height()) < 4,
             qPrintable(QStringLiteral("%1x%2").arg(r.width()).arg(r.height())));
    // And the pixel drawn there is the one the geometry says.
    const QPointF at = pictureAt(f, pointer);
    QCOMPARE(rig.shownAt(pointer), QPoint(int(std::floor(at.x())), int(std::floor(at.y()))));
}

void TstWheel::fineDeltasAddUpToNotches() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    const double start = devicePicture(f).width();
    for (int i = 0; i < 7; ++i)
        wheel(f, {512, 384}, 15);
    QCOMPARE(devicePicture(f).width(), start);
    wheel(f, {512, 384}, 15);
    QVERIFY(near(devicePicture(f).width(), start * 1.25));
    // Turning back drops what was left over: 7/8 down do nothing yet.
    wheel(f, {512, 384}, 60);
    for (int i = 0; i < 7; ++i)
        wheel(f, {512, 384}, -15);
    QVERIFY(near(devicePicture(f).width(), start * 1.25));
    wheel(f, {512, 384}, -15);
    QCOMPARE(devicePicture(f).width(), start);
}

void TstWheel::menuSizesStillApply() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    const units::Screen s = f.screen();
    wheel(f, {10, 10}, 360);
    f.mnsuoxiao->trigger(); // 1.5x
    QCOMPARE(f.Imadpic.Width, 1.5 * s.Width());
    QCOMPARE(f.Imadpic.Height, 1.5 * s.Height());
    wheel(f, {10, 10}, -120);
    QVERIFY(near(devicePicture(f).width(), 1228.8) && near(devicePicture(f).height(), 921.6));
    f.mnhiufuquesheng->trigger();
    QCOMPARE(f.Imadpic.Width, 2 * s.Width());
    // The custom-size buttons go on from a zoomed picture.
    wheel(f, {10, 10}, 120);
    const double w = f.Imadpic.Width;
    f.Command3->click();
    QCOMPARE(f.Imadpic.Width, w + 200);
}

QTEST_MAIN(TstWheel)
#include "tst_wheel.moc"
