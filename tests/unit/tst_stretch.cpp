#include "fakes.h"
#include "shared/stretch.h"

#include <QPainter>
#include <QTest>

#include <cmath>

class TstStretch : public QObject {
    Q_OBJECT
  private slots:
    void eachPixelTakesTheSourceUnderItsCentre_data();
    void eachPixelTakesTheSourceUnderItsCentre();
    void touchesOnlyTheClipInsideTheTarget();
    void aPainterThatCouldNotBeginDrawsNothing();
};

void TstStretch::eachPixelTakesTheSourceUnderItsCentre_data() {
    QTest::addColumn<QRectF>("target");
    QTest::addColumn<QRectF>("source");
    QTest::newRow("2x of the middle") << QRectF(-32, -24, 128, 96) << QRectF(0, 0, 64, 48);
    QTest::newRow("1.5x from an offset") << QRectF(-10, -7.5, 96, 72) << QRectF(0, 0, 64, 48);
    QTest::newRow("vertical only") << QRectF(0, -24, 64, 96) << QRectF(0, 0, 64, 48);
    QTest::newRow("push-pull sliver") << QRectF(0, 0, 64, 48) << QRectF(30.5, 22.5, 3, 2.25);
    QTest::newRow("shrunk") << QRectF(3, 2, 40, 30) << QRectF(0, 0, 64, 48);
    QTest::newRow("8x") << QRectF(-200, -150, 512, 384) << QRectF(0, 0, 64, 48);
}

void TstStretch::eachPixelTakesTheSourceUnderItsCentre() {
    QFETCH(QRectF, target);
    QFETCH(QRectF, source);
    const QImage src = codedPattern(64, 48);
    QImage dst(64, 48, QImage::Format_ARGB32_Premultiplied);
    dst.fill(Qt::transparent);
    stretch::stretchNearest(dst, dst.rect(), target, src, source);
    for (int y = 0; y < dst.height(); ++y) {
        for (int x = 0; x < dst.width(); ++x) {
            const QPointF centre(x + 0.5, y + 0.5);
            if (!target.contains(centre)) {
                QCOMPARE(dst.pixel(x, y), 0u);
                continue;
            }
            const double sx =
                source.x() + (centre.x() - target.x()) * source.width() / target.width();
            const double sy =
                source.y() + (centre.y() - target.y()) * source.height() / target.height();
            const QRgb got = dst.pixel(x, y);
            QCOMPARE(qAlpha(got), 255);
            QCOMPARE(decodePattern(got), QPoint(int(std::floor(sx)), int(std::floor(sy))));
        }
    }
}

void TstStretch::touchesOnlyTheClipInsideTheTarget() {
    const QImage src = codedPattern(64, 48);
    QImage dst(64, 48, QImage::Format_RGB32);
    dst.fill(Qt::white);
    const QRect clip(10, 10, 20, 5);
    stretch::stretchNearest(dst, clip, QRectF(-32, -24, 128, 96), src, src.rect());
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (!clip.contains(x, y)) QCOMPARE(dst.pixel(x, y), qRgb(255, 255, 255));
    QCOMPARE(decodePattern(dst.pixel(10, 10)), QPoint(16 + 5, 12 + 5));
    QVERIFY(stretch::supports(dst, src));
    QVERIFY(!stretch::supports(dst, src.convertToFormat(QImage::Format_ARGB32)));
}

void TstStretch::aPainterThatCouldNotBeginDrawsNothing() {
    // As on a window in pixels the toolkit cannot paint (an 8-bit screen):
    // the painter never became active.
    QPainter idle;
    const QImage src = codedPattern(8, 8);
    stretch::paintStretched(idle, QRegion(0, 0, 16, 16), QRectF(0, 0, 16, 16), src, src.rect());
    stretch::paintStretchedOn(idle, QRegion(0, 0, 16, 16), QRectF(0, 0, 16, 16), src, src.rect(),
                              Qt::white);
}

QTEST_APPLESS_MAIN(TstStretch)
#include "tst_stretch.moc"
