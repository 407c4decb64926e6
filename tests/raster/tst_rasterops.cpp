#include "raster/blit.h"
#include "raster/surface.h"

#include <QTest>

using namespace raster;

namespace {

using Pixels = QList<Colour>;
constexpr Colour W = White;
constexpr Colour B = Black;

std::unique_ptr<Surface> row(Format format, const Pixels& pixels) {
    auto s = Surface::create(QSize(int(pixels.size()), 1), format);
    for (int x = 0; x < pixels.size(); ++x)
        s->fillRect(QRect(x, 0, 1, 1), pixels[x]);
    return s;
}

Pixels pixelsOf(const Surface& s) {
    Pixels out;
    for (int x = 0; x < s.width(); ++x)
        out << s.pixel(QPoint(x, 0));
    return out;
}

} // namespace

class TestRasterOps : public QObject {
    Q_OBJECT

  private slots:
    void blockCopy_data() {
        QTest::addColumn<Format>("srcFormat");
        QTest::addColumn<Pixels>("src");
        QTest::addColumn<Colour>("srcBackground");
        QTest::addColumn<Format>("dstFormat");
        QTest::addColumn<Pixels>("dst");
        QTest::addColumn<Colour>("dstBackground");
        QTest::addColumn<Colour>("dstText");
        QTest::addColumn<Rop>("rop");
        QTest::addColumn<Pixels>("expected");

        const Format C = Format::Colour;
        const Format M = Format::Mono;
        const Pixels cs{0x123456, 0xFF00FF, 0x000000, 0xFFFFFF};
        const Pixels cd{0x0F0F0F, 0xFFFFFF, 0xABCDEF, 0x000000};
        QTest::newRow("colour copy") << C << cs << W << C << cd << W << B << Rop::Copy << cs;
        QTest::newRow("colour and") << C << cs << W << C << cd << W << B << Rop::And
                                    << Pixels{0x020406, 0xFF00FF, 0x000000, 0x000000};
        QTest::newRow("colour or") << C << cs << W << C << cd << W << B << Rop::Or
                                   << Pixels{0x1F3F5F, 0xFFFFFF, 0xABCDEF, 0xFFFFFF};
        QTest::newRow("colour not-copy") << C << cs << W << C << cd << W << B << Rop::NotCopy
                                         << Pixels{0xEDCBA9, 0x00FF00, 0xFFFFFF, 0x000000};
        QTest::newRow("colour not-or") << C << cs << W << C << cd << W << B << Rop::NotOr
                                       << Pixels{0xE0C0A0, 0x000000, 0x543210, 0x000000};

        // Every pairing of set and clear bits.
        const Pixels ms{W, W, B, B};
        const Pixels md{W, B, W, B};
        QTest::newRow("mono copy") << M << ms << W << M << md << W << B << Rop::Copy << ms;
        QTest::newRow("mono and") << M << ms << W << M << md << W << B << Rop::And
                                  << Pixels{W, B, B, B};
        QTest::newRow("mono or") << M << ms << W << M << md << W << B << Rop::Or
                                 << Pixels{W, W, W, B};
        QTest::newRow("mono not-copy")
            << M << ms << W << M << md << W << B << Rop::NotCopy << Pixels{B, B, W, W};
        QTest::newRow("mono not-or")
            << M << ms << W << M << md << W << B << Rop::NotOr << Pixels{B, B, B, W};

        // Colour to mono: the source's background colour is the set bit,
        // any other colour (even a near one) the clear bit.
        const Pixels keyed{0x336699, 0x336698, 0x336699, 0x000000};
        QTest::newRow("to mono copy") << C << keyed << Colour(0x336699) << M << md << W << B
                                      << Rop::Copy << Pixels{W, B, W, B};
        QTest::newRow("to mono and") << C << keyed << Colour(0x336699) << M << Pixels{W, W, B, B}
                                     << W << B << Rop::And << Pixels{W, B, B, B};
        QTest::newRow("to mono, white background") << C << Pixels{W, 0xFEFFFF, B, W} << W << M << md
                                                   << W << B << Rop::Copy << Pixels{W, B, B, W};

        // Mono to colour: the destination's colour pair decides.
        const Pixels bits{W, B, W, B};
        QTest::newRow("from mono copy")
            << M << bits << W << C << cd << Colour(0x00FF00) << Colour(0x0000FF) << Rop::Copy
            << Pixels{0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF};
        QTest::newRow("from mono, default pair, and")
            << M << bits << W << C << cd << W << B << Rop::And
            << Pixels{0x0F0F0F, 0x000000, 0xABCDEF, 0x000000};
        QTest::newRow("from mono, default pair, not-or")
            << M << bits << W << C << cd << W << B << Rop::NotOr
            << Pixels{0x000000, 0x000000, 0x000000, 0xFFFFFF};
    }

    void blockCopy() {
        QFETCH(Format, srcFormat);
        QFETCH(Pixels, src);
        QFETCH(Colour, srcBackground);
        QFETCH(Format, dstFormat);
        QFETCH(Pixels, dst);
        QFETCH(Colour, dstBackground);
        QFETCH(Colour, dstText);
        QFETCH(Rop, rop);
        QFETCH(Pixels, expected);

        auto s = row(srcFormat, src);
        auto d = row(dstFormat, dst);
        s->setBackgroundColour(srcBackground);
        d->setBackgroundColour(dstBackground);
        d->setTextColour(dstText);
        blt(d.get(), 0, 0, 4, 1, s.get(), 0, 0, rop);
        QCOMPARE(pixelsOf(*d), expected);
        QCOMPARE(pixelsOf(*s), pixelsOf(*row(srcFormat, src)));
    }

    void inPlaceNotCopyInvertsAndKeepsPixelsOpaque() {
        auto s = row(Format::Colour, {0x000000, 0x123456});
        blt(s.get(), 0, 0, 2, 1, s.get(), 0, 0, Rop::NotCopy);
        QCOMPARE(pixelsOf(*s), (Pixels{0xFFFFFF, 0xEDCBA9}));
        QCOMPARE(qAlpha(s->image().pixel(1, 0)), 255);
    }

    void blockOntoItselfReadsTheWholeSourceFirst_data() {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<Rop>("rop");
        const Format C = Format::Colour;
        QTest::newRow("right") << C << QPoint(1, 0) << Rop::Copy;
        QTest::newRow("left") << C << QPoint(-2, 0) << Rop::Copy;
        QTest::newRow("down") << C << QPoint(0, 1) << Rop::Copy;
        QTest::newRow("up") << C << QPoint(0, -3) << Rop::Copy;
        QTest::newRow("down right") << C << QPoint(2, 1) << Rop::Copy;
        QTest::newRow("up left") << C << QPoint(-1, -2) << Rop::Copy;
        QTest::newRow("down left") << C << QPoint(-3, 2) << Rop::Copy;
        QTest::newRow("up right, or") << C << QPoint(4, -1) << Rop::Or;
        QTest::newRow("right, not-or") << C << QPoint(1, 0) << Rop::NotOr;
        QTest::newRow("in place, not-copy") << C << QPoint(0, 0) << Rop::NotCopy;
        QTest::newRow("mono right") << Format::Mono << QPoint(1, 0) << Rop::Copy;
        QTest::newRow("mono down left") << Format::Mono << QPoint(-1, 1) << Rop::Copy;
    }

    // Every pixel of the block must come from the picture as it was before
    // the copy, which a naive pass in either direction fails for some shift.
    void blockOntoItselfReadsTheWholeSourceFirst() {
        QFETCH(Format, format);
        QFETCH(QPoint, shift);
        QFETCH(Rop, rop);
        const QSize size(14, 11);
        const QRect block(4, 3, 7, 5);
        auto s = Surface::create(size, format);
        auto before = [&](QPoint p) {
            const quint32 v = format == Format::Mono ? ((p.x() * 3 + p.y()) % 5 < 2 ? W : B)
                                                     : Colour(0x10203 * (p.y() * 14 + p.x()) + 7);
            return v;
        };
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                s->fillRect(QRect(x, y, 1, 1), before({x, y}));

        const QRect to = block.translated(shift);
        blt(s.get(), to.x(), to.y(), block.width(), block.height(), s.get(), block.x(), block.y(),
            rop);

        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QPoint p(x, y);
                Colour expected = before(p);
                if (to.contains(p)) {
                    const Colour src = before(p - shift);
                    switch (rop) {
                    case Rop::Copy:
                        expected = src;
                        break;
                    case Rop::And:
                        expected = src & expected;
                        break;
                    case Rop::Or:
                        expected = src | expected;
                        break;
                    case Rop::NotCopy:
                        expected = ~src & 0xFFFFFFu;
                        break;
                    case Rop::NotOr:
                        expected = ~(src | expected) & 0xFFFFFFu;
                        break;
                    }
                }
                QCOMPARE(s->pixel(p), expected);
            }
    }

    void blockIsCutToBothSurfaces() {
        auto src = Surface::create(QSize(3, 3));
        src->fillRect(QRect(0, 0, 3, 3), 0x0000FF);
        auto dst = Surface::create(QSize(4, 4));
        // Starts left of and above the destination, runs past the source.
        blt(dst.get(), -1, -1, 10, 10, src.get(), 0, 0, Rop::Copy);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(dst->pixel(QPoint(x, y)), (x < 2 && y < 2) ? 0x0000FFu : B);

        auto untouched = Surface::create(QSize(2, 2));
        untouched->fillRect(QRect(0, 0, 2, 2), 0x00FF00);
        blt(untouched.get(), 0, 0, 2, 2, nullptr, 0, 0, Rop::Copy);
        blt(untouched.get(), 0, 0, 2, 2, src.get(), -5, -5, Rop::Copy);
        QCOMPARE(untouched->pixel(QPoint(1, 1)), 0x00FF00u);
    }

    void windowSurfaceTakesPictureCoordinates() {
        auto picture = Surface::create(QSize(10, 10));
        picture->fillRect(QRect(6, 4, 1, 1), 0xABCDEF);
        auto window = Surface::create(QRect(5, 3, 3, 3));
        window->fillRect(QRect(0, 0, 10, 10), 0x111111);
        QCOMPARE(window->pixel(QPoint(5, 3)), 0x111111u);
        blt(window.get(), 0, 0, 10, 10, picture.get(), 0, 0, Rop::Or);
        QCOMPARE(window->pixel(QPoint(6, 4)), 0xBBDDFFu);
        QCOMPARE(window->pixel(QPoint(7, 5)), 0x111111u);
    }

    void fillsAreCutAndMonoFillsAreTwoValued() {
        auto mono = Surface::create(QSize(3, 1), Format::Mono);
        mono->fillRect(QRect(-2, 0, 3, 1), 0xF0F0F0);
        mono->fillRect(QRect(1, 0, 1, 1), 0x101010);
        QCOMPARE(pixelsOf(*mono), (Pixels{W, B, B}));
        QCOMPARE(int(mono->image().constScanLine(0)[0]), 0xFF);
    }
};

QTEST_APPLESS_MAIN(TestRasterOps)
#include "tst_rasterops.moc"
