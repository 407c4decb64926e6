#include "shared/colouraids.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace colouraids;
using Rule = ColourRule;
Q_DECLARE_METATYPE(colouraids::ColourRule)

namespace {

Rule rule(Switch grey, Contrast contrast, Switch inversion) {
    return {grey, contrast, inversion};
}

// The rule written out as it reads, in floating point, to check the tables.
QRgb reference(QRgb p, const Rule& r) {
    int c[3] = {qRed(p), qGreen(p), qBlue(p)};
    if (r.greyscale == Switch::On) {
        const int y = (77 * c[0] + 150 * c[1] + 29 * c[2] + 128) >> 8;
        c[0] = c[1] = c[2] = y;
    }
    const double f = r.contrast == Contrast::Normal ? 1 : r.contrast == Contrast::High ? 1.5 : 2;
    for (int& v : c) {
        const double out = 127.5 + f * (v - 127.5);
        v = v >= 128 ? int(std::floor(out + 0.5)) : int(std::ceil(out - 0.5));
        v = std::clamp(v, 0, 255);
        if (r.inversion == Switch::On) v = 255 - v;
    }
    return qRgba(c[0], c[1], c[2], qAlpha(p));
}

} // namespace

class TstColourAids : public QObject {
    Q_OBJECT
  private slots:
    void theRuleGivesExactPixels_data();
    void theRuleGivesExactPixels();
    void aWholePictureMatchesTheRuleAndOnlyTheAreaChanges();
    void keysStepAndWrap();
    void crosshairsAndBandGeometry();
    void bandFollowsThePointerUnlessThePictureMoves();
};

void TstColourAids::theRuleGivesExactPixels_data() {
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QRgb>("expected");
    const Switch off = Switch::Off, on = Switch::On;
    const QRgb p = qRgba(100, 200, 30, 77); // luma (7700 + 30000 + 870 + 128) >> 8 = 151
    const QRgb mid = qRgb(127, 128, 255);
    const QRgb dark = qRgb(0, 64, 191); // luma 59
    QTest::newRow("none") << p << rule(off, Contrast::Normal, off) << p;
    QTest::newRow("inverted, alpha kept")
        << p << rule(off, Contrast::Normal, on) << qRgba(155, 55, 225, 77);
    QTest::newRow("grey") << p << rule(on, Contrast::Normal, off) << qRgba(151, 151, 151, 77);
    QTest::newRow("grey inverted")
        << p << rule(on, Contrast::Normal, on) << qRgba(104, 104, 104, 77);
    // 127.5 + 1.5 * (100 - 127.5) = 86.25, 127.5 + 1.5 * 72.5 = 236.25, 30 -> 0
    QTest::newRow("high") << p << rule(off, Contrast::High, off) << qRgba(86, 236, 0, 77);
    QTest::newRow("high inverted") << p << rule(off, Contrast::High, on) << qRgba(169, 19, 255, 77);
    // 127.5 + 2 * (100 - 127.5) = 72.5: a half, rounded away from the middle
    QTest::newRow("higher") << p << rule(off, Contrast::Higher, off) << qRgba(72, 255, 0, 77);
    // grey first: 151 -> 127.5 + 1.5 * 23.5 = 162.75
    QTest::newRow("grey high") << p << rule(on, Contrast::High, off) << qRgba(163, 163, 163, 77);
    QTest::newRow("grey higher inverted")
        << p << rule(on, Contrast::Higher, on) << qRgba(80, 80, 80, 77);
    // either side of the middle moves away from it, by a half each at 2x
    QTest::newRow("middle higher")
        << mid << rule(off, Contrast::Higher, off) << qRgb(126, 129, 255);
    QTest::newRow("middle high") << mid << rule(off, Contrast::High, off) << qRgb(127, 128, 255);
    QTest::newRow("dark grey high") << dark << rule(on, Contrast::High, off) << qRgb(25, 25, 25);
    QTest::newRow("dark grey higher inverted")
        << dark << rule(on, Contrast::Higher, on) << qRgb(255, 255, 255);
}

void TstColourAids::theRuleGivesExactPixels() {
    QFETCH(QRgb, pixel);
    QFETCH(Rule, rule);
    QFETCH(QRgb, expected);
    QCOMPARE(applied(pixel, rule), expected);
    QCOMPARE(reference(pixel, rule), expected);
    // Inversion and contrast commute: the table is symmetric about the middle.
    for (int v = 0; v < 256; ++v)
        QCOMPARE(channel(std::uint8_t(255 - v), rule.contrast, Switch::Off),
                 255 - channel(std::uint8_t(v), rule.contrast, Switch::Off));
}

void TstColourAids::aWholePictureMatchesTheRuleAndOnlyTheAreaChanges() {
    QImage src(97, 61, QImage::Format_RGB32);
    QRandomGenerator gen(7);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.setPixel(x, y, gen.generate() | 0xff000000u);
    const QRect area(10, 5, 40, 30);
    for (int g = 0; g < 2; ++g) {
        for (int c = 0; c < 3; ++c) {
            for (int i = 0; i < 2; ++i) {
                const Rule r = rule(Switch(g), Contrast(c), Switch(i));
                QImage whole = transformed(src, r);
                QImage into(src.size(), QImage::Format_RGB32);
                QVERIFY(transformInto(src, into, r));
                QCOMPARE(into, whole);
                QImage part = src.copy();
                apply(part, area, r);
                QCOMPARE(whole.format(), src.format());
                for (int y = 0; y < src.height(); ++y) {
                    for (int x = 0; x < src.width(); ++x) {
                        const QRgb want = reference(src.pixel(x, y), r);
                        QCOMPARE(whole.pixel(x, y), want);
                        QCOMPARE(part.pixel(x, y), area.contains(x, y) ? want : src.pixel(x, y));
                    }
                }
            }
        }
    }
    QCOMPARE(transformed(src, Rule{}).constBits(), src.constBits());
    // A screen-sized picture is done in two bands of rows, at once: every
    // row of both, and the seam between them.
    QImage big(1200, 1001, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, gen.generate() | 0xff000000u);
    const Rule all = rule(Switch::On, Contrast::High, Switch::On);
    const QImage shared = big;
    apply(big, all);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); x += 7)
            QCOMPARE(big.pixel(x, y), reference(shared.pixel(x, y), all));
}

void TstColourAids::keysStepAndWrap() {
    ColourAids aids;
    QSignalSpy spy(&aids, &ColourAids::changed);
    QVERIFY(!aids.changesColour());
    QCOMPARE(aids.smoothing(), Smoothing::Sharp);
    aids.stepContrast(+1);
    QCOMPARE(aids.rule().contrast, Contrast::High);
    aids.stepContrast(+1);
    QCOMPARE(aids.rule().contrast, Contrast::Higher);
    aids.stepContrast(+1);
    QCOMPARE(aids.rule().contrast, Contrast::Normal);
    aids.stepContrast(-1);
    QCOMPARE(aids.rule().contrast, Contrast::Higher);
    QVERIFY(aids.changesColour());
    QCOMPARE(spy.count(), 4);
    QCOMPARE(spy.last().at(0).value<ColourAids::Aspect>(), ColourAids::Aspect::Colour);
    aids.flipSmoothing();
    QCOMPARE(spy.last().at(0).value<ColourAids::Aspect>(), ColourAids::Aspect::Smoothing);
    aids.setSmoothing(Smoothing::Smooth); // no change, no signal
    QCOMPARE(spy.count(), 5);

    // Shift+wheel belongs to the band only while it shows; parts of a notch add up.
    QVERIFY(!aids.wheelBand(120));
    QCOMPARE(aids.bandPercent(), 20);
    aids.flipBand();
    QVERIFY(aids.wheelBand(60));
    QCOMPARE(aids.bandPercent(), 20);
    QVERIFY(aids.wheelBand(60));
    QCOMPARE(aids.bandPercent(), 22);
    QVERIFY(aids.wheelBand(-120 * 100));
    QCOMPARE(aids.bandPercent(), overlay::kBandMinPercent);
    QVERIFY(aids.wheelBand(120 * 100));
    QCOMPARE(aids.bandPercent(), overlay::kBandMaxPercent);
    QCOMPARE(aids.bandHeight(1080), 648);
}

void TstColourAids::crosshairsAndBandGeometry() {
    const QRect screen(0, 0, 1920, 1080);
    const auto arms = overlay::crosshairArms(screen, QPoint(500, 300));
    QCOMPARE(arms[0], QRect(0, 296, 484, 8));          // left: up to the gap
    QCOMPARE(arms[1], QRect(517, 296, 1920 - 517, 8)); // right: from the gap on
    QCOMPARE(arms[2], QRect(496, 0, 8, 284));
    QCOMPARE(arms[3], QRect(496, 317, 8, 1080 - 317));
    // Near a corner an arm is cut off or gone.
    const auto corner = overlay::crosshairArms(screen, QPoint(5, 2));
    QVERIFY(corner[0].isEmpty());
    QVERIFY(corner[2].isEmpty());
    QCOMPARE(corner[1], QRect(22, 0, 1920 - 22, 6));

    // A fifth of the screen, centred at the pointer; the rest shaded.
    QCOMPARE(overlay::bandStrip(screen, 540, 20), QRect(0, 432, 1920, 216));
    const auto shades = overlay::bandShades(screen, 540, 20);
    QCOMPARE(shades[0], QRect(0, 0, 1920, 432));
    QCOMPARE(shades[1], QRect(0, 648, 1920, 432));
    const auto top = overlay::bandShades(screen, 10, 20);
    QVERIFY(top[0].isEmpty());
    QCOMPARE(top[1].top(), 10 - 108 + 216);
    QCOMPARE(overlay::bandStrip(screen, 10, 20), QRect(0, 0, 1920, 118));
    // A third of the brightness under the shade, red over the crosshairs.
    QImage under(1, 1, QImage::Format_RGB32), dim(1, 1, QImage::Format_RGB32);
    under.setPixel(0, 0, qRgb(100, 200, 30));
    QVERIFY(dimInto(under, dim, qAlpha(overlay::kShadeColour)));
    QCOMPARE(dim.pixel(0, 0), qRgb(33, 67, 10));
    QCOMPARE(qAlpha(overlay::kShadeColour) * 3, 255 * 2);
    QCOMPARE(qAlpha(overlay::kCrosshairColour) * 3, 255 * 2);
}

void TstColourAids::bandFollowsThePointerUnlessThePictureMoves() {
    BandPlace band;
    band.place(400);
    QVERIFY(band.follow(420, PictureMotion::Still));
    QCOMPARE(band.centre(), 420);
    QVERIFY(!band.follow(420, PictureMotion::Still));
    QVERIFY(!band.follow(600, PictureMotion::MovingByItself));
    QCOMPARE(band.centre(), 420);
    QVERIFY(band.follow(600, PictureMotion::Still));
    QCOMPARE(band.centre(), 600);
}

QTEST_GUILESS_MAIN(TstColourAids)
#include "tst_colouraids.moc"
