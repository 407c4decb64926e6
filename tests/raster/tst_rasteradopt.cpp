#include "raster/blit.h"
#include "raster/surface.h"

#include <QTest>

#include <vector>

using namespace raster;

namespace {

constexpr int W = 9;
constexpr int H = 6;

// Memory that a captured picture wraps, as a shared-memory segment is: the
// picture gives it back through its cleanup function.
struct Segment {
    std::vector<quint32> pixels = std::vector<quint32>(W * H);
    int released = 0;

    Segment() {
        // The byte RGB ignores is left clear, as captures leave it.
        for (int i = 0; i < W * H; ++i)
            pixels[i] = 0x00010203u * quint32(i + 1);
    }
    uchar* bytes() { return reinterpret_cast<uchar*>(pixels.data()); }
    QImage picture() {
        return QImage(
            bytes(), W, H, W * 4, QImage::Format_RGB32,
            [](void* s) { ++static_cast<Segment*>(s)->released; }, this);
    }
};

bool allOpaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]) != 0xFF)
                return false;
    return true;
}

const uchar readOnly[W * H * 4] = {0x11, 0x22, 0x33, 0x00, 0x44, 0x55, 0x66, 0x00};

} // namespace

class TestRasterAdopt : public QObject {
    Q_OBJECT

  private slots:
    void capturedPictureIsDrawnOnInPlace() {
        QVERIFY(!Surface::adopt(QImage()));
        Segment segment;
        auto s = Surface::adopt(segment.picture());
        QVERIFY(s);
        QCOMPARE(s->image().constBits(), segment.bytes());
        QVERIFY(allOpaque(s->image()));
        QCOMPARE(s->pixel(QPoint(1, 0)), fromRgb(0x020406));
        {
            // Held against the rules: still no operation may move the pixels.
            const QImage held = s->image();
            s->fillRect(QRect(0, 0, 2, 2), 0x0000FF);
            blt(s.get(), 0, 0, W, H, s.get(), 0, 0, Rop::NotCopy);
            blt(s.get(), 1, 1, 4, 4, s.get(), 0, 0, Rop::Copy);
            s->moveTo(QPoint(0, 5));
            s->lineTo(QPoint(8, 5), White, 1);
            s->drawAntiDiagonals(0, 8, 30, Black);
            s->setFormat(Format::Mono);
            QCOMPARE(s->format(), Format::Colour);
            QCOMPARE(s->image().constBits(), segment.bytes());
            QCOMPARE(held.constBits(), segment.bytes());
            QCOMPARE(segment.pixels[W * 5 + 4], 0xFFFFFFFFu);
            QCOMPARE(segment.pixels[W * 1 + 1], 0xFF00FFFFu); // the red fill, inverted
            QCOMPARE(segment.pixels[7], 0xFF000000u);
        }
        QCOMPARE(segment.released, 0);
        s.reset();
        QCOMPARE(segment.released, 1);
    }

    void pictureItCannotOwnIsCopiedOnce_data() {
        QTest::addColumn<QImage>("picture");
        static Segment segment;
        // The table's own copy is the other holder.
        QTest::newRow("held elsewhere") << segment.picture();
        QTest::newRow("read-only memory") << QImage(readOnly, W, H, W * 4, QImage::Format_RGB32);
        QImage argb(W, H, QImage::Format_ARGB32);
        QImage rgb(W, H, QImage::Format_RGB888);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                argb.setPixel(x, y, qRgb(x * 20, y * 30, 200));
                rgb.setPixel(x, y, qRgb(255 - x, y, x * y));
            }
        QTest::newRow("with alpha") << argb;
        QTest::newRow("24-bit") << rgb;
    }

    void pictureItCannotOwnIsCopiedOnce() {
        QFETCH(QImage, picture);
        const QImage before = picture.copy();
        auto s = Surface::adopt(picture);
        QVERIFY(s);
        QVERIFY(s->image().constBits() != picture.constBits());
        QCOMPARE(s->image().format(), QImage::Format_RGB32);
        QVERIFY(allOpaque(s->image()));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                QCOMPARE(s->pixel(QPoint(x, y)), fromRgb(before.pixel(x, y)));
        s->fillRect(QRect(0, 0, W, H), White);
        QCOMPARE(picture, before);
    }
};

QTEST_APPLESS_MAIN(TestRasterAdopt)
#include "tst_rasteradopt.moc"
