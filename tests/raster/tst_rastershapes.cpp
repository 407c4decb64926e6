#include "raster/box.h"
#include "raster/surface.h"

#include <QPainterPath>
#include <QPolygon>
#include <QTest>

#include <cmath>

using namespace raster;

namespace {

QPainterPath polyline(const QList<QPoint>& points) {
    QPainterPath path;
    path.moveTo(points.front());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    return path;
}

QRegion regionOf(const QList<QPoint>& points) {
    auto s = Surface::create(QSize(1, 1));
    s->setPath(polyline(points));
    return s->pathToRegion();
}

int blackPixels(const Surface& s) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.pixel(QPoint(x, y)) == Black;
    return n;
}

} // namespace

class TestRasterShapes : public QObject {
    Q_OBJECT

  private slots:
    void selfCrossingPathFillsEvenOdd() {
        // A five-pointed star drawn in one stroke: its inner pentagon is
        // crossed twice and so lies outside under the even-odd rule.
        QList<QPoint> star;
        for (int i = 0; i <= 5; ++i) {
            const double a = -M_PI / 2 + i * 4 * M_PI / 5;
            star << QPoint(int(std::lround(50 + 45 * std::cos(a))),
                           int(std::lround(50 + 45 * std::sin(a))));
        }
        const QRegion region = regionOf(star);
        QVERIFY(!region.contains(QPoint(50, 50)));
        QVERIFY(region.contains(QPoint(50, 15))); // top tip
        QVERIFY(region.contains(QPoint(15, 40))); // left tip

        auto s = Surface::create(QSize(100, 100));
        s->fillRect(QRect(0, 0, 100, 100), White);
        s->setPath(polyline(star));
        s->strokeAndFillPath(Black, 1, Black);
        QCOMPARE(s->pixel(QPoint(50, 50)), White);
        QCOMPARE(s->pixel(QPoint(50, 15)), Black);
        QVERIFY(!s->hasPath());
    }

    void pathWoundTwiceEnclosesNothing() {
        const QRegion region =
            regionOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}});
        QVERIFY(region.isEmpty());
        QCOMPARE(boundingBox(region), Box{});
    }

    void pointInRegionAtBoxEdges_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top left corner") << QPoint(2, 3) << true;
        QTest::newRow("last column and row") << QPoint(11, 8) << true;
        QTest::newRow("right edge") << QPoint(12, 8) << false;
        QTest::newRow("bottom edge") << QPoint(11, 9) << false;
        QTest::newRow("left of box") << QPoint(1, 3) << false;
        QTest::newRow("above box") << QPoint(2, 2) << false;
    }

    void pointInRegionAtBoxEdges() {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        const QRegion region = regionOf({{2, 3}, {12, 3}, {12, 9}, {2, 9}, {2, 3}});
        QCOMPARE(boundingBox(region), (Box{2, 3, 12, 9}));
        QCOMPARE(contains(region, point), inside);
    }

    void intersection_data() {
        QTest::addColumn<Box>("a");
        QTest::addColumn<Box>("b");
        QTest::addColumn<Box>("expected");
        QTest::newRow("overlap") << Box{0, 0, 10, 10} << Box{5, -5, 20, 8} << Box{5, 0, 10, 8};
        QTest::newRow("inside") << Box{0, 0, 64, 48} << Box{3, 4, 5, 6} << Box{3, 4, 5, 6};
        QTest::newRow("touching edges") << Box{0, 0, 10, 10} << Box{10, 0, 20, 10} << Box{};
        QTest::newRow("apart") << Box{0, 0, 64, 48} << Box{-30, -30, -2, -1} << Box{};
    }

    void intersection() {
        QFETCH(Box, a);
        QFETCH(Box, b);
        QFETCH(Box, expected);
        QCOMPARE(intersect(a, b), expected);
        QCOMPARE(intersect(b, a), expected);
    }

    void linesFollowTheCurrentPosition() {
        auto s = Surface::create(QSize(12, 6));
        s->fillRect(QRect(0, 0, 12, 6), White);
        s->moveTo(QPoint(1, 2));
        s->lineTo(QPoint(8, 2), Black, 1);
        QCOMPARE(s->position(), QPoint(8, 2));
        s->lineTo(QPoint(8, 5), Black, 1);
        for (int x = 1; x < 8; ++x)
            QCOMPARE(s->pixel(QPoint(x, 2)), Black);
        QCOMPARE(s->pixel(QPoint(0, 2)), White);
        QCOMPARE(s->pixel(QPoint(8, 3)), Black);
        QCOMPARE(s->pixel(QPoint(9, 2)), White);
        QCOMPARE(s->pixel(QPoint(1, 1)), White);
        QCOMPARE(s->pixel(QPoint(1, 3)), White);
    }

    void twoPixelLineIsTwoPixelsWide() {
        auto s = Surface::create(QSize(20, 10));
        s->fillRect(QRect(0, 0, 20, 10), White);
        s->drawLines({QLine(3, 5, 15, 5)}, Black, 2);
        for (int x = 4; x < 15; ++x) {
            int column = 0;
            for (int y = 0; y < 10; ++y)
                column += s->pixel(QPoint(x, y)) == Black;
            QCOMPARE(column, 2);
        }
    }

    void antiDiagonalsAreTheTwoPixelLines_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("last");
        QTest::newRow("whole surface") << QRect(0, 0, 30, 20) << 3 << 8 << 100;
        QTest::newRow("tall surface") << QRect(0, 0, 9, 40) << 0 << 8 << 80;
        QTest::newRow("stops early") << QRect(0, 0, 30, 20) << 5 << 8 << 21;
        QTest::newRow("dense") << QRect(0, 0, 12, 10) << 1 << 2 << 40;
        QTest::newRow("window inside") << QRect(7, 5, 13, 9) << 6 << 8 << 100;
        QTest::newRow("window far out") << QRect(1000, 3, 40, 10) << 2 << 8 << 2100;
        QTest::newRow("window over the axes") << QRect(-5, -4, 20, 15) << 0 << 8 << 60;
        QTest::newRow("first past the window") << QRect(0, 0, 10, 10) << 30 << 8 << 60;
    }

    // The marching outline is drawn both ways, whole and windowed, so they
    // must agree pixel for pixel with what the lines draw.
    void antiDiagonalsAreTheTwoPixelLines() {
        QFETCH(QRect, window);
        QFETCH(int, first);
        QFETCH(int, step);
        QFETCH(int, last);
        auto byLines = Surface::create(window);
        auto direct = Surface::create(window);
        byLines->fillRect(window, White);
        direct->fillRect(window, White);
        std::vector<QLine> lines;
        for (int t = first; t <= last; t += step)
            lines.emplace_back(t, 0, 0, t);
        byLines->drawLines(lines, Black, 2);
        direct->drawAntiDiagonals(first, step, last, Black);
        for (int y = window.top(); y <= window.bottom(); ++y)
            for (int x = window.left(); x <= window.right(); ++x) {
                const QPoint p(x, y);
                // Left of and above the origin only the lines' caps reach.
                if (x >= 0 && y >= 0) QCOMPARE(direct->pixel(p), byLines->pixel(p));
                if (x < 0 || y < 0) QCOMPARE(direct->pixel(p), White);
            }
    }

    void strokeDrawsTheOutlineOnly() {
        auto s = Surface::create(QSize(12, 12));
        s->fillRect(QRect(0, 0, 12, 12), Black);
        s->setPath(polyline({{1, 1}, {10, 1}, {10, 10}, {1, 10}, {1, 1}}));
        s->strokePath(White, 1);
        QCOMPARE(s->pixel(QPoint(1, 1)), White);
        QCOMPARE(s->pixel(QPoint(10, 10)), White);
        QCOMPARE(s->pixel(QPoint(5, 5)), Black);
        QCOMPARE(blackPixels(*s), 144 - 36);
        QVERIFY(!s->hasPath());
    }
};

QTEST_APPLESS_MAIN(TestRasterShapes)
#include "tst_rastershapes.moc"
