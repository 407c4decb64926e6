// The colour aids in the region window: its keys and its menu change the
// picture's pixels exactly and nothing else, on both drawing paths, and a
// later window of the run starts with them.
#include "region/regionaids.h"
#include "regionrig.h"

#include <QAction>
#include <QCursor>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {
using Rule = std::function<QRgb(QRgb)>;

QRgb inverted(QRgb c) {
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}
QRgb grey(QRgb c) {
    const int y = (77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c) + 128) >> 8;
    return qRgb(y, y, y);
}

double ratio() {
    return qGuiApp->devicePixelRatio();
}

enum class Path { Grab, Render };

// The window as it paints: into a pixmap (the enlarged copy it draws
// from) or, as into a backing store, straight into an image.
QImage shot(Fortdck& f, Path path) {
    if (path == Path::Grab) return f.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage img(f.size() * ratio(), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio());
    f.render(&img);
    return img;
}

// Null if every picture pixel, shown as a square of two by two device
// pixels inside the border (whole device pixels of it), is rule(picture
// pixel) there; else the first that is not.
QString firstWrong(const QImage& got, const QImage& picture, const Rule& rule) {
    if (got.pixel(0, 0) != qRgb(0, 0, 0)) return QStringLiteral("the border changed");
    const int border = std::max(1, int(ratio()));
    const int w = 2 * picture.width(), h = 2 * picture.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb want = rule(picture.pixel(x / 2, y / 2));
            const QRgb seen = got.pixel(border + x, border + y);
            if (seen != want)
                return QStringLiteral("device pixel %1,%2: %3, want %4")
                    .arg(x)
                    .arg(y)
                    .arg(seen, 8, 16)
                    .arg(want, 8, 16);
        }
    return {};
}
} // namespace

class TstRegionAids : public QObject {
    Q_OBJECT
  private slots:
    void keysChangeThePictureExactly_data();
    void keysChangeThePictureExactly();
    void aidsOutliveTheWindowAndShowInTheMenu();
    void crosshairsCrossThePictureAtThePointer();
    void keysOfOtherModifiersAreNotAids();
};

void TstRegionAids::keysChangeThePictureExactly_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<Path>("path");
    QTest::addColumn<Rule>("rule");
    const Rule same = [](QRgb c) { return c | 0xFF000000u; };
    const Rule both = [](QRgb c) { return inverted(grey(c)); };
    for (Path path : {Path::Grab, Path::Render}) {
        const char* p = path == Path::Grab ? "pixmap" : "image";
        QTest::addRow("I %s", p) << "I" << path << Rule(inverted);
        QTest::addRow("G %s", p) << "G" << path << Rule(grey);
        QTest::addRow("G I %s", p) << "GI" << path << both;
        // Twice is off again.
        QTest::addRow("I I %s", p) << "II" << path << same;
    }
}

void TstRegionAids::keysChangeThePictureExactly() {
    QFETCH(QString, keys);
    QFETCH(Path, path);
    QFETCH(Rule, rule);
    RegionRig rig({1024, 768}, 96, ratio());
    const QImage picture = codedPattern(40, 30);
    Fortdck* f = rig.open(picture);
    for (QChar k : keys)
        QTest::keyClick(f, k.toLatin1());
    const QString wrong = firstWrong(shot(*f, path), picture, rule);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TstRegionAids::aidsOutliveTheWindowAndShowInTheMenu() {
    RegionRig rig({1024, 768}, 96, ratio());
    const QImage picture = codedPattern(40, 30);
    Fortdck* f = rig.open(picture);
    QTest::keyClick(f, Qt::Key_I);
    const RegionAidsMenu& menu = *rig.main->aidsMenu;
    QVERIFY(menu.inversion->isChecked());
    // Contrast down from normal wraps to the highest; one tick of three.
    QTest::keyClick(f, Qt::Key_C, Qt::ShiftModifier);
    QCOMPARE(rig.main->aids().rule().contrast, colouraids::Contrast::Higher);
    QVERIFY(!menu.contrast[0]->isChecked() && !menu.contrast[1]->isChecked() &&
            menu.contrast[2]->isChecked());
    menu.contrast[0]->trigger();
    QVERIFY(menu.contrast[0]->isChecked() && !menu.contrast[2]->isChecked());
    // The chosen item again keeps its tick.
    menu.contrast[0]->trigger();
    QVERIFY(menu.contrast[0]->isChecked());

    // The next pick's window: still inverted; the menu's item greys it too.
    Fortdck* second = rig.open(picture);
    QVERIFY(second != f);
    QString wrong = firstWrong(shot(*second, Path::Grab), picture, inverted);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    menu.greyscale->trigger();
    QVERIFY(menu.greyscale->isChecked());
    wrong =
        firstWrong(shot(*second, Path::Render), picture, [](QRgb c) { return inverted(grey(c)); });
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    // The key list names the aids.
    QTest::keyClick(second, Qt::Key_F1);
    auto* list = second->findChild<KeyOverlay*>();
    QVERIFY(list && list->text().contains(QStringLiteral("反色")));
}

// H: red lines through the pointer over the picture, the pointer itself
// left clear, the border untouched; H again takes them away.
void TstRegionAids::crosshairsCrossThePictureAtThePointer() {
    RegionRig rig({1024, 768}, 96, ratio());
    const QImage picture = codedPattern(300, 240);
    Fortdck* f = rig.open(picture);
    QTest::keyClick(f, Qt::Key_H);
    const QPoint at(101, 81);
    QCursor::setPos(f->mapToGlobal(at));
    const QImage got = shot(*f, Path::Render);
    const auto device = [](QPoint p) { return (QPointF(p) * ratio()).toPoint(); };
    // Two thirds red over any pixel: red at least 170, green and blue at
    // most a third of 255 (tolerance: the blend's rounding).
    const auto red = [&](QPoint p) {
        const QRgb c = got.pixel(device(p));
        return qRed(c) >= 169 && qGreen(c) <= 86 && qBlue(c) <= 86;
    };
    QVERIFY(red({at.x() - 60, at.y()}) && red({at.x() + 60, at.y()}));
    QVERIFY(red({at.x(), at.y() - 60}) && red({at.x(), at.y() + 60}));
    QVERIFY(!red(at));
    QCOMPARE(got.pixel(0, device(at).y()), qRgb(0, 0, 0));
    QTest::keyClick(f, Qt::Key_H);
    const QString wrong = firstWrong(shot(*f, Path::Render), picture, [](QRgb c) { return c; });
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TstRegionAids::keysOfOtherModifiersAreNotAids() {
    using regionaids::Key;
    QCOMPARE(regionaids::key('I', false, false), Key::Inversion);
    QCOMPARE(regionaids::key('C', true, false), Key::ContrastDown);
    QCOMPARE(regionaids::key('I', true, false), Key::None);
    QCOMPARE(regionaids::key('I', false, true), Key::None);
    QCOMPARE(regionaids::key('C', false, true), Key::None);
    QCOMPARE(regionaids::key('X', false, false), Key::None);
}

QTEST_MAIN(TstRegionAids)
#include "tst_region_aids.moc"
