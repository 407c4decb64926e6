// The area picker: frozen screen, outlines, size label, capture and Esc.
#include "region/emptiedwindows.h"
#include "region/picker/cursors.h"
#include "region/repaintwait.h"
#include "regionrig.h"

#include <QSignalSpy>
#include <QTest>

namespace {
RectL rectL(int l, int t, int r, int b) {
    return {l, t, r, b};
}

// The coded-pattern coordinates shown at a pixel of the picker.
QPoint shownAt(frmCaptureArea& picker, QPoint px) {
    return decodePattern(picker.grab(QRect(px, QSize(1, 1))).toImage().pixel(0, 0));
}

QRgb colourAt(frmCaptureArea& picker, QPoint px) {
    return picker.grab(QRect(px, QSize(1, 1))).toImage().pixel(0, 0) & 0xFFFFFF;
}

// A compositor's round trip that answers when the test says.
class HeldSync : public CompositorSync {
  public:
    int asked = 0;
    void ask() override { ++asked; }
    void answer() { emit reached(); }
};
} // namespace

class TstRegionPicker : public QObject {
    Q_OBJECT
  private slots:
    void sizeLabel_data();
    void sizeLabel();
    void sizeLabelPlaceAndFont();
    void cursorIsAThinCrossWithCentredHotSpot();
    void pickFreezesTheScreenWithoutTheControlWindow();
    void outlinesFollowTheDrag_data();
    void outlinesFollowTheDrag();
    void movesRepaintOnlyTheOutlinesAndLabel();
    void releaseCopiesTheFrozenPixels_data();
    void releaseCopiesTheFrozenPixels();
    void pickTakesTheDevicePixelsUnderTheDrag_data();
    void pickTakesTheDevicePixelsUnderTheDrag();
    void clickWithoutDragGivesOnePixel();
    void aCaptureThatFailsSaysWhy();
    void aPictureThatComesLaterOpensThePickerThen();
    void anExitWhileThePictureIsOnItsWayEndsThePick();
    void theWaitForTheScreenBeneathEndsWhenItShowsNoMore();
    void emptiedWindowsGoOnlyOnceTheCompositorHasThemEmpty();
    void escapeLeavesTheClipboardAndOpensNothing();
    void releaseWithoutPressPicksNothing();
    void pickClosesThePreviousWindowAndRestoresTheButton();
};

void TstRegionPicker::sizeLabel_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("shown");
    QTest::newRow("100 x 300") << 100 << 300 << false;
    QTest::newRow("300 x 100") << 300 << 100 << false;
    QTest::newRow("101 x 101") << 101 << 101 << true;
    QTest::newRow("101 x 100") << 101 << 100 << false;
    QTest::newRow("640 x 480") << 640 << 480 << true;
}

void TstRegionPicker::sizeLabel() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, shown);
    const RectL r = rectL(50, 60, 50 + w, 60 + h);
    QCOMPARE(frmCaptureArea::ShowsSizeLabel(r), shown);
    QCOMPARE(frmCaptureArea::SizeLabelText(r), QStringLiteral(" %1 x %2 ").arg(w).arg(h));

    // The same through a drag, whichever way it went.
    RegionRig rig;
    frmCaptureArea picker(*rig.main);
    picker.Form_Load();
    picker.Form_MouseDown(1, 0, 50 + w, 60 + h);
    picker.Form_MouseMove(1, 0, 50, 60);
    QCOMPARE(picker.hasSizeLabel(), shown);
    QCOMPARE(picker.sizeLabelText(), QStringLiteral(" %1 x %2 ").arg(w).arg(h));
}

void TstRegionPicker::sizeLabelPlaceAndFont() {
    // Top at half the height below the top, less 5, to the nearest integer
    // (halves to even): 60 + 101 / 2 - 5 = 105.5 -> 106; 60 + 103/2 - 5 =
    // 106.5 -> 106.
    QCOMPARE(frmCaptureArea::SizeLabelRect(rectL(50, 60, 151, 161)),
             QRect(QPoint(50, 106), QPoint(150, 160)));
    QCOMPARE(frmCaptureArea::SizeLabelRect(rectL(50, 60, 151, 163)).top(), 106);
    const QFont f = frmCaptureArea::LabelFont();
    QCOMPARE(f.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(f.pointSize(), 12);
    QVERIFY(f.bold());
}

void TstRegionPicker::cursorIsAThinCrossWithCentredHotSpot() {
    const QCursor c = cursors::thinCross();
    QCOMPARE(c.hotSpot(), QPoint(15, 15));
    const QImage img = cursors::thinCrossPicture().toImage();
    QCOMPARE(img.size(), QSize(32, 32));
    QCOMPARE(img.pixel(15, 15), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(15, 2), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(2, 15), qRgb(0, 0, 0));
    QCOMPARE(qAlpha(img.pixel(3, 3)), 0);
}

void TstRegionPicker::pickFreezesTheScreenWithoutTheControlWindow() {
    RegionRig rig;
    const QPoint underButton = rig.main->geometry().center();
    QPoint shown;
    rig.main->onPick = [&](frmCaptureArea& p) {
        QCOMPARE(p.background().size(), QSize(1024, 768));
        QCOMPARE(p.geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(p.windowTitle(), QStringLiteral("Capture Area"));
        QVERIFY(p.windowFlags() & Qt::WindowStaysOnTopHint);
        shown = shownAt(p, underButton);
        // The cross comes with the first paint, the activation with it.
        p.ShowModal();
        QTRY_COMPARE(p.cursor().hotSpot(), QPoint(15, 15));
        QTRY_VERIFY(p.isActiveWindow());
        p.Form_KeyDown(27, 0);
    };
    rig.main->Comzdy_Click();
    QVERIFY(!rig.main->visibleDuringPick);
    // The screen under the button, not the button.
    QCOMPARE(shown, underButton);
}

void TstRegionPicker::outlinesFollowTheDrag_data() {
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::newRow("down right") << QPoint(100, 100) << QPoint(300, 250);
    QTest::newRow("up left") << QPoint(300, 250) << QPoint(100, 100);
}

void TstRegionPicker::outlinesFollowTheDrag() {
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    RegionRig rig;
    frmCaptureArea picker(*rig.main);
    picker.Form_Load();
    picker.Form_MouseDown(1, 0, a.x(), a.y());
    picker.Form_MouseMove(1, 0, 200, 200);
    picker.Form_MouseMove(1, 0, b.x(), b.y());
    // The black outline runs through both corners; the white one from one
    // pixel below-right of the start to one above-left of the end: inside
    // the black one for a drag down-right, outside for a drag up-left.
    QCOMPARE(colourAt(picker, a), 0u);
    QCOMPARE(colourAt(picker, b), 0u);
    QCOMPARE(colourAt(picker, QPoint(a.x(), b.y())), 0u);
    QCOMPARE(colourAt(picker, a + QPoint(1, 1)), 0xFFFFFFu);
    QCOMPARE(colourAt(picker, b - QPoint(1, 1)), 0xFFFFFFu);
    const QPoint outside = a.x() < b.x() ? a - QPoint(1, 1) : a + QPoint(1, 1);
    QCOMPARE(colourAt(picker, outside) == 0xFFFFFFu, a.x() > b.x());
    // The earlier outline is gone and the inside shows the frozen screen.
    QCOMPARE(shownAt(picker, QPoint(200, 150)), QPoint(200, 150));
    QCOMPARE(shownAt(picker, QPoint(150, 200)), QPoint(150, 200));
    QCOMPARE(picker.region().Left, 100);
    QCOMPARE(picker.region().Bottom, 250);
    QVERIFY(picker.hasSizeLabel());
    QCOMPARE(picker.sizeLabelText(), QStringLiteral(" 200 x 150 "));
}

void TstRegionPicker::movesRepaintOnlyTheOutlinesAndLabel() {
    RegionRig rig({3840, 2160});
    frmCaptureArea picker(*rig.main);
    picker.Form_Load();
    picker.Form_MouseDown(1, 0, 100, 100);
    picker.Form_MouseMove(1, 0, 3000, 2000);
    const QRegion drawn = picker.drawnArea();
    QVERIFY(drawn.contains(QPoint(100, 100)));
    QVERIFY(drawn.contains(QPoint(3000, 2000)));
    QVERIFY(drawn.contains(QPoint(101, 1000)));
    QVERIFY(!drawn.contains(QPoint(500, 500)));
    qint64 area = 0;
    for (const QRect& r : drawn)
        area += qint64(r.width()) * r.height();
    // Two outlines and one line of text, not a screenful.
    QVERIFY2(area < 30000, qPrintable(QString::number(area)));
}

void TstRegionPicker::releaseCopiesTheFrozenPixels_data() {
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::newRow("down right") << QPoint(300, 200) << QPoint(340, 230);
    QTest::newRow("up left") << QPoint(340, 230) << QPoint(300, 200);
    QTest::newRow("down left") << QPoint(340, 200) << QPoint(300, 230);
    QTest::newRow("large, with label") << QPoint(10, 20) << QPoint(700, 500);
}

void TstRegionPicker::releaseCopiesTheFrozenPixels() {
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    RegionRig rig;
    rig.main->onPick = [&](frmCaptureArea& p) { RegionRig::drag(p, a, b); };
    rig.main->Comzdy_Click();
    const QPoint origin(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    const QImage got = rig.clipboard.bitmap();
    QCOMPARE(got.size(), QSize(std::abs(a.x() - b.x()), std::abs(a.y() - b.y())));
    // Every pixel is the frozen screen's, none from the outline or label.
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (decodePattern(got.pixel(x, y)) != origin + QPoint(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    QVERIFY(rig.main->fortdck());
    QVERIFY(rig.main->fortdck()->isVisible());
    QVERIFY(rig.main->isVisible());
    QVERIFY(!rig.main->picker());
}

// A drag in logical pixels on a monitor of `device` pixels at `ratio`, its
// corner at `origin`: the picker covers that monitor and takes the device
// pixels between the two points, each rounded to the nearest device pixel
// with halves to even.
void TstRegionPicker::pickTakesTheDevicePixelsUnderTheDrag_data() {
    QTest::addColumn<QSize>("device");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<QRect>("taken"); // in the monitor's device pixels
    QTest::addColumn<bool>("label");
    QTest::newRow("ratio 2: label past 100 logical pixels")
        << QSize(1024, 768) << 2.0 << QPoint() << QPoint(100, 50) << QPoint(201, 151)
        << QRect(200, 100, 202, 202) << true;
    QTest::newRow("ratio 2: 100 logical pixels, no label")
        << QSize(1024, 768) << 2.0 << QPoint() << QPoint(100, 50) << QPoint(200, 150)
        << QRect(200, 100, 200, 200) << false;
    // 61.5 -> 62, 31.5 -> 32, 91.5 -> 92, 64.5 -> 64
    QTest::newRow("ratio 1.5, drag up left")
        << QSize(1200, 900) << 1.5 << QPoint() << QPoint(61, 43) << QPoint(41, 21)
        << QRect(62, 32, 30, 32) << false;
    // 12.5 -> 12, 2.5 -> 2, 112.5 -> 112, 87.5 -> 88
    QTest::newRow("ratio 1.25") << QSize(1280, 960) << 1.25 << QPoint() << QPoint(10, 2)
                                << QPoint(90, 70) << QRect(12, 2, 100, 86) << false;
    // 3.5 -> 4, 10.5 -> 10, 178.5 -> 178, 164.5 -> 164
    QTest::newRow("ratio 1.75") << QSize(1400, 1050) << 1.75 << QPoint() << QPoint(2, 6)
                                << QPoint(102, 94) << QRect(4, 10, 174, 154) << false;
    QTest::newRow("monitor right of and below another")
        << QSize(640, 480) << 1.0 << QPoint(1280, 200) << QPoint(10, 10) << QPoint(50, 40)
        << QRect(10, 10, 40, 30) << false;
    QTest::newRow("ratio 2, right of another")
        << QSize(800, 600) << 2.0 << QPoint(1920, 0) << QPoint(11, 21) << QPoint(31, 41)
        << QRect(22, 42, 40, 40) << false;
}

void TstRegionPicker::pickTakesTheDevicePixelsUnderTheDrag() {
    QFETCH(QSize, device);
    QFETCH(double, ratio);
    QFETCH(QPoint, origin);
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(QRect, taken);
    QFETCH(bool, label);
    RegionRig rig(device, 96, ratio, origin);
    bool labelShown = !label;
    QString labelText;
    rig.main->onPick = [&](frmCaptureArea& p) {
        QCOMPARE(p.geometry(), QRect(origin, device / ratio));
        QCOMPARE(p.background().size(), device);
        p.Form_MouseDown(1, 0, a.x(), a.y());
        p.Form_MouseMove(1, 0, b.x(), b.y());
        labelShown = p.hasSizeLabel();
        labelText = p.sizeLabelText();
        p.Form_MouseUp(1, 0, b.x(), b.y());
    };
    rig.main->Comzdy_Click();
    QCOMPARE(labelShown, label);
    QCOMPARE(labelText, QStringLiteral(" %1 x %2 ").arg(taken.width()).arg(taken.height()));
    const QImage got = rig.clipboard.bitmap();
    QCOMPARE(got.size(), taken.size());
    const QPoint corner = origin + taken.topLeft();
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (decodePattern(got.pixel(x, y)) != corner + QPoint(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void TstRegionPicker::clickWithoutDragGivesOnePixel() {
    RegionRig rig;
    rig.main->onPick = [](frmCaptureArea& p) {
        p.Form_MouseDown(1, 0, 70, 80);
        p.Form_MouseUp(1, 0, 70, 80);
    };
    rig.main->Comzdy_Click();
    QCOMPARE(rig.clipboard.bitmap().size(), QSize(1, 1));
    QVERIFY(rig.main->fortdck());
    QVERIFY(rig.prompts.messages.isEmpty());
}

// A platform that cannot read the screen says why before the picker opens.
void TstRegionPicker::aCaptureThatFailsSaysWhy() {
    RegionRig rig;
    rig.grabber.failure = QStringLiteral("no screenshot service");
    rig.main->Comzdy_Click();
    QCOMPARE(rig.prompts.messages.size(), qsizetype(1));
    QVERIFY(rig.prompts.messages[0].endsWith(QStringLiteral("|no screenshot service")));
}

// Where the desktop hands the picture over later (the portal), the click
// returns at once; the picker, made but hidden meanwhile, opens when the
// picture comes, and a second click meanwhile asks for no second one.
void TstRegionPicker::aPictureThatComesLaterOpensThePickerThen() {
    RegionRig rig;
    rig.grabber.answering = FakeScreenGrabber::Answering::Held;
    const QPoint underButton = rig.main->geometry().center();
    int picks = 0;
    QPoint shown;
    rig.main->onPick = [&](frmCaptureArea& p) {
        ++picks;
        shown = shownAt(p, underButton);
        RegionRig::drag(p, {10, 10}, {50, 40});
    };
    rig.main->Comzdy_Click();
    QVERIFY(!rig.main->isVisible());
    QCOMPARE(rig.grabber.held(), 1);
    QCOMPARE(picks, 0);
    // Its window is made meanwhile, unshown, so that the picture then
    // only has to be put on the screen.
    QVERIFY(rig.main->picker());
    QVERIFY(rig.main->picker()->testAttribute(Qt::WA_WState_Created));
    QVERIFY(!rig.main->picker()->isVisible());
    rig.main->Comzdy_Click();
    rig.main->mnfangqu->trigger();
    QCOMPARE(rig.grabber.held(), 1);

    rig.grabber.release();
    QCOMPARE(picks, 1);
    QCOMPARE(shown, underButton);
    QCOMPARE(rig.clipboard.bitmap().size(), QSize(40, 30));
    QVERIFY(rig.main->isVisible());
    QVERIFY(!rig.main->picker());
    // The next click picks again.
    rig.main->Comzdy_Click();
    QCOMPARE(rig.grabber.held(), 1);
}

// A pick whose picture has not come yet when the program exits opens
// nothing when it comes after all.
void TstRegionPicker::anExitWhileThePictureIsOnItsWayEndsThePick() {
    RegionRig rig;
    rig.grabber.answering = FakeScreenGrabber::Answering::Held;
    int picks = 0;
    rig.main->onPick = [&](frmCaptureArea& p) {
        ++picks;
        p.Form_KeyDown(27, 0);
    };
    rig.main->Comzdy_Click();
    QCOMPARE(rig.grabber.held(), 1);
    rig.main->Form_Unload();
    rig.grabber.release();
    QCOMPARE(picks, 0);
    QVERIFY(!rig.main->picker() || !rig.main->picker()->isVisible());
    QVERIFY(rig.prompts.messages.isEmpty());
}

// The screen under a window just hidden is watched, look after look, until
// it shows the window no more and holds still; a screen that keeps showing
// it ends the wait at the limit. A grabber that answers later is waited
// for look by look.
void TstRegionPicker::theWaitForTheScreenBeneathEndsWhenItShowsNoMore() {
    FakeScreenGrabber grabber({400, 300});
    QWidget window;
    window.setGeometry(40, 30, 60, 50);
    window.setStyleSheet(QStringLiteral("background: #123456"));
    window.show();
    grabber.setCoveringWindow(&window);
    const QImage looks = window.grab().toImage();
    const QRect area = window.geometry();

    RepaintWait wait(grabber);
    QSignalSpy finished(&wait, &RepaintWait::finished);
    wait.start(area, looks, 200);
    QCOMPARE(wait.outcome(), RepaintWait::Outcome::Waiting);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(wait.outcome(), RepaintWait::Outcome::TimedOut);
    QVERIFY(wait.looks() > 1);

    window.hide();
    grabber.answering = FakeScreenGrabber::Answering::Held;
    wait.start(area, looks, 5000);
    QCOMPARE(grabber.held(), 1);
    grabber.release();
    QTRY_COMPARE(grabber.held(), 1); // the next look, a moment later
    grabber.release();
    QTRY_COMPARE(finished.size(), 2);
    QCOMPARE(wait.outcome(), RepaintWait::Outcome::Settled);
    QCOMPARE(wait.looks(), 2);

    // Nothing to watch: over at once.
    wait.start(QRect(), looks);
    QCOMPARE(finished.size(), 3);
    QCOMPARE(wait.outcome(), RepaintWait::Outcome::Settled);
}

void TstRegionPicker::emptiedWindowsGoOnlyOnceTheCompositorHasThemEmpty() {
    auto owned = std::make_unique<HeldSync>();
    HeldSync& sync = *owned;
    EmptiedWindows emptied(std::move(owned));
    QSignalSpy gone(&emptied, &EmptiedWindows::gone);
    QWidget window;
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setAutoFillBackground(true);
    window.setStyleSheet(QStringLiteral("background: #123456"));
    window.resize(40, 30);
    window.show();
    const QImage face = window.grab().toImage();
    QWidget opaque;
    opaque.show();
    QVERIFY(emptied.emptiable(window));
    QVERIFY(!emptied.emptiable(opaque));

    // Empty while the picture is taken, still there; the other hidden.
    emptied.start({&window, &opaque});
    QVERIFY(!opaque.isVisible());
    QVERIFY(window.isVisible());
    QCOMPARE(window.grab().toImage().pixel(5, 5), 0u);
    QCOMPARE(sync.asked, 1);
    QCoreApplication::processEvents();
    QCOMPARE(gone.size(), 0);

    // A stopped emptying's answer, come late, does not end the next one.
    emptied.stop();
    QVERIFY(!window.isVisible());
    window.show();
    QCOMPARE(window.grab().toImage(), face);
    emptied.start({&window});
    sync.answer();
    QCoreApplication::processEvents();
    QCOMPARE(gone.size(), 0);
    sync.answer();
    QTRY_COMPARE(gone.size(), 1);
    QVERIFY(window.isVisible());
    emptied.stop();
    window.show();
    QCOMPARE(window.grab().toImage(), face);
}

void TstRegionPicker::escapeLeavesTheClipboardAndOpensNothing() {
    RegionRig rig;
    rig.clipboard.putItemFromElsewhere({}, QStringLiteral("text"));
    rig.main->onPick = [](frmCaptureArea& p) {
        p.Form_MouseDown(1, 0, 10, 10);
        p.Form_MouseMove(1, 0, 200, 200);
        p.Form_KeyDown(27, 0);
        QVERIFY(!p.isLoaded());
        // The release after Esc belongs to nobody.
        p.Form_MouseUp(1, 0, 200, 200);
    };
    rig.main->Comzdy_Click();
    QCOMPARE(rig.clipboard.text(), QStringLiteral("text"));
    QCOMPARE(rig.clipboard.setCount(), 0);
    QVERIFY(!rig.main->fortdck());
    QVERIFY(rig.main->isVisible());
}

void TstRegionPicker::releaseWithoutPressPicksNothing() {
    RegionRig rig;
    frmCaptureArea picker(*rig.main);
    picker.Form_Load();
    picker.Form_MouseMove(1, 0, 50, 50);
    QVERIFY(picker.drawnArea().isEmpty());
    picker.Form_MouseUp(1, 0, 50, 50);
    QVERIFY(picker.isLoaded());
    QCOMPARE(rig.clipboard.setCount(), 0);
}

void TstRegionPicker::pickClosesThePreviousWindowAndRestoresTheButton() {
    RegionRig rig;
    QPointer<Fortdck> first = rig.open(QImage(8, 8, QImage::Format_RGB32));
    QVERIFY(first);
    bool openDuringPick = true;
    rig.main->onPick = [&](frmCaptureArea& p) {
        openDuringPick = rig.main->fortdck() != nullptr;
        p.Form_KeyDown(27, 0);
    };
    // "放大区域" from the menu is the same as a click on the button.
    rig.main->mnfangqu->trigger();
    QVERIFY(!openDuringPick);
    QVERIFY(!rig.main->fortdck());
    QVERIFY(rig.main->isVisible());
    QTRY_VERIFY(!first);
}

QTEST_MAIN(TstRegionPicker)
#include "tst_region_picker.moc"
