// The aids to reading by their keys, as the view paints them.
#include "formrig.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/editor/picturearea.h"

#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

using namespace colouraids;

namespace {
QRgb shown(Frmpictd& f, QPoint at) {
    return f.grab(QRect(at, QSize(1, 1))).toImage().pixel(0, 0);
}

void moveTo(Frmpictd& f, QPoint pos) {
    // An aid switched on takes the pointer from the cursor.
    QCursor::setPos(f.mapToGlobal(pos));
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), f.mapToGlobal(QPointF(pos)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &e);
}

void shiftWheel(Frmpictd& f, QPoint pos, int delta) {
    QWheelEvent e(QPointF(pos), f.mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&f, &e);
}

// Each channel within `tolerance` of what a colour laid over `under` with
// two thirds of its opacity gives.
bool overlaid(QRgb got, QRgb under, QRgb colour, int tolerance = 2) {
    const auto near = [&](int g, int u, int c) { return qAbs(g - (u + 2 * c) / 3) <= tolerance; };
    return near(qRed(got), qRed(under), qRed(colour)) &&
           near(qGreen(got), qGreen(under), qGreen(colour)) &&
           near(qBlue(got), qBlue(under), qBlue(colour));
}
} // namespace

class TstAids : public QObject {
    Q_OBJECT
  private slots:
    void keysChangeThePictureAndStayForTheNextView();
};

void TstAids::keysChangeThePictureAndStayForTheNextView() {
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    // The view as it is without aids; nothing below moves the picture until
    // the wheel near the end. Twice the screen, centred: window pixel x
    // shows source x / 2 + 256.
    const QImage plain = f.grab().toImage();
    const auto ref = [&plain](QPoint p) { return plain.pixel(p); };
    // Pixels with all three channels away from the ends, so that each aid shows.
    const QPoint a(300, 500), b(700, 130);
    const QRgb pa = ref(a), pb = ref(b);

    // Exact colours: the rule's pixels, no tolerance.
    QTest::keyClick(&f, Qt::Key_I);
    QCOMPARE(shown(f, a), pa ^ 0x00ffffffu);
    // Off, and on again: the copy is made anew.
    QTest::keyClick(&f, Qt::Key_I);
    QCOMPARE(shown(f, a), pa);
    QTest::keyClick(&f, Qt::Key_I);
    QCOMPARE(shown(f, a), pa ^ 0x00ffffffu);
    QTest::keyClick(&f, Qt::Key_G);
    const int y = luma(qRed(pb), qGreen(pb), qBlue(pb));
    QCOMPARE(shown(f, b), qRgb(255 - y, 255 - y, 255 - y));
    QTest::keyClick(&f, Qt::Key_I);
    QCOMPARE(shown(f, b), qRgb(y, y, y));
    QTest::keyClick(&f, Qt::Key_G);
    QCOMPARE(shown(f, a), pa);
    // C steps up and wraps, Shift+C down.
    QTest::keyClick(&f, Qt::Key_C);
    QCOMPARE(shown(f, b), applied(pb, {Switch::Off, Contrast::High, Switch::Off}));
    QTest::keyClick(&f, Qt::Key_C);
    QCOMPARE(shown(f, b), applied(pb, {Switch::Off, Contrast::Higher, Switch::Off}));
    QTest::keyClick(&f, Qt::Key_C);
    QCOMPARE(shown(f, b), pb);
    QTest::keyClick(&f, Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(f.aids.rule().contrast, Contrast::Higher);
    QTest::keyClick(&f, Qt::Key_C, Qt::ShiftModifier);
    QTest::keyClick(&f, Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(shown(f, b), pb);

    // S: red goes from 255 to 0 between source columns 511 and 512, window
    // pixels 510..511 and 512..513. Sharp keeps the step; smooth mixes a
    // quarter of the other side in (191 and 64, within 40).
    QCOMPARE(qRed(shown(f, {511, 300})), 255);
    QCOMPARE(qRed(shown(f, {512, 300})), 0);
    QTest::keyClick(&f, Qt::Key_S);
    QVERIFY(qAbs(qRed(shown(f, {511, 300})) - 191) <= 40);
    QVERIFY(qAbs(qRed(shown(f, {512, 300})) - 64) <= 40);
    QTest::keyClick(&f, Qt::Key_S);
    QCOMPARE(qRed(shown(f, {511, 300})), 255);

    // H: red lines 8 px wide through the pointer, two thirds opaque, 16 px
    // clear around it; within 2 of each channel.
    moveTo(f, {400, 300});
    QTest::keyClick(&f, Qt::Key_H);
    const QPoint onArm(100, 303), inGap(410, 300), below(396, 700), off(100, 310);
    QVERIFY(overlaid(shown(f, onArm), ref(onArm), qRgb(255, 0, 0)));
    QVERIFY(overlaid(shown(f, below), ref(below), qRgb(255, 0, 0)));
    QCOMPARE(shown(f, inGap), ref(inGap));
    QCOMPARE(shown(f, off), ref(off));
    // They follow the pointer.
    moveTo(f, {400, 600});
    QCOMPARE(shown(f, onArm), ref(onArm));
    QVERIFY(overlaid(shown(f, {100, 600}), ref({100, 600}), qRgb(255, 0, 0)));
    QTest::keyClick(&f, Qt::Key_H);

    // L: a fifth of the screen (153 px, from 324) clear about the pointer,
    // the rest at a third of its brightness.
    moveTo(f, {400, 400});
    QTest::keyClick(&f, Qt::Key_L);
    const QPoint above(200, 100), inBand(200, 400), edge(200, 320), low(200, 650);
    QVERIFY(overlaid(shown(f, above), ref(above), qRgb(0, 0, 0)));
    QVERIFY(overlaid(shown(f, edge), ref(edge), qRgb(0, 0, 0)));
    QCOMPARE(shown(f, inBand), ref(inBand));
    // Shift+wheel: a notch taller (22 %, 168 px: from 316), the picture unmoved.
    const QRectF place = f.Imadpic.rect();
    shiftWheel(f, {400, 400}, 120);
    QCOMPARE(f.aids.bandPercent(), 22);
    QCOMPARE(f.Imadpic.rect(), place);
    QCOMPARE(shown(f, edge), ref(edge));
    // While the picture scrolls by itself the band stays where it is.
    f.mnshangxiagd_Click();
    moveTo(f, {400, 650});
    QCOMPARE(shown(f, inBand), ref(inBand));
    QVERIFY(overlaid(shown(f, low), ref(low), qRgb(0, 0, 0)));
    f.mnshangxiagd_Click();
    QCOMPARE(f.Imadpic.rect(), place);
    // Still again, it follows the pointer.
    moveTo(f, {400, 660});
    QCOMPARE(shown(f, low), ref(low));
    QVERIFY(overlaid(shown(f, inBand), ref(inBand), qRgb(0, 0, 0)));
    QTest::keyClick(&f, Qt::Key_L);
    QCOMPARE(shown(f, inBand), ref(inBand));

    // Shift+wheel without the band zooms, as the wheel does.
    shiftWheel(f, {512, 384}, 120);
    QVERIFY(f.Imadpic.Width > place.width());

    // The next view of the run starts with the aids left on.
    QTest::keyClick(&f, Qt::Key_I);
    QTest::keyClick(&f, Qt::Key_H);
    QTest::keyClick(&f, Qt::Key_X);
    QVERIFY(!f.isVisible());
    f.TimKey_Timer();
    QVERIFY(f.isVisible());
    QCOMPARE(f.aids.rule().inversion, Switch::On);
    QCOMPARE(f.aids.crosshairs(), Switch::On);
    f.aids.setCrosshairs(Switch::Off);
    const QImage inverted = f.grab().toImage();
    QTest::keyClick(&f, Qt::Key_I);
    QCOMPARE(shown(f, a), inverted.pixel(a) ^ 0x00ffffffu);
    QCOMPARE(shown(f, b), inverted.pixel(b) ^ 0x00ffffffu);

    // Enlarged once more, the picture is the view without its aids, shown
    // with them: as a second form without aids shows it, inverted.
    QTest::keyClick(&f, Qt::Key_I);
    {
        FormRig plainRig({1024, 768});
        plainRig.form->Imadpic.setRect(f.Imadpic.rect());
        plainRig.form->mnzaicifd_Click();
        f.mnzaicifd_Click();
        for (const QPoint p : {a, b, QPoint(40, 40)})
            QCOMPARE(shown(f, p), shown(*plainRig.form, p) ^ 0x00ffffffu);
    }

    // The editor opens on the picture as the view showed it, without the
    // crosshairs, which are no part of the picture.
    const QRgb before = shown(f, a), armBefore = shown(f, onArm);
    moveTo(f, {400, 300});
    QTest::keyClick(&f, Qt::Key_H);
    QVERIFY(shown(f, onArm) != armBefore);
    f.Command5_Click();
    QVERIFY(f.editor());
    QCOMPARE(f.editor()->Picture1->hDC()->image().pixel(a), before);
    QCOMPARE(f.editor()->Picture1->hDC()->image().pixel(onArm), armBefore);
    f.editor()->close();
}

QTEST_MAIN(TstAids)
#include "tst_aids.moc"
