// Start-up, placement, dragging, the menu and the exit of the control window.
#include "region/picker/modMain.h"
#include "region/regionstart.h"
#include "regionrig.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class TstRegionControl : public QObject {
    Q_OBJECT
  private slots:
    void pointsToRect_data();
    void pointsToRect();
    void placement_data();
    void placement();
    void windowsFollowTheirMonitors();
    void button();
    void menuItemsInOrder();
    void dragMovesWithoutLimit();
    void onlyTheLeftButtonAloneDrags();
    void rightPressPopsTheMenu();
    void companionPrograms();
    void mailAndAbout();
    void tipAtStartOnlyWithoutMarker();
    void exitClearsOnlyOurOwnBitmap_data();
    void exitClearsOnlyOurOwnBitmap();
    void exitUnloadsTheOtherWindows();
    void secondInstanceMessage();
};

void TstRegionControl::pointsToRect_data() {
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::newRow("down right") << QPoint(10, 20) << QPoint(110, 220);
    QTest::newRow("up left") << QPoint(110, 220) << QPoint(10, 20);
    QTest::newRow("up right") << QPoint(10, 220) << QPoint(110, 20);
    QTest::newRow("down left") << QPoint(110, 20) << QPoint(10, 220);
}

void TstRegionControl::pointsToRect() {
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    const RectL r = PointsToRect({a.x(), a.y()}, {b.x(), b.y()});
    QCOMPARE(r.Left, 10);
    QCOMPARE(r.Top, 20);
    QCOMPARE(r.Right, 110);
    QCOMPARE(r.Bottom, 220);
}

void TstRegionControl::placement_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("1024x768") << QSize(1024, 768) << 96.0 << 1.0 << QPoint();
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 96.0 << 1.0 << QPoint();
    QTest::newRow("3840x2160") << QSize(3840, 2160) << 96.0 << 1.0 << QPoint();
    QTest::newRow("1280x1024 at 120 dpi") << QSize(1280, 1024) << 120.0 << 1.0 << QPoint();
    QTest::newRow("3840x2160 at ratio 2") << QSize(3840, 2160) << 96.0 << 2.0 << QPoint();
    QTest::newRow("right of another") << QSize(1920, 1080) << 96.0 << 1.0 << QPoint(1920, 0);
    QTest::newRow("below another, ratio 1.5")
        << QSize(2880, 1620) << 96.0 << 1.5 << QPoint(0, 1080);
}

// 500 x 500 twips, right edge on the primary monitor's right edge, top 900
// twips above its bottom edge.
void TstRegionControl::placement() {
    QFETCH(QSize, screen);
    QFETCH(double, dpi);
    QFETCH(double, ratio);
    QFETCH(QPoint, origin);
    RegionRig rig(screen, dpi, ratio, origin);
    const units::Screen s = rig.screen.screen();
    const QRect g = rig.main->geometry();
    QCOMPARE(g.width(), s.toPixelsX(500));
    QCOMPARE(g.height(), s.toPixelsY(500));
    // At a fractional ratio the toolkit may round the right edge a device
    // pixel past the monitor's unless the button stands a logical pixel in.
    const int right = g.right() + 1 - origin.x();
    QVERIFY2(right == s.widthPx || (ratio != int(ratio) && right == s.widthPx - 1),
             qPrintable(QString::number(right)));
    QVERIFY(qRound((g.left() - origin.x()) * ratio) + qRound(g.width() * ratio) <= screen.width());
    QCOMPARE(g.top(), origin.y() + s.toPixelsY(s.Height() - 900));
    // Shown where it stays, not moved there after a first frame elsewhere.
    QCOMPARE(rig.main->shownAt, g);
    QVERIFY(rig.main->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(rig.main->windowFlags() & Qt::FramelessWindowHint);
}

// The primary monitor at (1280, 200), another at (0, 0) at twice the scale:
// 1280 x 1024 device pixels in 640 x 512 logical ones.
void TstRegionControl::windowsFollowTheirMonitors() {
    const QRect primary(1280, 200, 1024, 768);
    TwoMonitors monitors(PlacedScreenInfo(scaledScreen({1024, 768}), primary.topLeft()),
                         PlacedScreenInfo(scaledScreen({1280, 1024}, 2.0)));
    RegionRig rig(monitors, {2304, 1024});
    TestMain& m = *rig.main;
    const QRect corner(1280 + 1024 - 33, 200 + 768 - 60, 33, 33);
    QCOMPARE(m.geometry(), corner);

    // The pointer is on the other monitor when the pick starts: the picker
    // covers that one, and the region window opens in its middle, 120 x 80
    // device pixels of picture in 60 x 40 logical ones.
    QRect picked;
    m.onPick = [&](frmCaptureArea& p) {
        picked = p.geometry();
        RegionRig::drag(p, {100, 50}, {130, 70});
    };
    m.Comzdy_Click();
    QCOMPARE(picked, QRect(0, 0, 640, 512));
    QCOMPARE(decodePattern(rig.clipboard.bitmap().pixel(0, 0)), QPoint(200, 100));
    QPointer<Fortdck> f = m.fortdck();
    QCOMPARE(f->geometry(), QRect((640 - 62) / 2, (512 - 42) / 2, 62, 42));
    QCOMPARE(m.geometry(), corner);

    // That monitor goes down to ratio 1: the window is laid out afresh for
    // its device pixels.
    rig.desk->other.setScreen(scaledScreen({1280, 1024}));
    m.monitors = {primary, QRect(0, 0, 1280, 1024)};
    m.ScreensChanged();
    QCOMPARE(f->geometry(), QRect((1280 - 122) / 2, (1024 - 82) / 2, 122, 82));

    // Then it goes away: the window comes to the middle of the primary
    // monitor, and snaps to its edges from now on; the button stays.
    m.monitors = {primary};
    m.ScreensChanged();
    QCOMPARE(m.fortdck(), f.data());
    QCOMPARE(f->geometry(), QRect(1280 + (1024 - 122) / 2, 200 + (768 - 82) / 2, 122, 82));
    QCOMPARE(m.geometry(), corner);
    f->move(1280 + 8, 300);
    f->Imayulanpic_MouseDown(1, 0, 150, 150);
    f->Imayulanpic_MouseMove(1, 0, 135, 150);
    QCOMPARE(f->x(), 1280);

    // A button whose middle no monitor shows comes back to its corner; one
    // that a monitor shows at least half of stays where the user put it.
    m.move(100, 100);
    m.ScreensChanged();
    QCOMPARE(m.geometry(), corner);
    m.move(1280 - 10, 300);
    m.ScreensChanged();
    QCOMPARE(m.pos(), QPoint(1270, 300));
    m.move(1280 - 20, 300);
    m.ScreensChanged();
    QCOMPARE(m.geometry(), corner);

    // The next pick is on the monitor under the pointer as it is then.
    rig.desk->pointerOnOther = false;
    m.Comzdy_Click();
    QCOMPARE(picked, primary);

    // A pick whose monitor goes away ends, and the button comes back.
    bool pickEnded = false;
    m.onPick = [&](frmCaptureArea& p) {
        m.monitors = {QRect(0, 0, 1280, 1024)};
        m.ScreensChanged();
        pickEnded = !p.isLoaded();
    };
    m.Comzdy_Click();
    QVERIFY(pickEnded);
    QVERIFY(m.isVisible());
}

void TstRegionControl::button() {
    RegionRig rig;
    QPushButton* b = rig.main->Comzdy;
    QCOMPARE(b->geometry(), QRect(0, 0, 33, 33));
    QCOMPARE(b->text(), QString());
    QVERIFY(b->icon().isNull());
    QCOMPARE(b->toolTip(), QStringLiteral("自定义区域（单击后拖动鼠标！）"));
    QCOMPARE(b->cursor().shape(), Qt::BitmapCursor);
    QVERIFY(b->styleSheet().contains(QStringLiteral("#E0E0E0")));
}

void TstRegionControl::menuItemsInOrder() {
    RegionRig rig;
    TestMain& m = *rig.main;
    auto describe = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                out << QStringLiteral("-");
            else
                out << a->text() + (a->menu() ? QStringLiteral(">") : QString()) +
                           (a->isChecked() ? QStringLiteral("*") : QString());
        }
        return out.join(QLatin1Char('|'));
    };
    QCOMPARE(m.mnuCaptureMain->title(), QStringLiteral("捕获选择[&C]"));
    QCOMPARE(describe(m.mnuCaptureMain),
             QStringLiteral("放大区域|放大比例>|-|是否滚动|速度>|-|Snarell|全屏放大|-|结束放大|-|"
                            "视觉辅助>|关于|") +
                 frmMainwn::ContactAddress());
    QCOMPARE(describe(m.mndangdabl), QStringLiteral("1x2*|1x4|1x6"));
    QCOMPARE(describe(m.mngdsd), QStringLiteral("快=1|中=100|慢=500|缺省=50*|自定义"));
    QVERIFY(m.mnshifougd->isCheckable());
    QVERIFY(!m.mnshifougd->isChecked());
    QVERIFY(frmMainwn::ContactAddress().contains(QLatin1Char('@')));
}

void TstRegionControl::dragMovesWithoutLimit() {
    RegionRig rig;
    TestMain& m = *rig.main;
    const QPoint start = m.pos();
    // Pressed 10 px into the button, then the pointer goes 45 px right and
    // 30 px up: the window follows by the same amount.
    m.Comzdy_MouseDown(1, 0, 150, 150);
    m.Comzdy_MouseMove(1, 0, 150 + 45 * 15, 150 - 30 * 15);
    QCOMPARE(m.pos(), start + QPoint(45, -30));
    // No threshold: a one-pixel move moves it; no limit: it leaves the screen.
    m.Comzdy_MouseMove(1, 0, 165, 150);
    QCOMPARE(m.pos(), start + QPoint(46, -30));
    m.Comzdy_MouseMove(1, 0, 150 + 200 * 15, 150 + 100 * 15);
    QCOMPARE(m.pos(), start + QPoint(246, 70));
    QVERIFY(m.x() > 1024 - 33);
}

void TstRegionControl::onlyTheLeftButtonAloneDrags() {
    RegionRig rig;
    TestMain& m = *rig.main;
    const QPoint start = m.pos();
    m.Comzdy_MouseDown(1, 0, 150, 150);
    m.Comzdy_MouseMove(3, 0, 600, 600);
    m.Comzdy_MouseMove(0, 0, 600, 600);
    m.Comzdy_MouseMove(2, 0, 600, 600);
    QCOMPARE(m.pos(), start);
}

void TstRegionControl::rightPressPopsTheMenu() {
    RegionRig rig;
    TestMain& m = *rig.main;
    m.Comzdy_MouseDown(2, 0, 100, 100);
    QCOMPARE(rig.prompts.popups, 1);
    QCOMPARE(rig.prompts.lastMenu, m.mnuCaptureMain);
    // A second right press soon after the first, at the same spot, comes
    // as a double-click: after a quick pick from the menu, say. It opens
    // the menu all the same.
    QTest::mouseDClick(m.Comzdy, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(rig.prompts.popups, 2);
}

void TstRegionControl::companionPrograms() {
    RegionRig rig;
    rig.main->mnqpfd->trigger();
    rig.main->mnwnbh->trigger();
    // The capture program is asked once the windows under the menu are
    // painted again.
    QTRY_COMPARE(rig.starter.started,
                 QStringList({QStringLiteral("zuz"), QStringLiteral("Derudovudi")}));
}

void TstRegionControl::mailAndAbout() {
    RegionRig rig;
    rig.main->mnemail->trigger();
    QCOMPARE(rig.main->links.size(), 1);
    QCOMPARE(rig.main->links[0].toString(),
             QStringLiteral("mailto:") + frmMainwn::ContactAddress());
    // "关于" shows the tip dialog whether or not the marker exists.
    QCOMPARE(rig.prompts.tipShown, 0);
    rig.main->mnabut->trigger();
    QCOMPARE(rig.prompts.tipShown, 1);
}

void TstRegionControl::tipAtStartOnlyWithoutMarker() {
    RegionRig rig;
    QCOMPARE(rig.prompts.tipShown, 0);
    rig.prompts.markerExists = false;
    rig.main->Form_Load();
    QCOMPARE(rig.prompts.tipShown, 1);
}

void TstRegionControl::exitClearsOnlyOurOwnBitmap_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("our own bitmap") << "ours" << true;
    QTest::newRow("another program's picture") << "picture" << false;
    QTest::newRow("text") << "text" << false;
    QTest::newRow("empty") << "empty" << false;
}

void TstRegionControl::exitClearsOnlyOurOwnBitmap() {
    QFETCH(QString, content);
    QFETCH(bool, cleared);
    RegionRig rig;
    QImage theirs(20, 10, QImage::Format_RGB32);
    theirs.fill(Qt::red);
    if (content == "ours") {
        rig.main->onPick = [](frmCaptureArea& p) { RegionRig::drag(p, {5, 5}, {40, 30}); };
        rig.main->Comzdy_Click();
    } else if (content == "picture") {
        rig.clipboard.setBitmap(QImage(4, 4, QImage::Format_RGB32));
        rig.clipboard.putItemFromElsewhere(theirs);
    } else if (content == "text") {
        rig.clipboard.putItemFromElsewhere({}, QStringLiteral("keep me"));
    }
    const bool hadBitmap = rig.clipboard.hasBitmap();
    rig.main->mnjsbh->trigger();
    QCOMPARE(rig.clipboard.hasBitmap(), hadBitmap && !cleared);
    if (content == "picture") QCOMPARE(rig.clipboard.bitmap(), theirs);
    if (content == "text") QCOMPARE(rig.clipboard.text(), QStringLiteral("keep me"));
    QVERIFY(!rig.main->isVisible());
}

void TstRegionControl::exitUnloadsTheOtherWindows() {
    RegionRig rig;
    Fortdck* f = rig.open(QImage(16, 16, QImage::Format_RGB32));
    QVERIFY(f && f->isVisible());
    rig.main->close();
    QVERIFY(!rig.main->fortdck());
    QVERIFY(!f->isVisible());
    QCOMPARE(rig.prompts.tipUnloaded, 1);
}

void TstRegionControl::secondInstanceMessage() {
    const QStringList pieces = regionstart::regionSecondInstancePieces();
    QCOMPARE(pieces.size(), 5);
    QCOMPARE(pieces.first(), QStringLiteral("   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下："));
    QCOMPARE(pieces.last(), QStringLiteral("您现在可试一下！"));
    const QString text = regionstart::regionSecondInstanceText();
    QCOMPARE(text.count(QStringLiteral("\n\n")), 4);
    QVERIFY(!text.endsWith(QLatin1Char('\n')));
}

QTEST_MAIN(TstRegionControl)
#include "tst_region_control.moc"
