// The magnifier's start-up state, zoom commands and the end of a view.
#include "formrig.h"
#include "magnifier/picturebox.h"

#include <QAction>
#include <QBackingStore>
#include <QPushButton>
#include <QTest>

namespace {
QStringList captions(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}
// What the window shows: its backing store, painted frame after frame.
QImage onScreen(QWidget& w) {
    auto* store =
        w.backingStore() ? dynamic_cast<QImage*>(w.backingStore()->paintDevice()) : nullptr;
    return store ? store->convertToFormat(QImage::Format_RGB32) : QImage();
}

// The window painted afresh.
QImage freshPaint(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Paints the window as after a change and names the first pixel where it
// does not show what a fresh paint gives; empty when there is none.
QString staleAfter(QWidget& w, const QString& step) {
    w.repaint();
    const QImage shown = onScreen(w);
    const QImage fresh = freshPaint(w);
    if (shown.size() != fresh.size() || shown.isNull())
        return step + QStringLiteral(": no picture of the window to compare");
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != fresh.pixel(x, y))
                return QStringLiteral("after %1: a stale pixel at (%2, %3): %4, not %5")
                    .arg(step)
                    .arg(x)
                    .arg(y)
                    .arg(shown.pixel(x, y), 0, 16)
                    .arg(fresh.pixel(x, y), 0, 16);
    return {};
}
} // namespace

class TstView : public QObject {
    Q_OBJECT
  private slots:
    void startupShowsTheMiddleTwice_data();
    void startupShowsTheMiddleTwice();
    void startupPlacesTheButtons_data();
    void startupPlacesTheButtons();
    void menuIsCompleteAndInOrder();
    void oneAndAHalfThenTwiceGrowFromTheCorner();
    void verticalOnlyAndBack();
    void oneAndAHalfFromVerticalOnlyLeavesIt();
    void restoreDefaultHidesTheCustomButtons();
    void magnifyAgainCompounds();
    void endViewClearsAndHidesButKeepsTimersAndPlace();
    void aViewOnAnotherSizedMonitorKeepsItsEnlargement();
    void aMonitorThatChangesDuringAViewTakesTheViewAlong_data();
    void aMonitorThatChangesDuringAViewTakesTheViewAlong();
    void buffersAreGivenBackOnlyWhileWaiting();
    void aCaptureThatFailsSaysWhyOnce();
    void noStaleEdgeAtAnySize();
};

void TstView::startupShowsTheMiddleTwice_data() {
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<double>("dpi");
    QTest::newRow("1024x768 at 96 dpi") << QSize(1024, 768) << 96.0;
    QTest::newRow("1024x768 at 120 dpi") << QSize(1024, 768) << 120.0;
    QTest::newRow("1920x1080 at 96 dpi") << QSize(1920, 1080) << 96.0;
}

void TstView::startupShowsTheMiddleTwice() {
    QFETCH(QSize, pixels);
    QFETCH(double, dpi);
    FormRig rig(pixels, dpi);
    Frmpictd& f = *rig.form;
    const units::Screen s = rig.screen.screen();

    QVERIFY(f.isVisible());
    QCOMPARE(f.geometry(), QRect(QPoint(0, 0), pixels));
    QCOMPARE(f.Imadpic.picture.size(), pixels);
    QCOMPARE(f.Imadpic.Width, 2 * s.Width());
    QCOMPARE(f.Imadpic.Height, 2 * s.Height());
    QCOMPARE(f.Imadpic.Left, -s.Width() / 2);
    QCOMPARE(f.Imadpic.Top, -s.Height() / 2);

    const int w = pixels.width(), h = pixels.height();
    QCOMPARE(rig.shownAt({0, 0}), QPoint(w / 4, h / 4));
    QCOMPARE(rig.shownAt({w / 2, h / 2}), QPoint(w / 2, h / 2));
    const QPoint last = rig.shownAt({w - 1, h - 1});
    QVERIFY(qAbs(last.x() - (3 * w / 4 - 1)) <= 1);
    QVERIFY(qAbs(last.y() - (3 * h / 4 - 1)) <= 1);
}

void TstView::startupPlacesTheButtons_data() {
    QTest::addColumn<double>("dpi");
    QTest::newRow("96 dpi") << 96.0;
    QTest::newRow("120 dpi") << 120.0;
}

void TstView::startupPlacesTheButtons() {
    QFETCH(double, dpi);
    FormRig rig({1024, 768}, dpi);
    Frmpictd& f = *rig.form;
    const double tpp = 1440 / dpi;
    auto px = [tpp](double twips) { return units::cint(twips / tpp); };
    const double sw = 1024 * tpp, sh = 768 * tpp;

    QCOMPARE(f.Command5->geometry(), QRect(px(sw - 375), 0, px(375), px(375)));
    QCOMPARE(f.Command5->toolTip(), QStringLiteral("手工画框标记"));
    QVERIFY(!f.Command5->icon().isNull());
    QCOMPARE(f.Comqxbcfd->geometry(),
             QRect(px(sw - 300 - 20), px((sh - 255) / 1.2), px(300), px(255)));
    QCOMPARE(f.Comqxbcfd->toolTip(), QStringLiteral("取消本次放大[可按X键]"));

    struct Expect {
        QPushButton* b;
        double left, top;
        const char* caption;
        const char* tip;
    };
    for (const Expect& e : {Expect{f.Command1, 4560, 2880, "宽-", "单击减宽200"},
                            Expect{f.Command2, 4560, 2280, "高-", "单击减高200"},
                            Expect{f.Command3, 4080, 2880, "宽+", "单击增宽200"},
                            Expect{f.Command4, 4080, 2280, "高+", "单击增高200"}}) {
        QCOMPARE(e.b->geometry(), QRect(px(e.left), px(e.top), px(495), px(255)));
        QCOMPARE(e.b->text(), QString::fromUtf8(e.caption));
        QCOMPARE(e.b->toolTip(), QString::fromUtf8(e.tip));
        QVERIFY(e.b->isHidden());
    }
    QVERIFY(f.P1->isHidden());
    QVERIFY(f.P2->isHidden());
}

void TstView::menuIsCompleteAndInOrder() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    QCOMPARE(f.mnkz->title(), QStringLiteral("控制"));
    const QStringList expected = {"取消本次放大[也可按X键或Esc键！]",
                                  "再次放大本屏(Ctrl+Z)",
                                  "-",
                                  "退出！！！",
                                  "-",
                                  "只纵向放大",
                                  "自定义zuz",
                                  "恢复缺省大小[2倍]",
                                  "-",
                                  "扩大1点5倍",
                                  "-",
                                  "上下自动滚动",
                                  "循环滚动",
                                  "推拉效果",
                                  "-",
                                  "速度",
                                  "-",
                                  "Zonara",
                                  "Snarell",
                                  "-",
                                  "辅助",
                                  "关于...",
                                  "捕获"};
    QCOMPARE(captions(f.mnkz), expected);
    QCOMPARE(captions(f.mnsudu), QStringList({"快=1", "中=100", "慢=500", "缺省=50", "自定义"}));
    // The aids: ticks that show their state, contrast as radio items.
    QMenu* aids = f.mnkz->actions().at(expected.indexOf("辅助"))->menu();
    QVERIFY(aids);
    QCOMPARE(captions(aids),
             QStringList({"反色(I)", "-", "正常对比度", "高对比度(C)", "更高对比度", "-", "灰度(G)",
                          "平滑放大(S)", "-", "十字线(H)", "阅读条(L)"}));
    for (QAction* a : aids->actions()) {
        QCOMPARE(a->isCheckable(), !a->isSeparator());
        QCOMPARE(a->isChecked(), a->text() == QStringLiteral("正常对比度"));
    }
    QVERIFY(!f.mnbuhuo->isVisible());
    for (QAction* a : f.mnkz->actions())
        QCOMPARE(a->isChecked(), false);
    for (QAction* a : f.mnsudu->actions())
        QCOMPARE(a->isChecked(), a == f.mnzhong);
    // Ticked "中=100" while scrolling still runs at its starting interval.
    QCOMPARE(f.Timgund->Interval(), 50);
    QVERIFY(!f.Timgund->Enabled());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(!f.TimKey->Enabled());
}

void TstView::oneAndAHalfThenTwiceGrowFromTheCorner() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    const double sw = 15360, sh = 11520;
    f.Imadpic.Left = -3000;
    f.Imadpic.Top = -1500;

    f.mnsuoxiao_Click();
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大2倍"));
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("只纵向放大"));
    QCOMPARE(f.Imadpic.Width, 1.5 * sw);
    QCOMPARE(f.Imadpic.Height, 1.5 * sh);
    QCOMPARE(f.Imadpic.Left, -3000.0);
    QCOMPARE(f.Imadpic.Top, -1500.0);
    QCOMPARE(f.geometry(), QRect(0, 0, 1024, 768));
    // 1.5 times from the corner: window pixel 300 shows 200 pixels further.
    QCOMPARE(rig.shownAt({300, 0}).x() - rig.shownAt({0, 0}).x(), 200);

    f.mnsuoxiao_Click();
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大1点5倍"));
    QCOMPARE(f.Imadpic.Width, 2 * sw);
    QCOMPARE(f.Imadpic.Height, 2 * sh);
    QCOMPARE(f.Imadpic.Left, -3000.0);

    // The caption shows the zoom, it does not hold it.
    f.mnsuoxiao->setText(QStringLiteral("something else"));
    f.mnsuoxiao_Click();
    QCOMPARE(f.Imadpic.Width, 1.5 * sw);
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大2倍"));
}

void TstView::verticalOnlyAndBack() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnsuoxiao_Click(); // 1.5 times first: vertical-only keeps that caption
    f.mnzongxiangfd_Click();
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("横向纵向都放大"));
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大2倍"));
    QCOMPARE(f.Imadpic.Left, 0.0);
    QCOMPARE(f.Imadpic.Width, 15360.0);
    QCOMPARE(f.Imadpic.Height, 2 * 11520.0);
    QCOMPARE(rig.shownAt({0, 0}).x(), 0);
    QCOMPARE(rig.shownAt({1023, 0}).x(), 1023);

    f.mnzongxiangfd_Click();
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("只纵向放大"));
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大1点5倍"));
    QCOMPARE(f.Imadpic.Width, 2 * 15360.0);
    QCOMPARE(f.Imadpic.Height, 2 * 11520.0);
    QCOMPARE(f.Imadpic.Left, 0.0);
}

void TstView::oneAndAHalfFromVerticalOnlyLeavesIt() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnzongxiangfd_Click();
    f.mnsuoxiao_Click();
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("只纵向放大"));
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大2倍"));
    QCOMPARE(f.Imadpic.Width, 1.5 * 15360);
    QCOMPARE(f.Imadpic.Height, 1.5 * 11520);
}

void TstView::restoreDefaultHidesTheCustomButtons() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshougong_Click();
    for (QPushButton* b : {f.Command1, f.Command2, f.Command3, f.Command4})
        QVERIFY(!b->isHidden());
    f.mnsuoxiao_Click();
    f.Imadpic.Left = -100;

    f.mnhiufuquesheng_Click();
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("扩大1点5倍"));
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("只纵向放大"));
    QCOMPARE(f.Imadpic.Width, 2 * 15360.0);
    QCOMPARE(f.Imadpic.Height, 2 * 11520.0);
    QCOMPARE(f.Imadpic.Left, -100.0);
    for (QPushButton* b : {f.Command1, f.Command2, f.Command3, f.Command4})
        QVERIFY(b->isHidden());
    QCOMPARE(f.mnshougong->text(), QStringLiteral("结束自定义zuz"));
    QCOMPARE(f.geometry(), QRect(0, 0, 1024, 768));
}

void TstView::magnifyAgainCompounds() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    // Twice: 16 window pixels show 8 screen pixels.
    QCOMPARE(rig.shownAt({528, 384}).x() - rig.shownAt({512, 384}).x(), 8);
    f.mnzaicifd_Click();
    QCOMPARE(rig.shownAt({528, 384}).x() - rig.shownAt({512, 384}).x(), 4);
    QCOMPARE(rig.shownAt({512, 384}), QPoint(512, 384));
    f.mnzaicifd_Click();
    QCOMPARE(rig.shownAt({528, 384}).x() - rig.shownAt({512, 384}).x(), 2);
    QCOMPARE(rig.shownAt({512, 400}).y() - rig.shownAt({512, 384}).y(), 2);
    QCOMPARE(f.Imadpic.Width, 2 * 15360.0);
}

void TstView::endViewClearsAndHidesButKeepsTimersAndPlace() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.Imadpic.Left = -1234;
    f.Timgund->setEnabled(true);
    f.mnexit_Click();
    QVERIFY(!f.isVisible());
    QVERIFY(f.Imadpic.picture.isNull());
    QVERIFY(f.P1->picture().isNull());
    QVERIFY(f.Timgund->Enabled());

    f.show();
    QVERIFY(!f.Comqxbcfd->isHidden());
    QTest::mouseClick(f.Comqxbcfd, Qt::LeftButton);
    QVERIFY(!f.isVisible());

    // The next view keeps the place the picture was dragged to.
    f.mnbuhuo_Click();
    f.show();
    QCOMPARE(f.Imadpic.Left, -1234.0);
    QCOMPARE(f.Imadpic.picture.size(), QSize(1024, 768));
}

void TstView::aCaptureThatFailsSaysWhyOnce() {
    FormRig rig({640, 480});
    Frmpictd& f = *rig.form;
    QVERIFY(rig.prompts.messages.isEmpty());
    rig.grabber.failure = QStringLiteral("no screenshot service");
    f.mnbuhuo_Click();
    f.mnbuhuo_Click();
    QCOMPARE(rig.prompts.messages.size(), qsizetype(1));
    QVERIFY(rig.prompts.messages[0].endsWith(QStringLiteral("|no screenshot service")));
}

void TstView::buffersAreGivenBackOnlyWhileWaiting() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    QVERIFY(!f.viewBuffersReleasePending());
    f.EndView();
    QVERIFY(f.viewBuffersReleasePending());
    f.show(); // the next view came first: the buffers are needed again
    QVERIFY(!f.viewBuffersReleasePending());
    f.releaseViewBuffers();
    QCOMPARE(rig.grabber.trims(), 0);
    f.Comqxbcfd_Click();
    f.releaseViewBuffers();
    QCOMPARE(rig.grabber.trims(), 1);
    // The next view after that paints in full all the same.
    f.mnbuhuo_Click();
    f.show();
    QCOMPARE(rig.shownAt({0, 0}), QPoint(256, 192));
    QCOMPARE(rig.shownAt({1023, 767}), QPoint(767, 575));
}

// The monitor changed between views (another monitor, or a new
// resolution): the next view is laid out for it, still twice enlarged.
void TstView::aViewOnAnotherSizedMonitorKeepsItsEnlargement() {
    FormRig rig(QSize(1024, 768));
    Frmpictd& f = *rig.form;
    f.mnsuoxiao_Click(); // 1.5 times
    f.EndView();
    rig.screen.setScreen(units::Screen::fromDpi(800, 600, 96, 96));
    f.TimKey_Timer();
    const units::Screen s = rig.screen.screen();
    QCOMPARE(f.geometry(), QRect(0, 0, 800, 600));
    QCOMPARE(f.Imadpic.picture.size(), QSize(800, 600));
    QCOMPARE(f.Imadpic.Width, 1.5 * s.Width());
    QCOMPARE(f.Imadpic.Height, 1.5 * s.Height());
    QCOMPARE(f.Command5->geometry().right(), 799);
}

void TstView::aMonitorThatChangesDuringAViewTakesTheViewAlong_data() {
    QTest::addColumn<QSize>("now");
    QTest::newRow("smaller") << QSize(800, 600);
    QTest::newRow("larger") << QSize(1280, 1024);
}

// The frozen picture stays, still twice the monitor and centred on the
// same point of it; the window and its corner buttons cover the monitor as
// it is now.
void TstView::aMonitorThatChangesDuringAViewTakesTheViewAlong() {
    QFETCH(QSize, now);
    FormRig rig(QSize(1024, 768));
    Frmpictd& f = *rig.form;
    const int grabs = rig.grabber.grabs();
    rig.screen.setScreen(units::Screen::fromDpi(now.width(), now.height(), 96, 96));
    f.followScreenChange();
    const units::Screen s = rig.screen.screen();
    QCOMPARE(f.geometry(), QRect(QPoint(0, 0), now));
    QCOMPARE(f.Command5->geometry().right(), now.width() - 1);
    QCOMPARE(f.Imadpic.Width, 2 * s.Width());
    QCOMPARE(f.Imadpic.Height, 2 * s.Height());
    QCOMPARE(rig.grabber.grabs(), grabs);
    const QPoint middle = rig.shownAt({now.width() / 2, now.height() / 2});
    QVERIFY2((middle - QPoint(512, 384)).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(middle.x()).arg(middle.y())));
    // Hidden, it waits for the next view to be laid out.
    f.EndView();
    rig.screen.setScreen(units::Screen::fromDpi(640, 480, 96, 96));
    f.followScreenChange();
    QVERIFY(!f.isVisible());
}

// Every size the custom-size buttons reach moves an edge by 13.33 pixels;
// 1.5 times an odd screen puts the edges on half pixels. Each frame
// leaves nothing of the one before: the window shows exactly what a
// fresh paint gives. (Run once more on a scaled screen, QT_SCALE_FACTOR.)
void TstView::noStaleEdgeAtAnySize() {
    FormRig rig({201, 151});
    Frmpictd& f = *rig.form;
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const auto check = [&f](const QString& step) {
        const QString stale = staleAfter(f, step);
        QVERIFY2(stale.isEmpty(), qPrintable(stale));
    };
    check(QStringLiteral("the start"));
    if (QTest::currentTestFailed()) return;
    f.mnsuoxiao_Click(); // 1.5 times: 301.5 x 226.5 pixels
    f.CenterPicture(f.Imadpic);
    check(QStringLiteral("1.5 times"));
    if (QTest::currentTestFailed()) return;
    // From the top-left corner, so that the right and bottom edges come
    // into the window.
    f.Imadpic.Left = 0;
    f.Imadpic.Top = 0;
    f.mnshougong_Click();
    // The button pressed, then the window checked; false once a check fails.
    const auto press = [&](void (Frmpictd::*button)(), const QString& step) {
        (f.*button)();
        check(step);
        return !QTest::currentTestFailed();
    };
    for (int i = 1; i <= 24; ++i)
        if (!press(&Frmpictd::Command1_Click, QStringLiteral("宽- %1").arg(i)) ||
            !press(&Frmpictd::Command2_Click, QStringLiteral("高- %1").arg(i)))
            return;
    for (int i = 1; i <= 5; ++i)
        if (!press(&Frmpictd::Command3_Click, QStringLiteral("宽+ %1").arg(i)) ||
            !press(&Frmpictd::Command4_Click, QStringLiteral("高+ %1").arg(i)))
            return;
}

QTEST_MAIN(TstView)
#include "tst_view.moc"
