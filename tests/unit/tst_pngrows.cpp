#include "shared/platform/pngrows.h"
#include "shared/platform/portalpicture.h"

#include <QRandomGenerator>
#include <QTest>

#include <cstdint>

// A screen picture's rows come with any of the five filters, whichever the
// desktop's writer found smallest for each row, in any mix: every one must
// be undone exactly, for three and four channels, at widths that leave the
// rows unaligned. The files are made here, filters applied by hand.
class TstPngRows : public QObject {
    Q_OBJECT
  private slots:
    void everyFilterIsUndone_data();
    void everyFilterIsUndone();
    void aDamagedFileGivesNoPicture();
};

namespace {
void bigEndian(QByteArray& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(v >> shift));
}

std::uint32_t crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void chunk(QByteArray& png, const char* type, const QByteArray& body) {
    bigEndian(png, std::uint32_t(body.size()));
    const QByteArray typed = QByteArray(type) + body;
    png += typed;
    bigEndian(png, crc32(typed));
}

int predictor(int filter, int a, int b, int c) {
    switch (filter) {
    case 1:
        return a;
    case 2:
        return b;
    case 3:
        return (a + b) / 2;
    case 4: {
        const int p = a + b - c, pa = qAbs(p - a), pb = qAbs(p - b), pc = qAbs(p - c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default:
        return 0;
    }
}

// A PNG of `picture`'s pixels whose row y uses filter filters[y % size].
QByteArray png(const QImage& picture, int channels, const QList<int>& filters, int level) {
    const int w = picture.width(), bytes = w * channels;
    QByteArray rows, above(bytes, 0);
    for (int y = 0; y < picture.height(); ++y) {
        QByteArray row;
        for (int x = 0; x < w; ++x) {
            const QRgb p = picture.pixel(x, y);
            row += char(qRed(p)), row += char(qGreen(p)), row += char(qBlue(p));
            if (channels == 4) row += char(qAlpha(p));
        }
        const int filter = filters[y % filters.size()];
        rows += char(filter);
        for (int i = 0; i < bytes; ++i) {
            const int a = i >= channels ? uchar(row[i - channels]) : 0;
            const int c = i >= channels ? uchar(above[i - channels]) : 0;
            rows += char(uchar(row[i]) - predictor(filter, a, uchar(above[i]), c));
        }
        above = row;
    }
    QByteArray file("\x89PNG\r\n\x1a\n", 8), header;
    bigEndian(header, std::uint32_t(w));
    bigEndian(header, std::uint32_t(picture.height()));
    header += QByteArray::fromRawData(channels == 4 ? "\x08\x06\0\0\0" : "\x08\x02\0\0\0", 5);
    chunk(file, "IHDR", header);
    // qCompress's zlib stream, after its own four bytes of length, split in
    // two chunks as writers do with large pictures.
    const QByteArray stream = qCompress(rows, level).mid(4);
    chunk(file, "IDAT", stream.left(stream.size() / 2));
    chunk(file, "IDAT", stream.mid(stream.size() / 2));
    chunk(file, "IEND", {});
    return file;
}

QImage noise(int w, int h) {
    QImage picture(w, h, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, random.generate() | (x % 3 ? 0 : 0xff000000u));
    return picture;
}
} // namespace

void TstPngRows::everyFilterIsUndone_data() {
    QTest::addColumn<int>("channels");
    QTest::addColumn<QList<int>>("filters");
    QTest::addColumn<QSize>("size");
    // Rows wider than the stretches they are undone in, more of them than
    // there are cores to share them, the last few short of a band of four;
    // and rows so narrow that every step of a band, each row a pixel behind
    // the one above, has a row not yet in or already out.
    const QList<QList<int>> mixed{{4, 0, 1, 2, 3, 4, 4, 2}, {4, 4, 4, 4, 1, 4, 3, 4}};
    for (const int channels : {3, 4}) {
        const QByteArray kind = channels == 4 ? "RGBA" : "RGB";
        for (int filter = 0; filter <= 4; ++filter)
            QTest::addRow("%s, filter %d", kind.constData(), filter)
                << channels << QList{filter} << QSize(300, 23);
        for (int i = 0; i < mixed.size(); ++i)
            for (const QSize size : {QSize(300, 23), QSize(2, 9)})
                QTest::addRow("%s, mixed %d, %dx%d", kind.constData(), i, size.width(),
                              size.height())
                    << channels << mixed[i] << size;
    }
}

void TstPngRows::everyFilterIsUndone() {
    QFETCH(int, channels);
    QFETCH(QList<int>, filters);
    QFETCH(QSize, size);
    const QImage picture = noise(size.width(), size.height());
    const QImage read = portalpicture::decode(png(picture, channels, filters, 6));
    QCOMPARE(read.format(), QImage::Format_RGB32);
    // Opaque, whatever the file's alpha said; the colours exact.
    QCOMPARE(read, picture.convertToFormat(QImage::Format_RGB32));
}

void TstPngRows::aDamagedFileGivesNoPicture() {
    const QByteArray whole = png(noise(64, 64), 4, {4, 1}, 0);
    // Cut inside the pixels, or one byte of them changed: the checksum of
    // the stream no longer holds.
    QVERIFY(portalpicture::decode(whole.left(whole.size() - 200)).isNull());
    QByteArray changed = whole;
    changed[whole.size() / 2] = char(changed[whole.size() / 2] ^ 0x40);
    QVERIFY(portalpicture::decode(changed).isNull());
    QVERIFY(!portalpicture::decode(whole).isNull());
    // A filter no PNG has, far down: the rows' other cores stop too.
    QVERIFY(pngrows::decode(png(noise(300, 64), 4, QList<int>(40, 4) << 9, 0)).isNull());
}

QTEST_GUILESS_MAIN(TstPngRows)
#include "tst_pngrows.moc"
