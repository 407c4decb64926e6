// The editor's zoom and pan rules, on a full HD picture.
#include "magnifier/editor/editorzoom.h"

#include <QTest>

#include <cmath>

namespace {
constexpr QSizeF Picture(1920, 1080);

bool near(QPointF a, QPointF b) {
    return std::abs(a.x() - b.x()) < 1e-6 && std::abs(a.y() - b.y()) < 1e-6;
}
} // namespace

class TstEditorZoom : public QObject {
    Q_OBJECT
  private slots:
    void notchesScaleAboutThePointerWithinTheClamps_data();
    void notchesScaleAboutThePointerWithinTheClamps();
    void panKeepsThePictureOverTheScreen_data();
    void panKeepsThePictureOverTheScreen();
};

void TstEditorZoom::notchesScaleAboutThePointerWithinTheClamps_data() {
    QTest::addColumn<int>("before"); // notches about the screen's top-left first
    QTest::addColumn<int>("notches");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("origin");
    QTest::newRow("a notch about the middle")
        << 0 << 1 << QPointF(960, 540) << 1.25 << QPointF(192, 108);
    QTest::newRow("two notches in one event")
        << 0 << 2 << QPointF(960, 540) << 1.5625 << QPointF(345.6, 194.4);
    QTest::newRow("about the top-left corner")
        << 0 << 4 << QPointF(0, 0) << std::pow(1.25, 4) << QPointF(0, 0);
    QTest::newRow("about the bottom-right corner")
        << 0 << 3 << QPointF(1920, 1080) << 1.953125
        << QPointF(1920 - 1920 / 1.953125, 1080 - 1080 / 1.953125);
    QTest::newRow("twelve notches")
        << 0 << 12 << QPointF(0, 0) << std::pow(1.25, 12) << QPointF(0, 0);
    QTest::newRow("the thirteenth stops at 16x")
        << 12 << 1 << QPointF(0, 0) << 16.0 << QPointF(0, 0);
    QTest::newRow("no further than 16x") << 0 << 40 << QPointF(0, 0) << 16.0 << QPointF(0, 0);
    QTest::newRow("back from 16x")
        << 13 << -1 << QPointF(0, 0) << std::pow(1.25, 12) << QPointF(0, 0);
    QTest::newRow("no smaller than 1x") << 2 << -5 << QPointF(960, 540) << 1.0 << QPointF(0, 0);
    // Smaller about the far corner would leave the screen's top-left bare:
    // the picture stays at the left and top edges.
    QTest::newRow("kept over the screen")
        << 2 << -1 << QPointF(1900, 1000) << 1.25 << QPointF(0, 0);
}

void TstEditorZoom::notchesScaleAboutThePointerWithinTheClamps() {
    QFETCH(int, before);
    QFETCH(int, notches);
    QFETCH(QPointF, at);
    QFETCH(double, scale);
    QFETCH(QPointF, origin);
    EditorZoom z;
    z.setPicture(Picture);
    z.zoom(before, {0, 0});
    const QPointF under = z.toPicture(at);
    QVERIFY(z.zoom(notches, at));
    QVERIFY(std::abs(z.scale() - scale) < 1e-9);
    QVERIFY2(near(z.origin(), origin),
             qPrintable(QStringLiteral("%1, %2").arg(z.origin().x()).arg(z.origin().y())));
    // The point under the pointer stays there unless the edges held it.
    const QPointF kept = under - at / scale;
    if (near(kept, origin)) QVERIFY(near(z.toPicture(at), under));
    // Picture to screen and back agree.
    QVERIFY(near(z.pictureToScreen().map(z.toPicture(at)), at));
    // Further on the same way ends at a clamp, where a notch does nothing.
    z.zoom(notches > 0 ? 100 : -100, at);
    QCOMPARE(z.level(), notches > 0 ? EditorZoom::LargestLevel : 0);
    QVERIFY(!z.zoom(notches > 0 ? 1 : -1, at));
}

void TstEditorZoom::panKeepsThePictureOverTheScreen_data() {
    QTest::addColumn<int>("notches"); // about the screen's middle first
    QTest::addColumn<QString>("pan"); // drag, key, shift+key, 0
    QTest::addColumn<QPointF>("by");  // the drag's screen pixels, the key's direction
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QPointF>("origin");
    // At 2x (1.25^3 is 1.953125) the screen shows 983.04 x 552.96 of the
    // picture, from (491.52, 276.48) about the middle.
    const double s = 1.953125;
    const QPointF middle(960 - 960 / s, 540 - 540 / s);
    const QPointF far(1920 - 1920 / s, 1080 - 1080 / s);
    QTest::newRow("drag") << 3 << "drag" << QPointF(100, -50) << true
                          << middle - QPointF(100, -50) / s;
    QTest::newRow("drag beyond the edges")
        << 3 << "drag" << QPointF(5000, -5000) << true << QPointF(0, far.y());
    QTest::newRow("right key: an eighth of the screen")
        << 3 << "key" << QPointF(1, 0) << true << middle + QPointF(240 / s, 0);
    QTest::newRow("up key") << 3 << "key" << QPointF(0, -1) << true << middle - QPointF(0, 135 / s);
    QTest::newRow("Shift+left: a whole screen, held at the edge")
        << 3 << "shift+key" << QPointF(-1, 0) << true << QPointF(0, middle.y());
    QTest::newRow("Shift+down, held at the edge")
        << 3 << "shift+key" << QPointF(0, 1) << true << QPointF(middle.x(), far.y());
    QTest::newRow("no pan at 1x") << 0 << "key" << QPointF(1, 0) << false << QPointF(0, 0);
    QTest::newRow("no drag at 1x") << 0 << "drag" << QPointF(-300, 200) << false << QPointF(0, 0);
    QTest::newRow("0: back to 1x") << 5 << "0" << QPointF() << true << QPointF(0, 0);
    QTest::newRow("0 at 1x") << 0 << "0" << QPointF() << false << QPointF(0, 0);
}

void TstEditorZoom::panKeepsThePictureOverTheScreen() {
    QFETCH(int, notches);
    QFETCH(QString, pan);
    QFETCH(QPointF, by);
    QFETCH(bool, moved);
    QFETCH(QPointF, origin);
    EditorZoom z;
    z.setPicture(Picture);
    z.zoom(notches, {960, 540});
    const double scale = z.scale();
    bool changed = false;
    if (pan == "drag")
        changed = z.drag(by);
    else if (pan == "0")
        changed = z.reset();
    else
        changed = z.step(int(by.x()), int(by.y()), pan == "shift+key");
    QCOMPARE(changed, moved);
    QVERIFY2(near(z.origin(), origin),
             qPrintable(QStringLiteral("%1, %2").arg(z.origin().x()).arg(z.origin().y())));
    QCOMPARE(z.scale(), pan == "0" ? 1.0 : scale);
    // Whatever the pan, the screen's corners show picture points.
    const QPointF bottomRight = z.toPicture({1920, 1080});
    QVERIFY(z.origin().x() >= 0 && z.origin().y() >= 0);
    QVERIFY(bottomRight.x() <= 1920 + 1e-9 && bottomRight.y() <= 1080 + 1e-9);
}

QTEST_GUILESS_MAIN(TstEditorZoom)
#include "tst_editorzoom.moc"
