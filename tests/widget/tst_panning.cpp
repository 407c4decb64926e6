// Dragging the picture, the pointer shapes, the menu and the keys.
#include "formrig.h"
#include "magnifier/picturebox.h"
#include "shared/keyoverlay.h"

#include <QAction>
#include <QMouseEvent>
#include <QTest>

namespace {
void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
} // namespace

class TstPanning : public QObject {
    Q_OBJECT
  private slots:
    void dragClamps_data();
    void dragClamps();
    void bothButtonsDoNotDrag();
    void realDragFollowsThePointerWithHandCursors();
    void rightClickOpensTheMenuEverywhere();
    void keysThatEndTheView_data();
    void keysThatEndTheView();
    void keysPanZoomListAndOpenTheMenu();
    void pictureDoubleClickTogglesScrolling();
    void backgroundDoubleClickStopsEverythingButKeepsTicks();
    void p1ClickFreezesPushPull();
};

// Picture 2x on a 1024x768 screen (15360 x 11520 twips): 30720 x 23040.
void TstPanning::dragClamps_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<double>("expectLeft");
    QTest::addColumn<double>("expectTop");
    const double W = 30720, H = 23040;
    QTest::newRow("free move") << W << H << -7680.0 << -5760.0 << 1500.0 << -900.0 << -6180.0
                               << -6660.0;
    QTest::newRow("right stops at left edge")
        << W << H << -7680.0 << -5760.0 << 9000.0 << 0.0 << 0.0 << -5760.0;
    QTest::newRow("left stops at right edge")
        << W << H << -7680.0 << -5760.0 << -9000.0 << 0.0 << -15360.0 << -5760.0;
    QTest::newRow("down stops at top edge")
        << W << H << -7680.0 << -5760.0 << 0.0 << 9000.0 << -7680.0 << 0.0;
    QTest::newRow("up stops at bottom edge")
        << W << H << -7680.0 << -5760.0 << 0.0 << -9000.0 << -7680.0 << -11520.0;
    QTest::newRow("at the edges already")
        << W << H << 0.0 << -11520.0 << 15.0 << -15.0 << 0.0 << -11520.0;
    QTest::newRow("vertical only: no sideways")
        << 15360.0 << H << 0.0 << -5760.0 << 3000.0 << 600.0 << 0.0 << -5160.0;
    QTest::newRow("vertical only: leftwards")
        << 15360.0 << H << 0.0 << -5760.0 << -3000.0 << 0.0 << 0.0 << -5760.0;
    QTest::newRow("left edge inside: fixed")
        << 14000.0 << 11000.0 << 300.0 << 200.0 << -900.0 << 900.0 << 300.0 << 200.0;
    // Narrower than the window with its left edge out: the slack is
    // negative and the rule pushes the picture back by it.
    QTest::newRow("narrow picture")
        << 14000.0 << H << -600.0 << 0.0 << -100.0 << 0.0 << 1360.0 << 0.0;
    // From (4002, 3000) to (4003.5, 3000.5), read as (4004, 3000): truncating
    // would move by 1 sideways, rounding halves up by 1 downwards.
    QTest::newRow("halves to even")
        << W << H << -7680.0 << -5760.0 << 1.5 << 0.5 << -7678.0 << -5760.0;
}

void TstPanning::dragClamps() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(double, expectLeft);
    QFETCH(double, expectTop);
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.Imadpic.Width = width;
    f.Imadpic.Height = height;
    f.Imadpic.Left = left;
    f.Imadpic.Top = top;
    f.Imadpic_MouseDown(1, 0, 4001.5, 3000.5); // halves go to the even neighbour
    QCOMPARE(f.DragStartX, 4002);
    QCOMPARE(f.DragStartY, 3000);
    f.Imadpic_MouseMove(1, 0, 4002.0 + dx, 3000.0 + dy);
    QCOMPARE(f.Imadpic.Left, expectLeft);
    QCOMPARE(f.Imadpic.Top, expectTop);
}

void TstPanning::bothButtonsDoNotDrag() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.Imadpic_MouseDown(1, 0, 4000, 3000);
    f.Imadpic_MouseMove(3, 0, 5000, 3500);
    f.Imadpic_MouseMove(2, 0, 5000, 3500);
    f.Imadpic_MouseMove(0, 0, 5000, 3500);
    QCOMPARE(f.Imadpic.Left, -7680.0);
    QCOMPARE(f.Imadpic.Top, -5760.0);
}

void TstPanning::realDragFollowsThePointerWithHandCursors() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    const QPoint under = rig.shownAt({500, 400});
    QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
    send(&f, QEvent::MouseMove, {500, 400}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(f.cursor().shape(), Qt::OpenHandCursor);
    send(&f, QEvent::MouseButtonPress, {500, 400}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(f.cursor().shape(), Qt::ClosedHandCursor);
    send(&f, QEvent::MouseMove, {530, 380}, Qt::NoButton, Qt::LeftButton);
    send(&f, QEvent::MouseMove, {560, 360}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(f.Imadpic.Left, -7680.0 + 60 * 15);
    QCOMPARE(f.Imadpic.Top, -5760.0 - 40 * 15);
    // The same picture point stays under the pointer.
    QCOMPARE(rig.shownAt({560, 360}), under);
    send(&f, QEvent::MouseButtonRelease, {560, 360}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(f.cursor().shape(), Qt::OpenHandCursor);
    // Dragged far beyond the corner, the picture stops at the window's edges.
    send(&f, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(&f, QEvent::MouseMove, {1000, 760}, Qt::NoButton, Qt::LeftButton);
    send(&f, QEvent::MouseButtonRelease, {1000, 760}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(f.Imadpic.Left, 0.0);
    QCOMPARE(f.Imadpic.Top, 0.0);
    QCOMPARE(rig.shownAt({0, 0}), QPoint(0, 0));
}

void TstPanning::rightClickOpensTheMenuEverywhere() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    send(&f, QEvent::MouseButtonPress, {200, 200}, Qt::RightButton, Qt::RightButton);
    send(&f, QEvent::MouseButtonRelease, {200, 200}, Qt::RightButton, Qt::NoButton);
    QCOMPARE(rig.prompts.popups, 1);
    QCOMPARE(rig.prompts.lastMenu, f.mnkz);
    // A second right press soon after is no double-click: the menu again,
    // and scrolling stays off.
    send(&f, QEvent::MouseButtonDblClick, {200, 200}, Qt::RightButton, Qt::RightButton);
    send(&f, QEvent::MouseButtonRelease, {200, 200}, Qt::RightButton, Qt::NoButton);
    QCOMPARE(rig.prompts.popups, 2);
    QVERIFY(!f.mnshangxiagd->isChecked());
    // Background: a picture that no longer reaches the corner.
    f.Imadpic.Left = 3000;
    f.Imadpic.Top = 3000;
    send(&f, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    send(&f, QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton, Qt::NoButton);
    QCOMPARE(rig.prompts.popups, 3);
    send(&f, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(&f, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(rig.prompts.popups, 3);
    f.P1->setGeometry(0, 0, 100, 100);
    f.P1->show();
    QTest::mouseClick(f.P1, Qt::RightButton);
    QCOMPARE(rig.prompts.popups, 4);
    send(f.P1, QEvent::MouseButtonDblClick, {10, 10}, Qt::RightButton, Qt::RightButton);
    QCOMPARE(rig.prompts.popups, 5);
    QVERIFY(f.isVisible()); // not ended as by a double-click on it
}

void TstPanning::keysThatEndTheView_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << true;
    QTest::newRow("x") << int(Qt::Key_X) << 0 << true;
    QTest::newRow("X") << int(Qt::Key_X) << int(Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << false;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << false;
    QTest::newRow("a") << int(Qt::Key_A) << 0 << false;
}

void TstPanning::keysThatEndTheView() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, ends);
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    QTest::keyClick(&f, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.isVisible(), !ends);
    QCOMPARE(f.Imadpic.picture.isNull(), ends);
}

// On the screen: the window pixel (0, 0) shows the picture's pixel there.
void TstPanning::keysPanZoomListAndOpenTheMenu() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    // Twice the screen, centred: the corner shows a quarter in.
    QCOMPARE(rig.shownAt({0, 0}), QPoint(256, 192));
    QTest::keyClick(&f, Qt::Key_Right);
    QCOMPARE(f.Imadpic.Left, -7680.0 - 15360 / 8);
    QCOMPARE(rig.shownAt({0, 0}), QPoint(256 + 64, 192));
    QTest::keyClick(&f, Qt::Key_Up);
    QCOMPARE(rig.shownAt({0, 0}), QPoint(256 + 64, 192 - 48));
    // A whole screen each, clamped where a drag stops.
    QTest::keyClick(&f, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&f, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(QPointF(f.Imadpic.Left, f.Imadpic.Top), QPointF(-15360, -11520));
    QCOMPARE(rig.shownAt({1023, 767}), QPoint(1023, 767));

    // A notch about the middle: the pixel there stays.
    const QPoint middle = rig.shownAt({512, 384});
    QTest::keyClick(&f, Qt::Key_Plus);
    // Within a device pixel (15 twips): the wheel sizes in whole ones.
    QVERIFY(qAbs(f.Imadpic.Width - 2.5 * 15360) < 15);
    QVERIFY((rig.shownAt({512, 384}) - middle).manhattanLength() <= 1);
    QTest::keyClick(&f, Qt::Key_Minus);
    QTest::keyClick(&f, Qt::Key_Minus);
    QVERIFY(qAbs(f.Imadpic.Width - 2 * 15360 / 1.25) < 15);
    // 0: the zoom mode's size again, 1.5 times after its item.
    QTest::keyClick(&f, Qt::Key_0);
    QCOMPARE(QSizeF(f.Imadpic.Width, f.Imadpic.Height), QSizeF(30720, 23040));
    f.mnsuoxiao->trigger();
    QTest::keyClick(&f, Qt::Key_Equal);
    QTest::keyClick(&f, Qt::Key_0);
    QCOMPARE(QSizeF(f.Imadpic.Width, f.Imadpic.Height), QSizeF(23040, 17280));
    // Still at the right-hand edge where the keys took it.
    QCOMPARE(rig.shownAt({1023, 0}).x(), 1023);

    // A running scroll goes on from where a key leaves the picture.
    f.mnshangxiagd_Click();
    QTest::keyClick(&f, Qt::Key_Down);
    QCOMPARE(double(f.motion.ScrollTop), f.Imadpic.Top);
    f.mnshangxiagd_Click();

    // F1 lists the keys; the next key only closes the list, Esc too.
    QTest::keyClick(&f, Qt::Key_F1);
    auto* list = f.findChild<KeyOverlay*>();
    QVERIFY(list && list->isVisible());
    QVERIFY(list->text().contains(QStringLiteral("Shift+F10")));
    const double left = f.Imadpic.Left;
    QTest::keyClick(&f, Qt::Key_Left);
    QVERIFY(!list->isVisible());
    QCOMPARE(f.Imadpic.Left, left);
    QTest::keyClick(&f, Qt::Key_Question, Qt::ShiftModifier);
    QVERIFY(list->isVisible());
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(!list->isVisible());
    QVERIFY(f.isVisible());

    // The menu at the pointer by Shift+F10 and by the Menu key.
    QTest::keyClick(&f, Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(&f, Qt::Key_Menu);
    QCOMPARE(rig.prompts.popups, 2);
    QCOMPARE(rig.prompts.lastMenu, f.mnkz);
    QTest::keyClick(&f, Qt::Key_F10);
    QCOMPARE(rig.prompts.popups, 2);

    // A view ended with the list up starts the next without it.
    QTest::keyClick(&f, Qt::Key_F1);
    f.EndView();
    QVERIFY(list->isHidden());
}

void TstPanning::pictureDoubleClickTogglesScrolling() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mntiulaxg->setChecked(true);
    f.Timtiula->setEnabled(true);
    f.motion.ScrollTop = -300;
    QTest::mouseDClick(&f, Qt::LeftButton, {}, {400, 300});
    QVERIFY(f.mnshangxiagd->isChecked());
    QVERIFY(!f.mntiulaxg->isChecked());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(f.Timgund->Enabled());
    QVERIFY(f.Imadpic.Visible);
    QCOMPARE(f.motion.ScrollTop, -300.0f); // resumes where it stopped
    f.Imadpic_DblClick();
    QVERIFY(!f.mnshangxiagd->isChecked());
    QVERIFY(!f.Timgund->Enabled());
}

void TstPanning::backgroundDoubleClickStopsEverythingButKeepsTicks() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd->setChecked(true);
    f.mntiulaxg->setChecked(true);
    f.Timgund->setEnabled(true);
    f.Timtiula->setEnabled(true);
    f.motion.ScrollTop = -999;
    f.Imadpic.Left = 3000; // leaves background at the corner
    QTest::mouseDClick(&f, Qt::LeftButton, {}, {10, 10});
    QVERIFY(!f.isVisible());
    QVERIFY(f.Imadpic.picture.isNull());
    QCOMPARE(f.motion.ScrollTop, 0.0f);
    QVERIFY(!f.Timgund->Enabled());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(f.mnshangxiagd->isChecked());
    QVERIFY(f.mntiulaxg->isChecked());
}

void TstPanning::p1ClickFreezesPushPull() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.P1->setGeometry(0, 0, 1024, 768);
    f.P1->show();
    f.Timtiula->setEnabled(true);
    QTest::mouseClick(f.P1, Qt::LeftButton);
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(f.isVisible());
    f.Timtiula->setEnabled(true);
    QTest::mouseDClick(f.P1, Qt::LeftButton);
    QVERIFY(!f.isVisible());
    QVERIFY(!f.Timtiula->Enabled());
}

QTEST_MAIN(TstPanning)
#include "tst_panning.moc"
