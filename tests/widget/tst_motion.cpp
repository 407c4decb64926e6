// Up-down scrolling, speeds, the push-pull zoom and custom sizes, driven by
// calling the handlers and timer ticks directly.
#include "formrig.h"
#include "magnifier/picturebox.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class TstMotion : public QObject {
    Q_OBJECT
  private slots:
    void scrollingRunsToTheBottomAndStops();
    void scrollingLoopsBackToTheTop();
    void doubleClickResumesWhereScrollingStopped();
    void loopAloneStartsNothing();
    void aMonitorBelowAnotherShowsItsOwnMiddleAndScrollsFromItsTop();
    void speedItems_data();
    void speedItems();
    void clickingTheTickedSpeedClearsItButSetsIt();
    void customInterval_data();
    void customInterval();
    void pushPullCycle_data();
    void pushPullCycle();
    void pushPullOnWhileScrolling();
    void scrollingOnStopsPushPull();
    void pushPullOffRefitsAndShowsThePicture();
    void hiddenWindowKeepsItsTimers();
    void customSizeButtons();
    void customSizeHasALowerBound();
    void customSizeSteps_data();
    void customSizeSteps();
};

// The view's monitor lies below another: it shows that monitor, and its
// top is the top the scrolling starts from.
void TstMotion::aMonitorBelowAnotherShowsItsOwnMiddleAndScrollsFromItsTop() {
    FormRig rig({640, 480}, 96, QPoint(200, 1080));
    Frmpictd& f = *rig.form;
    QCOMPARE(f.geometry(), QRect(200, 1080, 640, 480));
    QCOMPARE(rig.shownAt({320, 240}), QPoint(200 + 320, 1080 + 240));
    QCOMPARE(rig.shownAt({0, 0}), QPoint(200 + 160, 1080 + 120));
    f.mnshangxiagd_Click();
    QCOMPARE(f.motion.ScrollTop, 0.0f);
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, 0.0);
    f.EndView();
    f.TimKey_Timer();
    QCOMPARE(f.motion.ScrollTop, 0.0f);
}

void TstMotion::scrollingRunsToTheBottomAndStops() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.Imadpic.Top = -4000;
    f.mnshangxiagd_Click();
    QVERIFY(f.mnshangxiagd->isChecked());
    QVERIFY(f.Timgund->Enabled());
    QCOMPARE(f.motion.ScrollTop, 0.0f);

    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, 0.0); // starts with the top at the window's top
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -15.0);
    int ticks = 2;
    while (f.Timgund->Enabled() && ticks < 5000) {
        f.Timgund_Timer();
        ++ticks;
    }
    // Bottom edge on the window's bottom edge: 23040 - 11520 = 11520.
    QCOMPARE(f.Imadpic.Top, -11520.0);
    QCOMPARE(ticks, 11520 / 15 + 1);
    QVERIFY(f.mnshangxiagd->isChecked());
    QCOMPARE(rig.shownAt({0, 767}).y(), 767);
}

void TstMotion::scrollingLoopsBackToTheTop() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnxunhuang_Click();
    f.mnshangxiagd_Click();
    for (int i = 0; i < 11520 / 15 + 1; ++i)
        f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -11520.0);
    QVERIFY(f.Timgund->Enabled());
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, 0.0);
}

void TstMotion::doubleClickResumesWhereScrollingStopped() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    for (int i = 0; i < 10; ++i)
        f.Timgund_Timer();
    f.Imadpic_DblClick(); // stop
    QVERIFY(!f.Timgund->Enabled());
    f.Imadpic.Top = -5000; // dragged meanwhile
    f.Imadpic_DblClick();  // resume
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -150.0);

    // After a run to the end without loop, resuming moves one step only.
    while (f.Timgund->Enabled())
        f.Timgund_Timer();
    f.Imadpic_DblClick();
    f.Imadpic_DblClick();
    QVERIFY(f.Timgund->Enabled());
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -11535.0);
    QVERIFY(!f.Timgund->Enabled());
}

void TstMotion::loopAloneStartsNothing() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnxunhuang_Click();
    QVERIFY(f.mnxunhuang->isChecked());
    QVERIFY(!f.Timgund->Enabled());
    QVERIFY(!f.mnshangxiagd->isChecked());
    f.mnxunhuang_Click();
    QVERIFY(!f.mnxunhuang->isChecked());
}

void TstMotion::speedItems_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("interval");
    QTest::newRow("快=1") << "快=1" << 1;
    QTest::newRow("慢=500") << "慢=500" << 500;
    QTest::newRow("缺省=50") << "缺省=50" << 50;
}

void TstMotion::speedItems() {
    QFETCH(QString, item);
    QFETCH(int, interval);
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    QAction* chosen = nullptr;
    for (QAction* a : f.mnsudu->actions())
        if (a->text() == item) chosen = a;
    QVERIFY(chosen);
    chosen->trigger(); // through the menu, as a user picks it
    QCOMPARE(f.Timgund->Interval(), interval);
    QVERIFY(f.Timgund->isTicking()); // a running scroll goes on at the new speed
    for (QAction* a : f.mnsudu->actions())
        QCOMPARE(a->isChecked(), a == chosen);
    QVERIFY(!f.Timtiula->Enabled());
}

void TstMotion::clickingTheTickedSpeedClearsItButSetsIt() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    QVERIFY(f.mnzhong->isChecked());
    f.mnzhong->trigger();
    QVERIFY(!f.mnzhong->isChecked());
    QCOMPARE(f.Timgund->Interval(), 100);
    f.mnzhong_Click();
    QVERIFY(f.mnzhong->isChecked());
}

void TstMotion::customInterval_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("interval");
    QTest::newRow("1000: one step a second") << "1000" << 1000;
    QTest::newRow("smallest step") << "1" << 1;
    QTest::newRow("leading zeros") << "0065535" << 65535;
    QTest::newRow("the proposal") << "200" << 200;
    QTest::newRow("spaces around") << " 100 " << 100;
    QTest::newRow("0 stops the ticks") << "0" << 0;
    QTest::newRow("largest") << "65535" << 65535;
    QTest::newRow("Cancel") << "" << 50;
    QTest::newRow("blank") << "   " << 50;
    QTest::newRow("abc") << "abc" << 50;
    QTest::newRow("-5") << "-5" << 50;
    QTest::newRow("99999999") << "99999999" << 50;
    QTest::newRow("65536") << "65536" << 50;
    QTest::newRow("beyond 32 bits") << "4294967296" << 50;
    QTest::newRow("-0") << "-0" << 50;
    QTest::newRow("two numbers") << "10 20" << 50;
    QTest::newRow("1e3") << "1e3" << 50;
    QTest::newRow("1,000") << "1,000" << 50;
    QTest::newRow("12.5") << "12.5" << 50;
}

void TstMotion::customInterval() {
    QFETCH(QString, answer);
    QFETCH(int, interval);
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    rig.prompts.answers << answer;
    f.mnzidingyi->trigger();
    QCOMPARE(rig.prompts.prompts, QStringList({"请输入时钟频率[1000为1秒！]：|时钟设置|200"}));
    QCOMPARE(f.Timgund->Interval(), interval);
    QCOMPARE(f.Timgund->isTicking(), interval > 0);
    QVERIFY(f.Timgund->Enabled());
    // The ticks change whatever the answer.
    QVERIFY(f.mnzidingyi->isChecked());
    QVERIFY(!f.mnzhong->isChecked());
}

void TstMotion::pushPullCycle_data() {
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("2560x1440") << QSize(2560, 1440);
    QTest::newRow("3840x2160") << QSize(3840, 2160);
    QTest::newRow("7680x4320") << QSize(7680, 4320);
}

void TstMotion::pushPullCycle() {
    QFETCH(QSize, pixels);
    FormRig rig(pixels);
    Frmpictd& f = *rig.form;
    const int W = pixels.width() * 15, H = pixels.height() * 15;
    f.mntiulaxg_Click();
    QVERIFY(f.mntiulaxg->isChecked());
    QVERIFY(!f.Imadpic.Visible);
    QVERIFY(f.P1->isVisible());
    QVERIFY(f.P2->isHidden());
    QCOMPARE(f.P1->geometry(), QRect(QPoint(0, 0), pixels));
    QCOMPARE(f.P2->picture().size(), pixels);
    QCOMPARE(f.pushPull.Width, W);
    QCOMPARE(f.pushPull.Height, H);
    QCOMPARE(f.pushPull.InsetX, W / 2);
    QCOMPARE(f.pushPull.InsetY, H / 2);
    QVERIFY(f.Timtiula->Enabled());

    // Out of the centre to the whole screen 1:1...
    int out = 0;
    do {
        f.Timtiula_Timer();
        ++out;
        QVERIFY(f.pushPull.InsetX >= 0 && f.pushPull.InsetX <= W / 2);
        QVERIFY(f.pushPull.InsetY >= 0 && f.pushPull.InsetY <= H / 2);
    } while (f.pushPull.InsetX != 0 && out < 200);
    QVERIFY2(out >= 48 && out <= 52, qPrintable(QString::number(out)));
    QCOMPARE(f.pushPull.InsetY, 0);
    QCOMPARE(f.P1->stretchedSource(), QRectF(QPointF(0, 0), QSizeF(pixels)));
    QCOMPARE(f.pushPull.direction, PushPull::Direction::In);

    // ...and back into the centre over as many ticks.
    int in = 0;
    QRectF lastDrawn = f.P1->stretchedSource();
    do {
        f.Timtiula_Timer();
        ++in;
        QVERIFY(f.pushPull.InsetX >= 0 && f.pushPull.InsetX <= W / 2 + W / 100 + 1);
        if (f.pushPull.direction == PushPull::Direction::In) lastDrawn = f.P1->stretchedSource();
    } while (f.pushPull.direction == PushPull::Direction::In && in < 200);
    QVERIFY2(qAbs(in - out) <= 1, qPrintable(QStringLiteral("%1 out, %2 in").arg(out).arg(in)));
    // The turning tick has no source extent left and draws nothing new.
    QVERIFY(W - 2 * f.pushPull.InsetX <= 0 || H - 2 * f.pushPull.InsetY <= 0);
    QCOMPARE(f.P1->stretchedSource(), lastDrawn);
    QVERIFY(lastDrawn.width() > 0 && lastDrawn.height() > 0);

    // Then out again.
    f.Timtiula_Timer();
    QVERIFY(f.pushPull.InsetX < W / 2);
    QVERIFY(f.P1->stretchedSource().width() > 0);
}

void TstMotion::pushPullOnWhileScrolling() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    f.Timgund_Timer();
    f.mntiulaxg_Click();
    QVERIFY(!f.mnshangxiagd->isChecked());
    QVERIFY(f.Timgund->Enabled()); // keeps moving the hidden picture
    f.Timgund_Timer();
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -30.0);
    QVERIFY(!f.Imadpic.Visible);
}

void TstMotion::scrollingOnStopsPushPull() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mntiulaxg_Click();
    f.mnshangxiagd_Click();
    QVERIFY(!f.mntiulaxg->isChecked());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(f.P1->isHidden());
    QVERIFY(f.Imadpic.Visible);
    QVERIFY(f.Timgund->Enabled());

    f.mntiulaxg_Click();
    QTest::mouseDClick(f.P1, Qt::LeftButton); // ends the view, stops both
    QVERIFY(!f.isVisible());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(!f.Timgund->Enabled());
    QVERIFY(f.mntiulaxg->isChecked());
}

void TstMotion::pushPullOffRefitsAndShowsThePicture() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.Imadpic.Left = -2000;
    f.Imadpic.Top = -3000;
    f.mntiulaxg_Click();
    for (int i = 0; i < 10; ++i)
        f.Timtiula_Timer();
    f.mntiulaxg_Click();
    QVERIFY(!f.mntiulaxg->isChecked());
    QVERIFY(!f.Timtiula->Enabled());
    QVERIFY(f.P1->isHidden());
    QVERIFY(f.Imadpic.Visible);
    QCOMPARE(f.Imadpic.Left, -2000.0);
    QCOMPARE(f.Imadpic.Top, -3000.0);
    QCOMPARE(f.geometry(), QRect(0, 0, 1024, 768));
    QCOMPARE(rig.shownAt({0, 0}), QPoint(1000 / 15, 100));
}

void TstMotion::hiddenWindowKeepsItsTimers() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    f.EndView();
    QVERIFY(!f.isVisible());
    QVERIFY(f.Timgund->Enabled());
    f.Timgund_Timer();
    f.Timgund_Timer();
    QCOMPARE(f.Imadpic.Top, -15.0);

    f.show();
    f.mntiulaxg_Click();
    f.Comqxbcfd_Click();
    QVERIFY(f.Timtiula->Enabled());
    f.Timtiula_Timer();
    QVERIFY(f.pushPull.InsetX < 15360 / 2);
}

void TstMotion::customSizeButtons() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    const QList<QPushButton*> buttons = {f.Command1, f.Command2, f.Command3, f.Command4};
    f.mnshougong_Click();
    QCOMPARE(f.mnshougong->text(), QStringLiteral("结束自定义zuz"));
    for (QPushButton* b : buttons)
        QVERIFY(b->isVisible());

    f.Imadpic.Left = 0;
    f.Imadpic.Top = 0;
    const double w = f.Imadpic.Width, h = f.Imadpic.Height;
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(f.Imadpic.Width, w - 600);
    QCOMPARE(f.Imadpic.Height, h);
    QCOMPARE(f.Imadpic.Left, 0.0);
    // 30720 - 600 twips are 2008 pixels for the 1024 of the screen.
    QCOMPARE(rig.shownAt({990, 300}).x(), int((990 + 0.5) * 1024 / 2008.0));
    f.Command2_Click();
    QCOMPARE(f.Imadpic.Height, h - 200);
    f.Command3_Click();
    f.Command4_Click();
    QCOMPARE(f.Imadpic.Width, w - 400);
    QCOMPARE(f.Imadpic.Height, h);
    QCOMPARE(f.geometry(), QRect(0, 0, 1024, 768)); // no refit

    // Narrower than the window: the background shows to its right.
    f.Imadpic.Width = 15360 - 600;
    f.update();
    const QImage shot = f.grab().toImage();
    QCOMPARE(shot.pixel(1000, 300), qRgb(192, 192, 255));
    QVERIFY(shot.pixel(900, 300) != qRgb(192, 192, 255));

    f.mnshougong_Click();
    QCOMPARE(f.mnshougong->text(), QStringLiteral("自定义zuz"));
    for (QPushButton* b : buttons)
        QVERIFY(b->isHidden());
}

void TstMotion::customSizeHasALowerBound() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    for (int i = 0; i < 400; ++i) {
        f.Command1_Click();
        f.Command2_Click();
    }
    QCOMPARE(f.Imadpic.Width, 200.0);
    QCOMPARE(f.Imadpic.Height, 200.0);
    f.repaint(); // a tiny picture still paints
    f.Command3_Click();
    QCOMPARE(f.Imadpic.Width, 400.0);
}

void TstMotion::customSizeSteps_data() {
    // Each button from a starting width or height (twips): the sizes it may
    // reach and the floor of one step that it may not go below.
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    for (int b : {1, 2}) {
        const QString which = b == 1 ? QStringLiteral("宽-") : QStringLiteral("高-");
        QTest::newRow(qPrintable(which + " from twice the screen")) << b << 15360.0 << 15160.0;
        QTest::newRow(qPrintable(which + " to the floor")) << b << 400.0 << 200.0;
        QTest::newRow(qPrintable(which + " clamps at the floor")) << b << 350.0 << 200.0;
        QTest::newRow(qPrintable(which + " stays at the floor")) << b << 200.0 << 200.0;
        QTest::newRow(qPrintable(which + " from below the floor")) << b << 15.0 << 200.0;
        QTest::newRow(qPrintable(which + " keeps a fraction")) << b << 1000.5 << 800.5;
    }
    for (int b : {3, 4}) {
        const QString which = b == 3 ? QStringLiteral("宽+") : QStringLiteral("高+");
        QTest::newRow(qPrintable(which + " from the floor")) << b << 200.0 << 400.0;
        QTest::newRow(qPrintable(which + " from twice the screen")) << b << 15360.0 << 15560.0;
        QTest::newRow(qPrintable(which + " far past the screen")) << b << 300000.0 << 300200.0;
    }
}

void TstMotion::customSizeSteps() {
    QFETCH(int, button);
    QFETCH(double, from);
    QFETCH(double, to);
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    f.mnshougong_Click();
    const bool width = button == 1 || button == 3;
    (width ? f.Imadpic.Width : f.Imadpic.Height) = from;
    const double other = width ? f.Imadpic.Height : f.Imadpic.Width;
    const double left = f.Imadpic.Left, top = f.Imadpic.Top;
    QPushButton* b =
        QList<QPushButton*>{f.Command1, f.Command2, f.Command3, f.Command4}[button - 1];
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(width ? f.Imadpic.Width : f.Imadpic.Height, to);
    QCOMPARE(width ? f.Imadpic.Height : f.Imadpic.Width, other);
    // It grows and shrinks from its top-left corner, in a window that stays.
    QCOMPARE(f.Imadpic.Left, left);
    QCOMPARE(f.Imadpic.Top, top);
    QCOMPARE(f.geometry(), QRect(0, 0, 1024, 768));
    f.repaint();
}

QTEST_MAIN(TstMotion)
#include "tst_motion.moc"
