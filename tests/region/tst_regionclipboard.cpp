// What another program's clipboard may make the region window decode: PNG
// and BMP under their own types, within the bound their headers state, and
// nothing else, whatever decoders are installed. And a pick the clipboard
// does not take at once (another program holds it open) stays at hand,
// goes there as soon as it can, and is reported when it never can.
#include "clipboardreadtypes.h"
#include "regionclipboard.h"

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

QImage pattern(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(width - 1, height - 1, QColor(250, 5, 120));
    return image;
}

// A picture of the stated size that decodes: the pixels are all alike, so
// large ones stay small.
QByteArray png(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    return encoded(pattern(width, height, format), "PNG");
}
} // namespace

class TstRegionClipboard : public QObject {
    Q_OBJECT

  private slots:
    void onlyPngAndBmpUnderTheirOwnTypes_data();
    void onlyPngAndBmpUnderTheirOwnTypes();
    void boundReadFromTheHeader_data();
    void boundReadFromTheHeader();
    void toolkitsClipboardReadTheSameWay();
    void pickWaitsForTheClipboard();
    void pickTheClipboardNeverTakesIsReported();
};

void TstRegionClipboard::onlyPngAndBmpUnderTheirOwnTypes_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("decodes");
    const QImage picture = pattern(7, 5);
    const QByteArray asPng = encoded(picture, "PNG");
    const QByteArray asBmp = encoded(picture, "BMP");
    QTest::newRow("png") << QByteArray("image/png") << asPng << true;
    QTest::newRow("bmp") << QByteArray("image/bmp") << asBmp << true;
    QTest::newRow("x-bmp") << QByteArray("image/x-bmp") << asBmp << true;
    // The content never chooses the decoder.
    QTest::newRow("png named tiff") << QByteArray("image/tiff") << asPng << false;
    QTest::newRow("png named bmp") << QByteArray("image/bmp") << asPng << false;
    QTest::newRow("bmp named png") << QByteArray("image/png") << asBmp << false;
    QTest::newRow("ppm named ppm")
        << QByteArray("image/x-portable-pixmap") << encoded(picture, "PPM") << false;
    QTest::newRow("truncated png") << QByteArray("image/png") << asPng.left(40) << false;
}

void TstRegionClipboard::onlyPngAndBmpUnderTheirOwnTypes() {
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, decodes);
    const QImage got = clipboardpicture::decode(data, type);
    QCOMPARE(!got.isNull(), decodes);
    if (decodes) QCOMPARE(got.convertToFormat(QImage::Format_RGB32), pattern(7, 5));
}

void TstRegionClipboard::boundReadFromTheHeader_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("decodes");
    // 5792 x 5792 at four bytes is just within 128 MiB, 5793 x 5793 beyond.
    QTest::newRow("largest square") << png(5792, 5792) << true;
    QTest::newRow("square beyond") << png(5793, 5793) << false;
    QTest::newRow("longest side") << png(32767, 1) << true;
    QTest::newRow("side beyond") << png(32768, 1) << false;
    // 16-bit channels decode to eight bytes a pixel.
    QTest::newRow("deep within") << png(4096, 4096, QImage::Format_RGBA64) << true;
    QTest::newRow("deep beyond") << png(4097, 4096, QImage::Format_RGBA64) << false;
    // Headers that claim a huge picture over a few bytes: 32512 x 32512.
    QByteArray claim = png(3, 3);
    claim[18] = claim[22] = 0x7f;
    QTest::newRow("png claimed") << claim << false;
    QByteArray bmp = encoded(pattern(3, 3), "BMP");
    bmp[19] = bmp[23] = 0x7f;
    QTest::newRow("bmp claimed") << bmp << false;
}

void TstRegionClipboard::boundReadFromTheHeader() {
    QFETCH(QByteArray, data);
    QFETCH(bool, decodes);
    // Without the image readers' own limit, so that the bound shown is
    // this one's: nothing else decodes in this process meanwhile.
    const int usual = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    const auto coding =
        data.startsWith("BM") ? clipboardpicture::Coding::Bmp : clipboardpicture::Coding::Png;
    const QImage got = clipboardpicture::decode(data, coding);
    QImageReader::setAllocationLimit(usual);
    QCOMPARE(!got.isNull(), decodes);
}

void TstRegionClipboard::toolkitsClipboardReadTheSameWay() {
    // Where the window system has no reader of its own, the toolkit's
    // clipboard is read, with the same types.
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
    QCOMPARE(reports, 0);

    // Another program's content arriving while one waits: it is theirs.
    refusals = 1000;
    own.set(pattern(3, 3));
    QCOMPARE(own.state(), OwnPicture::State::Waiting);
    own.forget();
    QCOMPARE(own.state(), OwnPicture::State::None);
    QVERIFY(own.picture().isNull());
    QCOMPARE(reports, 0);
}

void TstRegionClipboard::pickTheClipboardNeverTakesIsReported() {
    int reports = 0;
    OwnPicture own([](const QImage&) { return false; }, [&] { ++reports; });
    own.set(pattern(7, 5));
    QTRY_COMPARE_WITH_TIMEOUT(own.state(), OwnPicture::State::Unreached,
                              OwnPicture::kGiveUpMs + 10000);
    QCOMPARE(reports, 1);
    // Still shown, and still the program's.
    QCOMPARE(own.picture(), pattern(7, 5));
}

QTEST_MAIN(TstRegionClipboard)
#include "tst_regionclipboard.moc"
