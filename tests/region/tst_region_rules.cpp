// The region magnifier's rules without any window: the scroll cycle, edge
// snapping and panning (the ratio is tested with its menu items). Lengths
// in twips, 15 to the pixel.
#include "region/regiondrag.h"
#include "region/scrollcycle.h"

#include <QTest>

using Hook = EdgeSnap::Hook;
using Step = EdgeSnap::Step;

class TstRegionRules : public QObject {
    Q_OBJECT
  private slots:
    void scrollCycleRestartsASixthInside();
    void edgeSnap_data();
    void edgeSnap();
    void panStart_data();
    void panStart();
};

// 960 pixels of picture in a window 768 pixels tall: shown at 0, -15, ...
// -2880 twips, then a sixth of the window (1920) down; a whole cycle from
// 1920 to -2880 is 321 steps.
void TstRegionRules::scrollCycleRestartsASixthInside() {
    ScrollCycle cycle;
    QList<double> shown;
    for (int i = 0; i < 194 + 321; ++i)
        shown << cycle.step(14400, 11520);
    QCOMPARE(shown.mid(0, 2), (QList<double>{0, -15}));
    QCOMPARE(shown.mid(192, 3), (QList<double>{-2880, 1920, 1905}));
    QCOMPARE(shown.indexOf(1920, 194), 193 + 321);
}

// A window 990 twips wide on a screen of 15360; the snap distance is 225.
void TstRegionRules::edgeSnap_data() {
    QTest::addColumn<Hook>("hook");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("pull");
    QTest::addColumn<double>("to");
    QTest::addColumn<Step>("step");
    QTest::addColumn<Hook>("after");
    const double farSnap = 15360 - 990;
    QTest::newRow("near the near edge")
        << Hook::Free << 120.0 << 30.0 << 0.0 << Step::Snapped << Hook::Hooked;
    QTest::newRow("exactly the distance away")
        << Hook::Free << 225.0 << -15.0 << 210.0 << Step::Followed << Hook::Free;
    QTest::newRow("past the edge")
        << Hook::Free << -75.0 << 15.0 << -60.0 << Step::Followed << Hook::Free;
    QTest::newRow("near the far edge")
        << Hook::Free << farSnap - 45 << 15.0 << farSnap << Step::Snapped << Hook::Hooked;
    QTest::newRow("held") << Hook::Hooked << 0.0 << -225.0 << 0.0 << Step::Held << Hook::Hooked;
    QTest::newRow("let go") << Hook::Hooked << 0.0 << 240.0 << 240.0 << Step::Released
                            << Hook::Free;
}

void TstRegionRules::edgeSnap() {
    QFETCH(Hook, hook);
    QFETCH(double, start);
    QFETCH(double, pull);
    QFETCH(double, to);
    QFETCH(Step, step);
    QFETCH(Hook, after);
    EdgeSnap snap;
    snap.setHook(hook);
    const EdgeSnap::Move move = snap.drag(start, 990, 15360, pull, 225);
    QCOMPARE(move.start, to);
    QCOMPARE(move.step, step);
    QCOMPARE(snap.hook(), after);
}

// A picture 27000 twips across in a client area of 15330.
void TstRegionRules::panStart_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("pull");
    QTest::addColumn<int>("to");
    QTest::newRow("stops at the near edge") << -5835 << 27000.0 << 6000 << 0;
    QTest::newRow("stops at the far edge") << -5835 << 27000.0 << -6000 << -11670;
    QTest::newRow("smaller than the window stays") << 150 << 15000.0 << -90 << 150;
    // Rounded to the near edge with the far edge inside: it must not move
    // away from the near edge either.
    QTest::newRow("far edge inside") << 0 << 15300.0 << -45 << 0;
}

void TstRegionRules::panStart() {
    QFETCH(int, start);
    QFETCH(double, span);
    QFETCH(int, pull);
    QFETCH(int, to);
    QCOMPARE(::panStart(start, span, 15330, pull), to);
}

QTEST_GUILESS_MAIN(TstRegionRules)
#include "tst_region_rules.moc"
