// What another program's clipboard may make the programs decode: PNG and
// BMP under their own types, within the bound their headers state, and
// nothing else, whatever decoders are installed. And a pick the clipboard
// does not take at once (another program holds it open) stays at hand,
// goes there as soon as it can, and is reported when it never can.
#include "region/picker/clipboardread.h"
#include "region/picker/clipboardreadtypes.h"
#include "region/picker/regionclipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QtTest>

namespace {
QByteArray encoded(const QImage& image, const char* format) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return out;
}

// The pixels are nearly all alike, so that large ones encode small.
QImage pattern(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(width - 1, height - 1, QColor(250, 5, 120));
    return image;
}

QByteArray png(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    return encoded(pattern(width, height, format), "PNG");
}
} // namespace

class TstRegionClipboard : public QObject {
    Q_OBJECT

  private slots:
    void onlyPngAndBmpWithinTheBound_data();
    void onlyPngAndBmpWithinTheBound();
    void toolkitsClipboardReadTheSameWay();
    void pickWaitsForTheClipboard();
};

void TstRegionClipboard::onlyPngAndBmpWithinTheBound_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("decodes");
    const QByteArray asPng = png(7, 5);
    const QByteArray asBmp = encoded(pattern(7, 5), "BMP");
    QTest::newRow("png") << QByteArray("image/png") << asPng << true;
    QTest::newRow("bmp") << QByteArray("image/x-bmp") << asBmp << true;
    // The content never chooses the decoder.
    QTest::newRow("png named tiff") << QByteArray("image/tiff") << asPng << false;
    QTest::newRow("png named bmp") << QByteArray("image/bmp") << asPng << false;
    QTest::newRow("ppm") << QByteArray("image/x-portable-pixmap") << encoded(pattern(7, 5), "PPM")
                         << false;
    // 5792 x 5792 at four bytes is just within 128 MiB, 5793 x 5793 beyond.
    const QByteArray type("image/png");
    QTest::newRow("largest square") << type << png(5792, 5792) << true;
    QTest::newRow("square beyond") << type << png(5793, 5793) << false;
    QTest::newRow("side beyond") << type << png(32768, 1) << false;
    // 16-bit channels decode to eight bytes a pixel.
    QTest::newRow("deep beyond") << type << png(4097, 4096, QImage::Format_RGBA64) << false;
    // Headers that claim 32512 x 32512 pixels over a few bytes.
    QByteArray claim = png(3, 3);
    claim[18] = claim[22] = 0x7f;
    QTest::newRow("png claimed") << type << claim << false;
    QByteArray bmp = encoded(pattern(3, 3), "BMP");
    bmp[19] = bmp[23] = 0x7f;
    QTest::newRow("bmp claimed") << QByteArray("image/bmp") << bmp << false;
}

void TstRegionClipboard::onlyPngAndBmpWithinTheBound() {
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, decodes);
    // Without the image readers' own limit, so that the bound shown is
    // this one's: nothing else decodes in this process meanwhile.
    const int usual = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    const QImage got = clipboardpicture::decode(data, type);
    QImageReader::setAllocationLimit(usual);
    QCOMPARE(!got.isNull(), decodes);
    if (decodes && got.width() == 7)
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32), pattern(7, 5));
}

void TstRegionClipboard::toolkitsClipboardReadTheSameWay() {
    // Where the window system has no reader of its own, the toolkit's
    // clipboard is read, with the same types.
    if (makeClipboardPictureReader())
        QSKIP("this window system's clipboard has a reader of its own, tested beside it");
    SystemClipboard clipboard;
    QClipboard* c = QGuiApplication::clipboard();
    if (c->ownsClipboard()) QSKIP("this platform's clipboard is always the program's own");
    auto* tiff = new QMimeData;
    tiff->setData(QStringLiteral("image/tiff"), png(7, 5));
    c->setMimeData(tiff);
    QImage got{1, 1, QImage::Format_RGB32};
    clipboard.requestBitmap(this, [&](const QImage& image) { got = image; });
    QTRY_VERIFY(got.isNull());
    QVERIFY(!clipboard.hasBitmap());

    auto* good = new QMimeData;
    good->setData(QStringLiteral("image/tiff"), png(9, 9));
    good->setData(QStringLiteral("image/png"), png(7, 5));
    c->setMimeData(good);
    clipboard.requestBitmap(this, [&](const QImage& image) { got = image; });
    QTRY_COMPARE(got.convertToFormat(QImage::Format_RGB32), pattern(7, 5));
}

void TstRegionClipboard::pickWaitsForTheClipboard() {
    int refusals = 3, tries = 0, reports = 0;
    QImage placed;
    OwnPicture own(
        [&](const QImage& image) {
            ++tries;
            if (refusals-- > 0) return false;
            placed = image;
            return true;
        },
        [&] { ++reports; });
    own.set(pattern(7, 5));
    QCOMPARE(own.state(), OwnPicture::State::Waiting);
    QCOMPARE(own.picture(), pattern(7, 5));
    QTRY_COMPARE_WITH_TIMEOUT(own.state(), OwnPicture::State::Placed,
                              4 * OwnPicture::kRetryMs + 5000);
    QCOMPARE(placed, pattern(7, 5));
    QCOMPARE(tries, 4);

    // Never taken: reported once, and still at hand.
    refusals = 1000;
    own.set(pattern(3, 3));
    QTRY_COMPARE_WITH_TIMEOUT(own.state(), OwnPicture::State::Unreached,
                              OwnPicture::kGiveUpMs + 10000);
    QCOMPARE(reports, 1);
    QCOMPARE(own.picture(), pattern(3, 3));
    // Another program's content arriving: it is theirs.
    own.forget();
    QCOMPARE(own.state(), OwnPicture::State::None);
}

QTEST_MAIN(TstRegionClipboard)
#include "tst_regionclipboard.moc"
