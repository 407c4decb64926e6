// The magnified-region window: layout per ratio, snapping, panning, the
// menu, closing, and pictures far larger than the screen.
#include "regionrig.h"

#include <QAction>
#include <QTest>

namespace {
QImage pattern(int w, int h) {
    return codedPattern(w, h);
}

// The client area of the window in screen pixels.
QRect clientRect(const Fortdck& f) {
    return f.geometry().adjusted(Fortdck::kBorderPx, Fortdck::kBorderPx, -Fortdck::kBorderPx,
                                 -Fortdck::kBorderPx);
}

// Sets the ratio directly: "2", "4", "6" or "" for none.
void tickRatio(TestMain& m, const QString& ratio) {
    m.ratio().set(ratio == "2"   ? RatioChoice::Ratio::Two
                  : ratio == "4" ? RatioChoice::Ratio::Four
                  : ratio == "6" ? RatioChoice::Ratio::Six
                                 : RatioChoice::Ratio::None);
}

// A 300 x 200 region at 1x6: an 1800 x 1200 picture in a 1022 x 766
// client area, larger than it both ways.
Fortdck* openLargerThanTheWindow(RegionRig& rig) {
    tickRatio(*rig.main, "6");
    return rig.open(pattern(300, 200));
}
} // namespace

class TstRegionWindow : public QObject {
    Q_OBJECT
  private slots:
    void layout_data();
    void layout();
    void showsThePictureEnlarged();
    void ratioItemsToggle_data();
    void ratioItemsToggle();
    void ratioChangeLeavesTheOpenWindow();
    void snapping_data();
    void snapping();
    void snapStateOutlivesTheWindow();
    void snapsToTheEdgesOfItsMonitor_data();
    void snapsToTheEdgesOfItsMonitor();
    void panningClamps_data();
    void panningClamps();
    void panningLeavesAPictureThatDoesNotOverhang();
    void pressReloadsFromTheClipboard();
    void pressKeepsThePictureWithoutAUsableOne_data();
    void pressKeepsThePictureWithoutAUsableOne();
    void rightPressPopsTheMenu();
    void doubleClickClosesOnlyThisWindow();
    void noBitmapGivesTheBackground_data();
    void noBitmapGivesTheBackground();
    void hugePictureIsNeverEnlargedInMemory();
};

void TstRegionWindow::layout_data() {
    QTest::addColumn<QSize>("region");
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QRect>("client");
    QTest::addColumn<QPointF>("pictureTopLeftPx");
    QTest::newRow("32x32 at 1x2") << QSize(32, 32) << "2" << QRect(480, 352, 64, 64)
                                  << QPointF(0, 0);
    QTest::newRow("32x32 at 1x4") << QSize(32, 32) << "4" << QRect(448, 320, 128, 128)
                                  << QPointF(0, 0);
    QTest::newRow("32x32 at 1x6") << QSize(32, 32) << "6" << QRect(416, 288, 192, 192)
                                  << QPointF(0, 0);
    QTest::newRow("no ratio ticked: 2x")
        << QSize(32, 32) << "" << QRect(480, 352, 64, 64) << QPointF(0, 0);
    // 1800 x 1200 on 1024 x 768: the window fills the screen and the middle
    // of the picture shows.
    QTest::newRow("300x200 at 1x6")
        << QSize(300, 200) << "6" << QRect(1, 1, 1022, 766) << QPointF(-389, -217);
    // Too wide only: full width, own height.
    QTest::newRow("300x50 at 1x4")
        << QSize(300, 50) << "4" << QRect(1, 284, 1022, 200) << QPointF(-89, 0);
}

void TstRegionWindow::layout() {
    QFETCH(QSize, region);
    QFETCH(QString, ratio);
    QFETCH(QRect, client);
    QFETCH(QPointF, pictureTopLeftPx);
    RegionRig rig;
    tickRatio(*rig.main, ratio);
    Fortdck* f = rig.open(pattern(region.width(), region.height()));
    QVERIFY(f);
    QCOMPARE(clientRect(*f), client);
    QCOMPARE(QPointF(f->Imayulanpic.Left / 15, f->Imayulanpic.Top / 15), pictureTopLeftPx);
    const int k = ratio.isEmpty() ? 2 : ratio.toInt();
    QCOMPARE(f->Imayulanpic.Width, 15.0 * k * region.width());
    QCOMPARE(f->Imayulanpic.Height, 15.0 * k * region.height());
    QVERIFY(!(f->windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(f->PixToHook, 225.0f);
}

void TstRegionWindow::showsThePictureEnlarged() {
    RegionRig rig;
    Fortdck* f = rig.open(pattern(32, 32));
    const QImage shot = f->grab().toImage();
    QCOMPARE(shot.size(), QSize(66, 66));
    QCOMPARE(shot.pixel(0, 0) & 0xFFFFFF, 0u); // the thin border
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (decodePattern(shot.pixel(1 + x, 1 + y)) != QPoint(x / 2, y / 2))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void TstRegionWindow::ratioItemsToggle_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("ticked");
    QTest::newRow("start") << ""
                           << "2";
    QTest::newRow("1x4") << "4"
                         << "4";
    QTest::newRow("1x6 then 1x4") << "64"
                                  << "4";
    QTest::newRow("checked item unticks all") << "2"
                                              << "";
    QTest::newRow("and ticks again") << "22"
                                     << "2";
}

void TstRegionWindow::ratioItemsToggle() {
    QFETCH(QString, clicks);
    QFETCH(QString, ticked);
    RegionRig rig;
    TestMain& m = *rig.main;
    for (QChar c : clicks)
        (c == '2' ? m.mn1x2 : c == '4' ? m.mn1x4 : m.mn1x6)->trigger();
    const auto marks = [&m] {
        QString now;
        if (m.mn1x2->isChecked()) now += "2";
        if (m.mn1x4->isChecked()) now += "4";
        if (m.mn1x6->isChecked()) now += "6";
        return now;
    };
    QCOMPARE(marks(), ticked);
    // The marks show the setting, whichever way it changed.
    m.ratio().set(RatioChoice::Ratio::Six);
    QCOMPARE(marks(), QStringLiteral("6"));
}

void TstRegionWindow::ratioChangeLeavesTheOpenWindow() {
    RegionRig rig;
    Fortdck* f = rig.open(pattern(32, 32));
    const QRect before = f->geometry();
    rig.main->mn1x6->trigger();
    QCOMPARE(f->geometry(), before);
    rig.main->LoadFortdck();
    QCOMPARE(clientRect(*rig.main->fortdck()).size(), QSize(192, 192));
}

// The window is 66 x 66 pixels (a 32 x 32 region at 1x2); the picture is
// grabbed at its point (10, 10) pixels. `left` is where the window starts;
// the pointer then moves by `moves` pixels, one event each.
void TstRegionWindow::snapping_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QList<int>>("lefts");
    QTest::newRow("8 px from the left edge snaps") << 8 << QList<int>{-1} << QList<int>{0};
    QTest::newRow("exactly 15 px does not snap") << 15 << QList<int>{-1} << QList<int>{14};
    QTest::newRow("past the edge is not pulled back") << -5 << QList<int>{1} << QList<int>{-4};
    QTest::newRow("near the right edge snaps")
        << 1024 - 66 - 3 << QList<int>{1} << QList<int>{1024 - 66};
    // Snapped at 0 (the window jumped 8 px under the pointer): the pointer
    // then goes 15 px right of the grabbed point (the window stays), then
    // 16 px (it follows again, by the whole distance).
    QTest::newRow("follows beyond 15 px") << 8 << QList<int>{-1, 8, 1} << QList<int>{0, 0, 16};
    QTest::newRow("free move") << 300 << QList<int>{-40, 25} << QList<int>{260, 285};
}

void TstRegionWindow::snapping() {
    QFETCH(int, left);
    QFETCH(QList<int>, moves);
    QFETCH(QList<int>, lefts);
    RegionRig rig;
    rig.main->fortdckMemory() = {};
    Fortdck* f = rig.open(pattern(32, 32));
    f->move(left, 300);
    f->Imayulanpic_MouseDown(1, 0, 150, 150);
    int pointer = 0; // pixels from the grab point, measured on the screen
    for (int i = 0; i < moves.size(); ++i) {
        pointer += moves[i];
        // The event's X is relative to the picture, which moves with the
        // window.
        const double x = 150 + 15.0 * (left + pointer - f->x());
        f->Imayulanpic_MouseMove(1, 0, x, 150);
        QCOMPARE(f->x(), lefts[i]);
        QCOMPARE(f->y(), 300);
    }
}

void TstRegionWindow::snapStateOutlivesTheWindow() {
    RegionRig rig;
    Fortdck* f = rig.open(pattern(32, 32));
    f->move(8, 300);
    f->Imayulanpic_MouseDown(1, 0, 150, 150);
    f->Imayulanpic_MouseMove(1, 0, 135, 150);
    QCOMPARE(rig.main->fortdckMemory().snapX.hook(), EdgeSnap::Hook::Hooked);
    rig.main->LoadFortdck();
    QCOMPARE(rig.main->fortdckMemory().snapX.hook(), EdgeSnap::Hook::Hooked);
    // Still "hooked": a small move does not move the new window sideways.
    Fortdck* g = rig.main->fortdck();
    const int x0 = g->x();
    g->Imayulanpic_MouseDown(1, 0, 150, 150);
    g->Imayulanpic_MouseMove(1, 0, 150 + 5 * 15, 150);
    QCOMPARE(g->x(), x0);
}

// A 32 x 32 region at 1x2 on a monitor of `device` pixels at `ratio`, its
// corner at `origin`. The window opens in the middle of that monitor, is put
// at `start` and dragged by `move` logical pixels; `end` is where it goes.
// Places are relative to the monitor's corner.
void TstRegionWindow::snapsToTheEdgesOfItsMonitor_data() {
    QTest::addColumn<QSize>("device");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<QPoint>("end");
    const QSize d(1024, 768);
    const QPoint o(1280, 200);
    // The window is 66 x 66 pixels.
    QTest::newRow("left edge") << d << 1.0 << o << QPoint(8, 300) << QPoint(-1, 0)
                               << QPoint(0, 300);
    QTest::newRow("right edge") << d << 1.0 << o << QPoint(1024 - 66 - 3, 300) << QPoint(1, 0)
                                << QPoint(1024 - 66, 300);
    QTest::newRow("top edge") << d << 1.0 << o << QPoint(300, 8) << QPoint(0, -1) << QPoint(300, 0);
    QTest::newRow("bottom edge") << d << 1.0 << o << QPoint(300, 768 - 66 - 3) << QPoint(0, 1)
                                 << QPoint(300, 768 - 66);
    QTest::newRow("not the desktop's left edge")
        << d << 1.0 << o << QPoint(8 - 1280, 300) << QPoint(-1, 0) << QPoint(7 - 1280, 300);
    QTest::newRow("not the desktop's top edge")
        << d << 1.0 << o << QPoint(300, 8 - 200) << QPoint(0, -1) << QPoint(300, 7 - 200);
    // 64 device pixels of picture in 32 logical ones: a 34 x 34 window on a
    // monitor 512 x 384 logical pixels large.
    QTest::newRow("ratio 2, right edge") << d << 2.0 << QPoint(1920, 0) << QPoint(512 - 34 - 3, 100)
                                         << QPoint(1, 0) << QPoint(512 - 34, 100);
}

void TstRegionWindow::snapsToTheEdgesOfItsMonitor() {
    QFETCH(QSize, device);
    QFETCH(double, ratio);
    QFETCH(QPoint, origin);
    QFETCH(QPoint, start);
    QFETCH(QPoint, move);
    QFETCH(QPoint, end);
    RegionRig rig(device, 96, ratio, origin);
    rig.main->fortdckMemory() = {};
    Fortdck* f = rig.open(pattern(32, 32));
    const QRect monitor = rig.screen.geometry();
    const QPoint offCentre = f->geometry().center() - monitor.center();
    QVERIFY2(offCentre.manhattanLength() <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    f->move(monitor.topLeft() + start);
    f->Imayulanpic_MouseDown(1, 0, 150, 150);
    f->Imayulanpic_MouseMove(1, 0, 150 + 15.0 * move.x(), 150 + 15.0 * move.y());
    QCOMPARE(f->pos() - monitor.topLeft(), end);
}

// A 300 x 200 region at 1x6: an 1800 x 1200 picture in a 1022 x 766 client
// area, starting at (-389, -217) pixels. Pressed at picture point
// (600, 400) px; the pointer moves by (dx, dy) pixels in one event.
void TstRegionWindow::panningClamps_data() {
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("free") << QPoint(100, -50) << QPoint(-289, -267);
    QTest::newRow("right stops at the left edge") << QPoint(1000, 0) << QPoint(0, -217);
    QTest::newRow("left stops at the right edge") << QPoint(-1000, 0) << QPoint(1022 - 1800, -217);
    QTest::newRow("down stops at the top edge") << QPoint(0, 500) << QPoint(-389, 0);
    QTest::newRow("up stops at the bottom edge") << QPoint(0, -500) << QPoint(-389, 766 - 1200);
}

void TstRegionWindow::panningClamps() {
    QFETCH(QPoint, delta);
    QFETCH(QPoint, topLeft);
    RegionRig rig;
    Fortdck* f = openLargerThanTheWindow(rig);
    const QRect before = f->geometry();
    f->Imayulanpic_MouseDown(1, 0, 600 * 15, 400 * 15);
    f->Imayulanpic_MouseMove(1, 0, (600 + delta.x()) * 15, (400 + delta.y()) * 15);
    QCOMPARE(QPoint(int(f->Imayulanpic.Left / 15), int(f->Imayulanpic.Top / 15)), topLeft);
    QCOMPARE(f->geometry(), before);
    // Held at the edge: further pulls the same way change nothing.
    const double l = f->Imayulanpic.Left, t = f->Imayulanpic.Top;
    f->Imayulanpic_MouseDown(1, 0, 600 * 15, 400 * 15);
    f->Imayulanpic_MouseMove(1, 0, (600 + 3 * delta.x()) * 15, (400 + 3 * delta.y()) * 15);
    if (delta != QPoint(100, -50)) {
        QCOMPARE(f->Imayulanpic.Left, l);
        QCOMPARE(f->Imayulanpic.Top, t);
    }
}

// A picture wider than the screen but a pixel less tall than the client
// area, flush with its top as rounding can leave it: a pull upwards pans it
// sideways and must not move it down off the top.
void TstRegionWindow::panningLeavesAPictureThatDoesNotOverhang() {
    RegionRig rig;
    Fortdck* f = openLargerThanTheWindow(rig);
    f->Imayulanpic.Top = 0;
    f->Imayulanpic.Height = f->ScaleHeight() - 15;
    QVERIFY(!f->PictureFitsScreen());
    const double left = f->Imayulanpic.Left;
    f->Imayulanpic_MouseDown(1, 0, 600 * 15, 400 * 15);
    f->Imayulanpic_MouseMove(1, 0, 560 * 15, 360 * 15);
    QCOMPARE(QPointF(f->Imayulanpic.Left, f->Imayulanpic.Top), QPointF(left - 600, 0));
}

void TstRegionWindow::pressReloadsFromTheClipboard() {
    RegionRig rig;
    Fortdck* f = openLargerThanTheWindow(rig);
    QImage other(10, 10, QImage::Format_RGB32);
    other.fill(Qt::red);
    rig.clipboard.putItemFromElsewhere(other);
    f->Imayulanpic_MouseDown(1, 0, 100, 100);
    QCOMPARE(f->Imayulanpic.picture, other);
    // Shown stretched to the size the picture had.
    QCOMPARE(f->Imayulanpic.Width, 1800.0 * 15);

    // A picture that fits is not reloaded.
    tickRatio(*rig.main, "2");
    Fortdck* g = rig.open(pattern(32, 32));
    rig.clipboard.putItemFromElsewhere(other);
    g->Imayulanpic_MouseDown(1, 0, 100, 100);
    QCOMPARE(g->Imayulanpic.picture.size(), QSize(32, 32));

    // Text copied meanwhile, or nothing at all: the shown picture stays.
    Fortdck* h = openLargerThanTheWindow(rig);
    const QImage shown = h->Imayulanpic.picture;
    const QImage before = h->grab().toImage();
    rig.clipboard.putItemFromElsewhere({}, QStringLiteral("text"));
    h->Imayulanpic_MouseDown(1, 0, 100, 100);
    QCOMPARE(h->Imayulanpic.picture, shown);
    QCOMPARE(h->grab().toImage(), before);
    rig.clipboard.clear();
    h->Imayulanpic_MouseDown(2, 0, 100, 100);
    QCOMPARE(h->Imayulanpic.picture, shown);
    QCOMPARE(h->Imayulanpic.Width, 1800.0 * 15);
}

namespace {
// What another program can leave on the clipboard, as the window sees it.
enum class Offer { Text, Nothing, Undecodable, ZeroSized, OnePixel };

void offer(MemoryClipboard& clipboard, Offer what) {
    switch (what) {
    case Offer::Text:
        clipboard.putItemFromElsewhere({}, QStringLiteral("text"));
        break;
    case Offer::Nothing:
        clipboard.clear();
        break;
    case Offer::Undecodable:
        clipboard.putUndecodableFromElsewhere();
        break;
    case Offer::ZeroSized:
        clipboard.putItemFromElsewhere(QImage(0, 0, QImage::Format_RGB32));
        break;
    case Offer::OnePixel: {
        QImage dot(1, 1, QImage::Format_RGB32);
        dot.fill(qRgb(1, 2, 3));
        clipboard.putItemFromElsewhere(dot);
        break;
    }
    }
}
} // namespace

void TstRegionWindow::pressKeepsThePictureWithoutAUsableOne_data() {
    QTest::addColumn<int>("what");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("text") << int(Offer::Text) << false;
    QTest::newRow("empty clipboard") << int(Offer::Nothing) << false;
    QTest::newRow("claimed picture, no picture in it") << int(Offer::Undecodable) << false;
    QTest::newRow("0x0 picture") << int(Offer::ZeroSized) << false;
    QTest::newRow("1x1 picture") << int(Offer::OnePixel) << true;
}

void TstRegionWindow::pressKeepsThePictureWithoutAUsableOne() {
    QFETCH(int, what);
    QFETCH(bool, replaced);
    RegionRig rig;
    Fortdck* f = openLargerThanTheWindow(rig);
    const QImage shown = f->Imayulanpic.picture;
    const QImage before = f->grab().toImage();
    offer(rig.clipboard, Offer(what));
    for (int button : {1, 2}) {
        f->Imayulanpic_MouseDown(button, 0, 100, 100);
        // The picture keeps its place and size whatever it shows.
        QCOMPARE(f->Imayulanpic.Width, 1800.0 * 15);
        QCOMPARE(f->Imayulanpic.Height, 1200.0 * 15);
        if (replaced) {
            QCOMPARE(f->Imayulanpic.picture.size(), QSize(1, 1));
            QCOMPARE(f->grab().toImage().pixel(500, 400), qRgb(1, 2, 3));
        } else {
            QCOMPARE(f->Imayulanpic.picture, shown);
            QCOMPARE(f->grab().toImage(), before);
        }
    }
}

// The menu comes by the right button, Shift+F10 and the Menu key; F1 lists
// the window's keys until the next key.
void TstRegionWindow::rightPressPopsTheMenu() {
    RegionRig rig;
    Fortdck* f = rig.open(pattern(32, 32));
    f->Imayulanpic_MouseDown(2, 0, 10, 10);
    f->Form_MouseDown(2, 0, 10, 10);
    f->Form_MouseDown(1, 0, 10, 10);
    QCOMPARE(rig.prompts.popups, 2);
    QCOMPARE(rig.prompts.lastMenu, rig.main->mnuCaptureMain);
    QTest::keyClick(f, Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(f, Qt::Key_Menu);
    QTest::keyClick(f, Qt::Key_F10);
    QCOMPARE(rig.prompts.popups, 4);
    QCOMPARE(rig.prompts.lastMenu, rig.main->mnuCaptureMain);

    QTest::keyClick(f, Qt::Key_F1);
    auto* list = f->findChild<KeyOverlay*>();
    QVERIFY(list && list->isVisible());
    QVERIFY(list->accessibleDescription().contains(QStringLiteral("Shift+F10")));
    // Too large for so small a window: over its middle in a window of its own.
    QVERIFY(list->isWindow());
    // Within a pixel: an odd size has no pixel at its exact middle.
    QVERIFY((list->geometry().center() - f->geometry().center()).manhattanLength() <= 1);
    QTest::keyClick(f, Qt::Key_Menu);
    QVERIFY(!list->isVisible());
    QCOMPARE(rig.prompts.popups, 4);
}

void TstRegionWindow::doubleClickClosesOnlyThisWindow() {
    RegionRig rig;
    QPointer<Fortdck> f = rig.open(pattern(32, 32));
    f->Imayulanpic_DblClick();
    QVERIFY(!rig.main->fortdck());
    QVERIFY(!f->isVisible());
    QVERIFY(rig.main->isVisible());
    QVERIFY(rig.clipboard.hasBitmap());
    QTRY_VERIFY(!f);

    QPointer<Fortdck> g = rig.open(pattern(32, 32));
    g->Form_DblClick();
    QVERIFY(!rig.main->fortdck());
}

void TstRegionWindow::noBitmapGivesTheBackground_data() {
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("what");
    QTest::newRow("1x2, text") << "2" << QSize(200, 150) << int(Offer::Text);
    QTest::newRow("1x6, text") << "6" << QSize(600, 450) << int(Offer::Text);
    QTest::newRow("1x2, claimed picture, no picture in it")
        << "2" << QSize(200, 150) << int(Offer::Undecodable);
    QTest::newRow("1x6, 0x0 picture") << "6" << QSize(600, 450) << int(Offer::ZeroSized);
}

void TstRegionWindow::noBitmapGivesTheBackground() {
    QFETCH(QString, ratio);
    QFETCH(QSize, client);
    QFETCH(int, what);
    RegionRig rig;
    tickRatio(*rig.main, ratio);
    offer(rig.clipboard, Offer(what));
    rig.main->LoadFortdck();
    Fortdck* f = rig.main->fortdck();
    QVERIFY(f && f->isVisible());
    QVERIFY(f->Imayulanpic.picture.isNull());
    // A window of its own size, centred, light blue inside its border.
    QCOMPARE(clientRect(*f).size(), client);
    QCOMPARE(f->geometry().center(), QRect(0, 0, 1024, 768).center());
    const QImage shot = f->grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRect inside = shot.rect().adjusted(1, 1, -1, -1);
            const QRgb want = inside.contains(x, y) ? qRgb(0xC0, 0xC0, 0xFF) : qRgb(0, 0, 0);
            if (shot.pixel(x, y) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

void TstRegionWindow::hugePictureIsNeverEnlargedInMemory() {
    // 20000 x 20000 at one bit a pixel: 50 MB; enlarged twice in 32-bit
    // colour it would be 6.4 GB.
    QImage huge(20000, 20000, QImage::Format_Mono);
    huge.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    huge.fill(1);
    RegionRig rig;
    Fortdck* f = rig.open(huge);
    QCOMPARE(f->geometry(), QRect(0, 0, 1024, 768));
    const QImage shot = f->grab().toImage();
    QCOMPARE(shot.pixel(512, 384), qRgb(0, 0, 0));
    f->Imayulanpic_MouseDown(1, 0, 20000 * 15, 20000 * 15);
    f->Imayulanpic_MouseMove(1, 0, 20000 * 15 + 3000, 20000 * 15 - 3000);
    QCOMPARE(f->Imayulanpic.Left, -20000 * 15 + 1022 * 7.5 + 3000);
    f->grab();
}

QTEST_MAIN(TstRegionWindow)
#include "tst_region_window.moc"
