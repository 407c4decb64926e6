#include "fakes.h"
#include "shared/capture.h"
#include "shared/platform/x11pixels.h"

#include <QTest>

#include <algorithm>
#include <bit>
#include <cstdlib>

Q_DECLARE_METATYPE(X11PixelLayout)

class TstCapture : public QObject {
    Q_OBJECT
  private slots:
    void captureRect_data();
    void captureRect();
    void captureRectLeavesSourceAlone();
    void bitmapToPictureReportsEmpty();
    void serverPixelsOfEveryDepth_data();
    void serverPixelsOfEveryDepth();
};

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

namespace {
// The bytes a server of `layout` sends for one row of `colours` per row,
// each channel rounded to its width, rows padded.
QByteArray encodeX11(const QVector<QRgb>& colours, int rows, const X11PixelLayout& l) {
    const auto channel = [](int value, std::uint32_t mask) {
        const int shift = std::countr_zero(mask);
        const std::uint32_t max = mask >> shift;
        return std::uint32_t((value * max + 127) / 255) << shift;
    };
    const int bytes = l.bitsPerPixel / 8;
    const std::size_t stride = l.bytesPerLine(int(colours.size()));
    QByteArray out(qsizetype(stride) * rows, char(0x5A));
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < colours.size(); ++x) {
            const QRgb c = colours[x];
            const std::uint32_t v = l.palette.isEmpty()
                                        ? channel(qRed(c), l.redMask) |
                                              channel(qGreen(c), l.greenMask) |
                                              channel(qBlue(c), l.blueMask)
                                        : std::uint32_t(l.palette.indexOf(c | 0xFF000000u));
            char* at = out.data() + stride * std::size_t(y) + std::size_t(x * bytes);
            for (int i = 0; i < bytes; ++i) {
                const int shift = 8 * (l.mostSignificantFirst ? bytes - 1 - i : i);
                at[i] = char((v >> shift) & 0xFF);
            }
        }
    }
    return out;
}

X11PixelLayout layout(int bpp, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                      bool msbFirst = false) {
    X11PixelLayout l;
    l.bitsPerPixel = bpp;
    l.redMask = r;
    l.greenMask = g;
    l.blueMask = b;
    l.mostSignificantFirst = msbFirst;
    return l;
}
} // namespace

void TstCapture::serverPixelsOfEveryDepth_data() {
    QTest::addColumn<X11PixelLayout>("layout");
    // Half a step of the narrowest channel: what rounding to it may cost.
    QTest::addColumn<int>("tolerance");
    QTest::newRow("24 bits in 32") << layout(32, 0xFF0000, 0xFF00, 0xFF) << 0;
    QTest::newRow("24 bits in 32, most significant byte first")
        << layout(32, 0xFF0000, 0xFF00, 0xFF, true) << 0;
    QTest::newRow("24 bits packed in 3 bytes") << layout(24, 0xFF0000, 0xFF00, 0xFF) << 0;
    QTest::newRow("30 bits") << layout(32, 0x3FF00000, 0xFFC00, 0x3FF) << 1;
    QTest::newRow("30 bits, blue high") << layout(32, 0x3FF, 0xFFC00, 0x3FF00000) << 1;
    QTest::newRow("16 bits, 5-6-5") << layout(16, 0xF800, 0x7E0, 0x1F) << 5;
    QTest::newRow("15 bits, 5-5-5, most significant byte first")
        << layout(16, 0x7C00, 0x3E0, 0x1F, true) << 5;
    X11PixelLayout mapped = layout(8, 0, 0, 0);
    mapped.palette = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(255, 255, 255),
                      qRgb(10, 200, 77)};
    QTest::newRow("8 bits, colour map") << mapped << 0;
}

// Each colour comes back as it was, within the channel widths, whatever
// the row padding: a grey stays grey, white stays white.
void TstCapture::serverPixelsOfEveryDepth() {
    QFETCH(X11PixelLayout, layout);
    QFETCH(int, tolerance);
    const QVector<QRgb> colours{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 0, 0),
                                qRgb(255, 255, 255), qRgb(10, 200, 77)};
    const int rows = 3;
    const QByteArray bytes = encodeX11(colours, rows, layout);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const QSize size(int(colours.size()), rows);
    const QImage got = decodeX11Pixels(data, std::size_t(bytes.size()), size, layout);
    QCOMPARE(got.size(), size);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < colours.size(); ++x) {
            const QRgb g = got.pixel(x, y), w = colours[x];
            const int worst =
                std::max({std::abs(qRed(g) - qRed(w)), std::abs(qGreen(g) - qGreen(w)),
                          std::abs(qBlue(g) - qBlue(w))});
            if (worst > tolerance || qAlpha(g) != 255)
                QFAIL(qPrintable(QStringLiteral("(%1,%2): got %3, want %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(g, 8, 16)
                                     .arg(w, 8, 16)));
        }
    }
    // A reply shorter than the picture gives none.
    QVERIFY(decodeX11Pixels(data, std::size_t(bytes.size()) - 1, size, layout).isNull());
}

QTEST_MAIN(TstCapture)
#include "tst_capture.moc"
