// Automatic scrolling: the switch, the timers, the speeds and the custom
// interval.
#include "regionrig.h"

#include <QAction>
#include <QTest>

#include <utility>

namespace {
// A window on a 1024 x 768 screen whose picture is w x h pixels large.
Fortdck* windowWithPicture(RegionRig& rig, int w, int h) {
    rig.main->ratio().set(RatioChoice::Ratio::Two);
    Fortdck* f = rig.open(codedPattern(w / 2, h / 2));
    f->Imayulanpic.Width = 15.0 * w;
    f->Imayulanpic.Height = 15.0 * h;
    return f;
}

// A window as above, 800 x 1000, whose timers tick at an interval no menu
// item sets, so that any change the menus make shows.
Fortdck* windowWithOddIntervals(RegionRig& rig) {
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    f->Timgund->setInterval(7);
    f->Timgund2->setInterval(7);
    return f;
}

// The vertical and the horizontal timer's intervals.
std::pair<int, int> intervals(const Fortdck* f) {
    return {f->Timgund->Interval(), f->Timgund2->Interval()};
}
} // namespace

class TstRegionScroll : public QObject {
    Q_OBJECT
  private slots:
    void chooseScrollTimer_data();
    void chooseScrollTimer();
    void pollingDoesNothingWhileSwitchedOff();
    void pollingDoesNotRestartTheScrollTimer();
    void verticalRestart();
    void horizontalRestart();
    void scrollPosIsNeverReset();
    void switchingOffRecentres();
    void speedItems_data();
    void speedItems();
    void speedWithoutWindowChangesOnlyTheMarks();
    void customInterval_data();
    void customInterval();
    void intervalsBelongToEachWindow();
};

void TstRegionScroll::chooseScrollTimer_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<ScrollDirection>("running");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("horizontal");
    const auto none = ScrollDirection::None;
    QTest::newRow("taller") << QSize(800, 1000) << none << true << false;
    QTest::newRow("exactly as tall") << QSize(800, 768) << none << true << false;
    QTest::newRow("exactly the screen") << QSize(1024, 768) << none << true << false;
    QTest::newRow("wider") << QSize(1500, 600) << none << false << true;
    QTest::newRow("exactly as wide") << QSize(1024, 600) << none << false << true;
    QTest::newRow("larger both ways")
        << QSize(1500, 1000) << ScrollDirection::Horizontal << true << false;
    QTest::newRow("smaller") << QSize(600, 400) << none << false << false;
    // A picture that changed its shape while scrolling (its monitor did)
    // turns the way it now scrolls: the two never run together.
    QTest::newRow("taller, was scrolling across")
        << QSize(800, 1000) << ScrollDirection::Horizontal << true << false;
    QTest::newRow("wider, was scrolling down")
        << QSize(1500, 600) << ScrollDirection::Vertical << false << true;
}

void TstRegionScroll::chooseScrollTimer() {
    QFETCH(QSize, picture);
    QFETCH(ScrollDirection, running);
    QFETCH(bool, vertical);
    QFETCH(bool, horizontal);
    RegionRig rig;
    Fortdck* f = windowWithPicture(rig, picture.width(), picture.height());
    f->Timgund->setEnabled(running == ScrollDirection::Vertical);
    f->Timgund2->setEnabled(running == ScrollDirection::Horizontal);
    f->ChooseScrollTimer();
    QCOMPARE(f->Timgund->Enabled(), vertical);
    QCOMPARE(f->Timgund2->Enabled(), horizontal);
}

// The poll runs only while a scroll timer is to be chosen: never while
// scrolling is off, and once until the picture or the screen changes.
void TstRegionScroll::pollingDoesNothingWhileSwitchedOff() {
    RegionRig rig;
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    QVERIFY(!f->Timer1->isTicking());
    QCOMPARE(f->Timer1->Interval(), 1);
    f->Timer1_Timer();
    QVERIFY(!f->Timgund->Enabled());
    rig.main->mnshifougd->trigger();
    QVERIFY(rig.main->mnshifougd->isChecked());
    QVERIFY(f->Timer1->isTicking());
    f->Timer1_Timer();
    QVERIFY(f->Timgund->Enabled());
    QVERIFY(!f->Timgund2->Enabled());
    QVERIFY(!f->Timer1->isTicking());

    // A new layout asks again: a picture that now fits scrolls no more
    // once switched off and on; one that is wider scrolls sideways.
    f->Imayulanpic.Width = 15.0 * 1500;
    f->Imayulanpic.Height = 15.0 * 600;
    rig.main->mnshifougd->trigger();
    rig.main->mnshifougd->trigger();
    QTRY_VERIFY(f->Timgund2->Enabled());
    QVERIFY(!f->Timgund->Enabled());
    QTRY_VERIFY(!f->Timer1->isTicking());
    // A window opened while scrolling is on polls from the start.
    Fortdck* g = windowWithPicture(rig, 800, 1000);
    QTRY_VERIFY(g->Timgund->Enabled());
    QVERIFY(!g->Timer1->isTicking());
}

void TstRegionScroll::pollingDoesNotRestartTheScrollTimer() {
    RegionRig rig;
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    rig.main->mnshifougd->trigger();
    f->Timgund->setInterval(20);
    const float before = rig.main->fortdckMemory().scroll.ScrollPos;
    // The poll runs every millisecond; the 20 ms scroll timer still ticks.
    QTRY_VERIFY(rig.main->fortdckMemory().scroll.ScrollPos != before);
}

// 960 pixels of picture in a window 768 pixels tall: after Top -2880 twips
// the picture restarts a sixth of the window's height (1920) down.
void TstRegionScroll::verticalRestart() {
    RegionRig rig;
    rig.main->fortdckMemory().scroll.ScrollPos = -2865;
    Fortdck* f = windowWithPicture(rig, 800, 960);
    f->resize(f->width(), 768);
    f->Timgund_Timer();
    f->Timgund_Timer();
    QCOMPARE(f->Imayulanpic.Top, -2880.0);
    f->Timgund_Timer();
    QCOMPARE(f->Imayulanpic.Top, 1920.0);
}

void TstRegionScroll::horizontalRestart() {
    RegionRig rig;
    rig.main->fortdckMemory().scroll.ScrollPos = -2600;
    Fortdck* f = windowWithPicture(rig, 1200, 400);
    f->resize(1024, f->height());
    // 18000 twips of picture in 15360 of window: the step that takes
    // ScrollPos below -2640 restarts it a sixth of the width to the right.
    f->Timgund2_Timer();
    QCOMPARE(f->Imayulanpic.Left, -2600.0);
    f->Timgund2_Timer();
    f->Timgund2_Timer();
    QCOMPARE(f->Imayulanpic.Left, -2630.0);
    f->Timgund2_Timer();
    QCOMPARE(f->Imayulanpic.Left, 15360.0 / 6);
}

void TstRegionScroll::scrollPosIsNeverReset() {
    RegionRig rig;
    rig.main->fortdckMemory().scroll.ScrollPos = 0;
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    for (int i = 0; i < 10; ++i)
        f->Timgund_Timer();
    rig.main->mnshifougd->trigger();
    rig.main->mnshifougd->trigger();
    Fortdck* g = windowWithPicture(rig, 800, 1000);
    g->Timgund_Timer();
    QCOMPARE(g->Imayulanpic.Top, -150.0);
}

void TstRegionScroll::switchingOffRecentres() {
    RegionRig rig;
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    rig.main->mnshifougd->trigger();
    f->Timer1_Timer();
    f->Timgund_Timer();
    f->Imayulanpic.Left = 345;
    rig.main->mnshifougd->trigger();
    QVERIFY(!rig.main->mnshifougd->isChecked());
    // Centred on the window's outer size.
    QCOMPARE(f->Imayulanpic.Left, (f->Width() - 12000) / 2);
    QCOMPARE(f->Imayulanpic.Top, (f->Height() - 15000) / 2);
    QVERIFY(!f->Timer1->Enabled());
    QVERIFY(!f->Timgund->Enabled());
    QVERIFY(!f->Timgund2->Enabled());
    rig.main->mnshifougd->trigger();
    QVERIFY(f->Timer1->Enabled());
}

void TstRegionScroll::speedItems_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("startChecked");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("checkedAfter");
    QTest::newRow("快=1") << "mnkuai" << false << 1 << true;
    QTest::newRow("中=100") << "mnzhong" << false << 100 << true;
    QTest::newRow("慢=500") << "mnman" << false << 500 << true;
    QTest::newRow("缺省=50 again") << "mnquesheng" << true << 50 << false;
    QTest::newRow("快=1 checked before") << "mnkuai" << true << 1 << false;
}

void TstRegionScroll::speedItems() {
    QFETCH(QString, item);
    QFETCH(bool, startChecked);
    QFETCH(int, interval);
    QFETCH(bool, checkedAfter);
    RegionRig rig;
    TestMain& m = *rig.main;
    Fortdck* f = windowWithOddIntervals(rig);
    QAction* a = item == "mnkuai"    ? m.mnkuai
                 : item == "mnzhong" ? m.mnzhong
                 : item == "mnman"   ? m.mnman
                                     : m.mnquesheng;
    // The marks show the chosen speed: an item is ticked by choosing it.
    if (startChecked && !a->isChecked()) a->trigger();
    QCOMPARE(a->isChecked(), startChecked);
    f->Timgund->setInterval(7);
    f->Timgund2->setInterval(7);
    a->trigger();
    QCOMPARE(a->isChecked(), checkedAfter);
    for (QAction* other : {m.mnkuai, m.mnzhong, m.mnman, m.mnquesheng, m.mnzidingyi})
        if (other != a) QVERIFY(!other->isChecked());
    QCOMPARE(intervals(f), std::pair(interval, interval));
}

void TstRegionScroll::speedWithoutWindowChangesOnlyTheMarks() {
    RegionRig rig;
    rig.main->mnman->trigger();
    rig.main->mnshifougd->trigger();
    QVERIFY(rig.main->mnman->isChecked());
    QVERIFY(rig.main->mnshifougd->isChecked());
}

void TstRegionScroll::customInterval_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("interval");
    QTest::newRow("200") << "200" << 200;
    QTest::newRow("spaces") << " 300 " << 300;
    QTest::newRow("halves to even down") << "2.5" << 2;
    QTest::newRow("halves to even up") << "3.5" << 4;
    QTest::newRow("0 stops the ticks") << "0" << 0;
    QTest::newRow("65535") << "65535" << 65535;
    QTest::newRow("smallest step") << "1" << 1;
    QTest::newRow("rounds down to the largest") << "65535.4" << 65535;
    QTest::newRow("rounds up past the largest") << "65535.5" << 7;
    QTest::newRow("rounds up to zero") << "-0.4" << 0;
    QTest::newRow("rounds down below zero") << "-0.6" << 7;
    QTest::newRow("not a finite number") << "inf" << 7;
    QTest::newRow("no number at all") << "nan" << 7;
    QTest::newRow("cancel") << "" << 7;
    QTest::newRow("not a number") << "fast" << 7;
    QTest::newRow("negative") << "-1" << 7;
    QTest::newRow("too large") << "65536" << 7;
    QTest::newRow("far too large") << "1e20" << 7;
}

void TstRegionScroll::customInterval() {
    QFETCH(QString, answer);
    QFETCH(int, interval);
    RegionRig rig;
    TestMain& m = *rig.main;
    Fortdck* f = windowWithOddIntervals(rig);
    rig.prompts.answers << answer;
    m.mnzidingyi->trigger();
    QCOMPARE(rig.prompts.prompts,
             QStringList(QStringLiteral("请输入时钟频率[1000为1秒！]：|时钟设置|200")));
    // The marks change whatever the answer.
    QVERIFY(m.mnzidingyi->isChecked());
    QVERIFY(!m.mnquesheng->isChecked());
    QCOMPARE(intervals(f), std::pair(interval, interval));
    QVERIFY(rig.prompts.messages.isEmpty());
    if (interval == 0) {
        f->Timgund->setEnabled(true);
        QVERIFY(!f->Timgund->isTicking());
    }
}

void TstRegionScroll::intervalsBelongToEachWindow() {
    RegionRig rig;
    Fortdck* f = windowWithPicture(rig, 800, 1000);
    rig.main->mnman->trigger();
    QCOMPARE(f->Timgund->Interval(), 500);
    Fortdck* g = windowWithPicture(rig, 800, 1000);
    QVERIFY(rig.main->mnman->isChecked());
    QCOMPARE(intervals(g), std::pair(50, 50));
    QVERIFY(!g->Timgund->Enabled());
}

QTEST_MAIN(TstRegionScroll)
#include "tst_region_scroll.moc"
