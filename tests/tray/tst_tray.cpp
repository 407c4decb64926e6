// The magnifier's hotkey, its one-shot view trigger TimKey and its tray
// icon, with the platform behind fakes.
#include "trayrig.h"

#include "magnifier/magnifierstart.h"
#include "magnifier/picturebox.h"
#include "shared/programstart.h"
#include "shared/topmost.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace {
bool sameImage(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}
} // namespace

class TstTray : public QObject {
    Q_OBJECT
  private slots:
    void hotkeyIsClaimedAtLoad();
    void theHotkeyArmsTimKeyOnlyForCtrlZ_data();
    void theHotkeyArmsTimKeyOnlyForCtrlZ();
    void aSecondLoadListensOnce();
    void aFailedClaimIsSilent();
    void timKeyRunsOncePerArming();
    void pressesWhileThePictureIsOnItsWayBringOneView();
    void aStartWaitsForItsPictureBeforeAnythingShows();
    void timKeyShowsAFreshViewOnTop();
    void hotkeyDuringAViewMagnifiesTheView();
    void aRequestWhileABoxIsOpenIsDropped();
    void aHeldKeyCompoundsTheViewOnce_data();
    void aHeldKeyCompoundsTheViewOnce();
    void timKeyRestartsScrolling();
    void timKeyStopsScrollingWhenUnticked();
    void timKeyRestartsPushPull();
    void trayIconIsAddedWithTipAndFirstFrame();
    void trayFrameSequence();
    void timer1TicksEverySecond();
    void onlyARightPressOnTheIconStartsAView_data();
    void onlyARightPressOnTheIconStartsAView();
    void shutdownRemovesIconAndDialog();
    void runsWithoutHotkeyAndTray();
    void withNeitherIconNorHotkeyTheUserIsTold_data();
    void withNeitherIconNorHotkeyTheUserIsTold();
    void aSecondStartBringsAViewOnlyWithoutIconOrKey_data();
    void aSecondStartBringsAViewOnlyWithoutIconOrKey();
};

void TstTray::hotkeyIsClaimedAtLoad() {
    TrayRig rig;
    rig.load();
    QCOMPARE(rig.hotkey.claims.size(), std::size_t(1));
    // Ctrl and the key Z; that the X grab of this claim is the key
    // labelled Z is tst_hotkey_filter's.
    QCOMPARE(rig.hotkey.claims[0].key, Qt::Key_Z);
    QCOMPARE(rig.hotkey.claims[0].modifiers, Qt::KeyboardModifiers(Qt::ControlModifier));
}

void TstTray::theHotkeyArmsTimKeyOnlyForCtrlZ_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("arms");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << true;
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << int(ctrl | Qt::ShiftModifier) << false;
    QTest::newRow("Alt+Z") << int(Qt::Key_Z) << int(Qt::AltModifier) << false;
    QTest::newRow("Z") << int(Qt::Key_Z) << 0 << false;
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << ctrl << false;
}

void TstTray::theHotkeyArmsTimKeyOnlyForCtrlZ() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, arms);
    TrayRig rig;
    rig.load();
    QVERIFY(!rig.form->TimKey->Enabled());
    rig.hotkey.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rig.form->TimKey->Enabled(), arms);
    // Only the timer is armed: nothing is captured until it runs.
    QCOMPARE(rig.grabber.grabs(), 1);
}

void TstTray::aSecondLoadListensOnce() {
    TrayRig rig;
    rig.loadAndEndView();
    // Set up once more: a press and a click are still one request each,
    // which a held key's filter would otherwise take for a repeat.
    rig.form->InstallHotkey();
    rig.form->AddTrayIcon();
    int requests = 0;
    rig.form->summons().heldKeys.setClock([&] {
        ++requests;
        return rig.clockMs;
    });
    rig.hotkey.pressCtrlZ();
    rig.tray.click(QSystemTrayIcon::Context);
    QCOMPARE(requests, 2);
    QVERIFY(rig.form->TimKey->Enabled());
}

void TstTray::aFailedClaimIsSilent() {
    TrayRig rig;
    rig.hotkey.claimSucceeds = false;
    rig.load();
    QVERIFY(rig.form->isVisible());
    QCOMPARE(rig.tray.adds, 1);
    rig.tray.click(QSystemTrayIcon::Context);
    QVERIFY(rig.form->TimKey->Enabled());
}

void TstTray::timKeyRunsOncePerArming() {
    TrayRig rig;
    rig.loadAndEndView();
    QCOMPARE(rig.grabber.grabs(), 1);
    // Armed twice before it runs: one view.
    rig.hotkey.pressCtrlZ();
    rig.tray.click(QSystemTrayIcon::Context);
    rig.hotkey.pressCtrlZ();
    QTRY_VERIFY(!rig.form->TimKey->Enabled());
    QTest::qWait(50);
    QCOMPARE(rig.grabber.grabs(), 2);
    // Armed again: one more.
    rig.letKeyGo();
    rig.hotkey.pressCtrlZ();
    QTRY_COMPARE(rig.grabber.grabs(), 3);
    QTest::qWait(50);
    QCOMPARE(rig.grabber.grabs(), 3);
    QVERIFY(!rig.form->TimKey->Enabled());
}

// Through the Wayland portal the picture comes a while after the request:
// presses meanwhile neither ask again nor stack a second view on the first.
// Through the portal the start's picture comes after Form_Load has run:
// until then nothing of the program may reach the screen, or the picture
// would hold the empty view or the tip dialog.
void TstTray::aStartWaitsForItsPictureBeforeAnythingShows() {
    TrayRig rig(QSize(800, 600), false);
    rig.grabber.answering = FakeScreenGrabber::Answering::Held;
    rig.form->Form_Load();
    rig.form->showStartView();
    QCOMPARE(rig.grabber.held(), 1);
    QVERIFY(!rig.form->isVisible());
    QCOMPARE(rig.prompts.tipShown, 0);
    rig.grabber.release();
    QTRY_VERIFY(rig.form->isVisible());
    QCOMPARE(rig.prompts.tipShown, 1);
    QVERIFY(!rig.form->Imadpic.picture.isNull());
    QCOMPARE(rig.hotkey.claims.size(), std::size_t(1));
}

void TstTray::pressesWhileThePictureIsOnItsWayBringOneView() {
    TrayRig rig;
    rig.loadAndEndView();
    rig.grabber.answering = FakeScreenGrabber::Answering::Held;
    rig.hotkey.pressCtrlZ();
    QTRY_COMPARE(rig.grabber.held(), 1);
    QVERIFY(!rig.form->isVisible());
    rig.letKeyGo();
    rig.hotkey.pressCtrlZ();
    rig.tray.click(QSystemTrayIcon::Context);
    QTRY_VERIFY(!rig.form->TimKey->Enabled());
    QCOMPARE(rig.grabber.held(), 1);
    rig.grabber.release();
    QTRY_VERIFY(rig.form->isVisible());
    QCOMPARE(rig.grabber.grabs(), 2);
    QCOMPARE(rig.grabber.held(), 0);
}

void TstTray::timKeyShowsAFreshViewOnTop() {
    TrayRig rig(QSize(800, 600), false);
    rig.load();
    // Without the marker the start-up view was not topmost.
    QVERIFY(!IsTopmost(rig.form.get()));
    rig.form->EndView();
    QVERIFY(!rig.form->isVisible());
    QVERIFY(rig.form->Imadpic.picture.isNull());
    rig.form->TimKey->setEnabled(true);
    QTRY_VERIFY(rig.form->isVisible());
    QVERIFY(!rig.form->TimKey->Enabled());
    QVERIFY(IsTopmost(rig.form.get()));
    QCOMPARE(rig.form->geometry(), QRect(0, 0, 800, 600));
    QCOMPARE(rig.form->Imadpic.picture.size(), QSize(800, 600));
    QVERIFY(rig.form->Imadpic.Visible);
    // The screen as it was: the coded pattern, point for point.
    QCOMPARE(decodePattern(rig.form->Imadpic.picture.pixel(123, 456)), QPoint(123, 456));
    // Enlarged twice about the middle, as at start-up.
    QCOMPARE(rig.form->Imadpic.Width, 2 * rig.screen.screen().Width());
}

void TstTray::hotkeyDuringAViewMagnifiesTheView() {
    TrayRig rig;
    rig.load();
    QVERIFY(rig.form->isVisible());
    rig.hotkey.pressCtrlZ();
    QTRY_VERIFY(!rig.form->TimKey->Enabled());
    // The new capture is the view itself: its middle shows the screen's
    // middle, its corner a quarter of the way in.
    const QImage& pic = rig.form->Imadpic.picture;
    QCOMPARE(decodePattern(pic.pixel(400, 300)), QPoint(400, 300));
    QCOMPARE(decodePattern(pic.pixel(0, 0)), QPoint(200, 150));
}

void TstTray::aRequestWhileABoxIsOpenIsDropped() {
    TrayRig rig;
    rig.load();
    const QImage before = rig.form->Imadpic.picture;
    const int grabs = rig.grabber.grabs();
    // An input box over the view, as the speed item opens one.
    QDialog box(rig.form.get());
    box.setModal(true);
    box.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), &box);
    rig.hotkey.pressCtrlZ();
    rig.tray.click(QSystemTrayIcon::Context);
    QTRY_VERIFY(!rig.form->TimKey->Enabled());
    QCOMPARE(rig.grabber.grabs(), grabs);
    QVERIFY(sameImage(rig.form->Imadpic.picture, before));
    // Nothing is left over to come up once the box has closed.
    box.close();
    QVERIFY(!rig.form->TimKey->Enabled());
    rig.letKeyGo();
    rig.hotkey.pressCtrlZ();
    QTRY_COMPARE(rig.grabber.grabs(), grabs + 1);
}

void TstTray::aHeldKeyCompoundsTheViewOnce_data() {
    QTest::addColumn<int>("route");
    QTest::newRow("--view") << 0;
    QTest::newRow("hotkey") << 1;
    QTest::newRow("icon") << 2;
    QTest::newRow("mixed") << 3;
}

void TstTray::aHeldKeyCompoundsTheViewOnce() {
    QFETCH(int, route);
    TrayRig rig;
    rig.loadAndEndView();
    auto& f = *rig.form;
    int sent = 0;
    const auto request = [&] {
        switch (route == 3 ? sent % 3 : route) {
        case 0:
            QCOMPARE(magnifierstart::answerRequest(f, magnifierstart::viewRequest()),
                     QByteArray(programstart::kTaken));
            break;
        case 1:
            rig.hotkey.pressCtrlZ();
            break;
        default:
            rig.tray.click(QSystemTrayIcon::Context);
        }
        ++sent;
        // Each one as the event loop hands it over.
        QCoreApplication::processEvents();
    };
    // The press brings a view; held, the key first repeats after the
    // desktop's delay, then at its rate.
    request();
    QTRY_COMPARE(rig.grabber.grabs(), 2);
    QTRY_VERIFY(f.isVisible());
    rig.clockMs += 600;
    for (int i = 0; i < 30; ++i, rig.clockMs += 40)
        request();
    QTest::qWait(20);
    QCOMPARE(rig.grabber.grabs(), 2);
    QVERIFY(!f.TimKey->Enabled());
    // Let go and pressed again: the view is magnified once more, as
    // Ctrl+Z during a view does.
    rig.clockMs += HeldKeyFilter::kRepeatWindowMs;
    request();
    QTRY_COMPARE(rig.grabber.grabs(), 3);
    QCOMPARE(decodePattern(f.Imadpic.picture.pixel(0, 0)), QPoint(200, 150));
}

void TstTray::timKeyRestartsScrolling() {
    TrayRig rig;
    rig.loadAndEndView();
    rig.form->motion.scrolling = ViewMotion::Switch::On;
    rig.form->motion.ScrollTop = 12345;
    QVERIFY(rig.runTimKey());
    QVERIFY(rig.form->Timgund->Enabled());
    QCOMPARE(rig.form->motion.ScrollTop, float(rig.form->WindowTop()));
    QVERIFY(rig.form->Imadpic.Visible);
    rig.form->Timgund->setEnabled(false);
}

void TstTray::timKeyStopsScrollingWhenUnticked() {
    TrayRig rig;
    rig.loadAndEndView();
    rig.form->motion.scrolling = ViewMotion::Switch::Off;
    rig.form->Timgund->setEnabled(true);
    rig.form->motion.ScrollTop = 777;
    QVERIFY(rig.runTimKey());
    QVERIFY(!rig.form->Timgund->Enabled());
    QCOMPARE(rig.form->motion.ScrollTop, 777.0f);
}

void TstTray::timKeyRestartsPushPull() {
    TrayRig rig;
    rig.loadAndEndView();
    rig.form->motion.pushPull = ViewMotion::Switch::On;
    QVERIFY(rig.runTimKey());
    // The picture control is hidden and the push-pull effect runs in its
    // place (StartPushPull starts Timtiula).
    QVERIFY(!rig.form->Imadpic.Visible);
    QVERIFY(!rig.form->Timgund->Enabled());
    QVERIFY(rig.form->Timtiula->Enabled());
    rig.form->StopPushPull();
}

void TstTray::trayIconIsAddedWithTipAndFirstFrame() {
    TrayRig rig;
    rig.load();
    QCOMPARE(rig.tray.adds, 1);
    QVERIFY(rig.tray.shown);
    QVERIFY(sameImage(rig.tray.icons.at(0), rig.form->Pictubiao[0].toImage()));
    // The tip: one line, right-click the icon to magnify this screen, at
    // most 63 bytes in the system code page (UTF-8 here).
    QCOMPARE(rig.tray.tip, ViewSummons::TrayTip());
    QVERIFY(rig.tray.tip.contains(QStringLiteral("右键")));
    QVERIFY(rig.tray.tip.contains(QStringLiteral("放大本屏")));
    QVERIFY(!rig.tray.tip.contains(QLatin1Char('\n')));
    QVERIFY(rig.tray.tip.toUtf8().size() <= 63);
    // Both frames are 32 x 32 and differ.
    QCOMPARE(rig.form->Pictubiao[0].size(), QSize(32, 32));
    QCOMPARE(rig.form->Pictubiao[1].size(), QSize(32, 32));
    QVERIFY(!sameImage(rig.form->Pictubiao[0].toImage(), rig.form->Pictubiao[1].toImage()));
}

void TstTray::trayFrameSequence() {
    TrayRig rig;
    rig.load();
    QCOMPARE(rig.form->summons().TrayFrame, 0);
    const QImage glass = rig.form->Pictubiao[0].toImage();
    const QImage glyph = rig.form->Pictubiao[1].toImage();
    std::vector<int> frames;
    for (int tick = 0; tick < 5; ++tick) {
        rig.form->Timer1_Timer();
        frames.push_back(rig.form->summons().TrayFrame);
    }
    // The frame counter: 1, 0, 1, 0, 1 after each tick.
    QCOMPARE(frames, (std::vector<int>{1, 0, 1, 0, 1}));
    // Shown: glass at add; glass at the first tick (so the first change
    // comes two seconds after start), then glyph, glass, glyph, glass.
    QCOMPARE(rig.tray.modifies, 5);
    const std::vector<const QImage*> want{&glass, &glass, &glyph, &glass, &glyph, &glass};
    QCOMPARE(rig.tray.icons.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        QVERIFY2(sameImage(rig.tray.icons[i], *want[i]), qPrintable(QString::number(i)));
}

void TstTray::timer1TicksEverySecond() {
    TrayRig rig;
    QVERIFY(!rig.form->Timer1->Enabled());
    rig.load();
    QVERIFY(rig.form->Timer1->Enabled());
    QCOMPARE(rig.form->Timer1->Interval(), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.tray.modifies, 1, 2500);
    QCOMPARE(rig.form->summons().TrayFrame, 1);
}

void TstTray::onlyARightPressOnTheIconStartsAView_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("starts");
    QTest::newRow("right click") << int(QSystemTrayIcon::Context) << true;
    QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << false;
    QTest::newRow("left double-click") << int(QSystemTrayIcon::DoubleClick) << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << false;
}

void TstTray::onlyARightPressOnTheIconStartsAView() {
    QFETCH(int, reason);
    QFETCH(bool, starts);
    TrayRig rig;
    rig.loadAndEndView();
    rig.tray.click(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(rig.form->TimKey->Enabled(), starts);
    if (starts) {
        QTRY_VERIFY(rig.form->isVisible());
        QTRY_COMPARE(rig.grabber.grabs(), 2);
    } else {
        QTest::qWait(50);
        QVERIFY(!rig.form->isVisible());
        QCOMPARE(rig.grabber.grabs(), 1);
    }
}

void TstTray::shutdownRemovesIconAndDialog() {
    TrayRig rig(QSize(800, 600), false);
    rig.load();
    QVERIFY(LoadedTipDialog(TipVariant::Magnifier));
    bool cancel = true;
    rig.form->Form_QueryUnload(cancel, 0);
    QVERIFY(!cancel);
    QCOMPARE(rig.tray.removes, 1);
    QVERIFY(!rig.tray.shown);
    QVERIFY(!rig.form->Timer1->Enabled());
    // The dialog is still there until Form_Unload.
    QVERIFY(LoadedTipDialog(TipVariant::Magnifier));
    cancel = true;
    rig.form->Form_Unload(cancel);
    QVERIFY(!cancel);
    QVERIFY(!LoadedTipDialog(TipVariant::Magnifier));
}

void TstTray::runsWithoutHotkeyAndTray() {
    const units::Screen s = units::Screen::fromDpi(640, 480, 96, 96);
    FixedScreenInfo screen(s);
    FakeScreenGrabber grabber(QSize(640, 480));
    RecordingStarter starter;
    QTemporaryDir dir;
    SetTipMarkerFolders(TipVariant::Magnifier, {dir.path(), dir.path()});
    QFile(dir.filePath(QStringLiteral("Vivoduzivi.ini"))).open(QIODevice::WriteOnly);
    Services services;
    services.grabber = &grabber;
    services.screen = &screen;
    services.starter = &starter;
    FakePrompts prompts;
    services.prompts = &prompts;
    {
        Frmpictd form(services);
        form.Form_Load();
        QVERIFY(form.isVisible());
        QVERIFY(form.Timer1->Enabled());
        form.Timer1_Timer();
        QCOMPARE(form.summons().TrayFrame, 1);
        bool cancel = false;
        form.Form_QueryUnload(cancel, 0);
        form.Form_Unload(cancel);
    }
    SetTipMarkerFolders(TipVariant::Magnifier, {});
}

void TstTray::withNeitherIconNorHotkeyTheUserIsTold_data() {
    QTest::addColumn<bool>("trayHost");
    QTest::addColumn<bool>("hotkeyClaimed");
    QTest::addColumn<bool>("told");
    QTest::newRow("icon and hotkey") << true << true << false;
    QTest::newRow("icon only") << true << false << false;
    QTest::newRow("hotkey only") << false << true << false;
    QTest::newRow("neither") << false << false << true;
}

void TstTray::withNeitherIconNorHotkeyTheUserIsTold() {
    QFETCH(bool, trayHost);
    QFETCH(bool, hotkeyClaimed);
    QFETCH(bool, told);
    TrayRig rig;
    rig.tray.hostPresent = trayHost;
    rig.hotkey.claimSucceeds = hotkeyClaimed;
    rig.load();
    auto& f = *rig.form;
    f.EndView();
    if (told) {
        QTRY_COMPARE(rig.prompts.messages.size(), qsizetype(1));
        QCOMPARE(rig.prompts.messages[0], QStringLiteral("zuz 提示|") + WaysBack::strandedText());
        // And the program ends: the icon record goes, nothing waits hidden.
        QCOMPARE(rig.tray.removes, 1);
        QVERIFY(!f.Timer1->Enabled());
    } else {
        QCoreApplication::processEvents();
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.tray.removes, 0);
        // The next view comes as usual.
        rig.tray.click(QSystemTrayIcon::Context);
        QVERIFY(f.TimKey->Enabled());
    }
}

void TstTray::aSecondStartBringsAViewOnlyWithoutIconOrKey_data() {
    QTest::addColumn<bool>("trayHost");
    QTest::addColumn<int>("reach");
    QTest::addColumn<bool>("refusedLater"); // the desktop answers after the load
    QTest::addColumn<bool>("wayBack");
    const auto row = [](const char* name, bool tray, HotkeyReach reach, bool refused, bool back) {
        QTest::newRow(name) << tray << int(reach) << refused << back;
    };
    row("icon, key", true, HotkeyReach::Claimed, false, true);
    row("icon, no key", true, HotkeyReach::UserBinding, false, true);
    row("key claimed", false, HotkeyReach::Claimed, false, true);
    row("key proposed", false, HotkeyReach::Proposed, false, true);
    row("no key offered", false, HotkeyReach::UserBinding, false, false);
    row("key refused later", false, HotkeyReach::Proposed, true, false);
}

void TstTray::aSecondStartBringsAViewOnlyWithoutIconOrKey() {
    QFETCH(bool, trayHost);
    QFETCH(int, reach);
    QFETCH(bool, refusedLater);
    QFETCH(bool, wayBack);
    TrayRig rig(QSize(800, 600), false);
    rig.tray.hostPresent = trayHost;
    rig.hotkey.reached = HotkeyReach(reach);
    rig.load();
    if (refusedLater) rig.hotkey.reached = HotkeyReach::UserBinding;
    auto& f = *rig.form;
    // The tip at the start says how to get what is missing.
    const auto hints = [] { return LoadedTipDialog(TipVariant::Magnifier)->hintCaption(); };
    const QString tip = hints();
    QCOMPARE(tip.contains(QStringLiteral("AppIndicator")), !wayBack && !refusedLater);
    QCOMPARE(tip.contains(QStringLiteral("zuz --view")) &&
                 tip.contains(QStringLiteral("自定义快捷键")),
             !wayBack && !refusedLater);
    f.EndView();
    QCoreApplication::processEvents();
    QVERIFY(rig.prompts.messages.isEmpty());

    QCOMPARE(magnifierstart::answerRequest(f, magnifierstart::startRequest()),
             QByteArray(wayBack ? programstart::kShowHint : programstart::kTaken));
    QCOMPARE(f.TimKey->Enabled(), !wayBack);
    f.TimKey->setEnabled(false);
    // `zuz --view` brings a view either way.
    QCOMPARE(magnifierstart::answerRequest(f, magnifierstart::viewRequest()),
             QByteArray(programstart::kTaken));
    QVERIFY(f.TimKey->Enabled());
    // The About box, opened later, knows what is there now.
    f.mnabuot_Click();
    QCOMPARE(hints().contains(QStringLiteral("AppIndicator")), !wayBack);
}

QTEST_MAIN(TstTray)
#include "tst_tray.moc"
