#include "editorfixture.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

using Step = std::function<void(EditorFixture&)>;

constexpr int W = 160;
constexpr int H = 120;
constexpr raster::Colour Red = 0x0000FF;

// The editor's own rubber band, drawn on the target and announced.
void rubberBand(EditorFixture& f, const QRect& r = QRect(5, 100, 150, 2)) {
    f.target->fillRect(r, 0x00FF00);
    f.sel.TargetChanged(r);
}

Step band(const QRect& r) {
    return [r](EditorFixture& f) { rubberBand(f, r); };
}

QList<QPoint> wobblyLoop(QPoint centre, int radius, int count) {
    QList<QPoint> points;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        const double r = radius * (1 + 0.3 * std::sin(5 * a));
        points << centre + QPoint(int(r * std::cos(a)), int(r * std::sin(a)));
    }
    return points;
}

// Both engines run the same gestures on equal pictures; after every step the
// target of the partial composition must equal the whole-frame one.
struct Pair {
    EditorFixture part{Composition::ChangedArea, W, H};
    EditorFixture whole{Composition::WholeFrame, W, H};

    Pair() {
        for (auto* f : {&part, &whole})
            f->target->fillRect(QRect(60, 40, 8, 8), Red);
    }

    bool apply(const QString& name, const Step& step) {
        step(part);
        step(whole);
        const QImage& a = part.target->image();
        const QImage& b = whole.target->image();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    qWarning("%s: first difference at %d,%d", qPrintable(name), x, y);
                    return false;
                }
        return part.sel.WorkMode() == whole.sel.WorkMode();
    }
};

Step press(const QList<QPoint>& points) {
    return [points](EditorFixture& f) {
        f.open();
        rubberBand(f);
        for (qsizetype i = 0; i < points.size(); ++i)
            f.sel.addPoint(points[i].x(), points[i].y(), i == 0);
    };
}

Step drag(QPoint from, QList<QPoint> path, bool pixels) {
    return [=](EditorFixture& f) {
        f.sel.MoveStart(from.x(), from.y());
        for (QPoint p : path)
            pixels ? f.sel.MoveClipTo(p.x(), p.y()) : f.sel.MoveRgnTo(p.x(), p.y());
        pixels ? f.sel.EndClipMove(false, 0, 0, SelMode::Idle) : f.sel.EndRgnMove();
    };
}

const Step display = [](EditorFixture& f) { f.sel.Display(); };
const Step release = [](EditorFixture& f) { f.sel.endSel(); };
const Step undo = [](EditorFixture& f) { f.sel.UnDo(); };

} // namespace

class TestChangedArea : public QObject {
    Q_OBJECT

  private slots:
    void recordedGesturesMatchWholeFrames() {
        const QList<std::pair<QString, Step>> script{
            {"trace", press(wobblyLoop({60, 50}, 30, 80))},
            {"close", release},
            {"tick", display},
            {"band over the selection", band(QRect(40, 30, 60, 40))},
            {"tick", display},
            {"band off the picture", band(QRect(150, -10, 30, 200))},
            {"drag outline partly off", drag({60, 50}, {{50, 50}, {20, 40}, {10, 30}}, false)},
            {"tick", display},
            {"drag outline back", drag({10, 30}, {{40, 40}, {70, 55}}, false)},
            {"lift", drag({70, 55}, {{72, 55}}, true)},
            {"drag pixels", drag({72, 55}, {{80, 60}, {100, 70}, {130, 90}, {120, 80}}, true)},
            {"tick", display},
            {"band over the lifted pixels", band(QRect(100, 60, 40, 30))},
            {"tick", display},
            {"back colour red", [](EditorFixture& f) { f.sel.BackColor(Red); }},
            {"transparency on", [](EditorFixture& f) { f.sel.Trans(true); }},
            {"tick", display},
            {"colour change", [](EditorFixture& f) { f.sel.BackColor(0xFF8000); }},
            {"tick", display},
            {"drag pixels over origin", drag({120, 80}, {{70, 60}, {65, 52}}, true)},
            {"paste", [](EditorFixture& f) { f.sel.Paste(); }},
            {"undo", undo},
            {"tick", display},
            {"undo", undo},
            {"tick", display},
            {"next press pastes", press({{10, 10}, {50, 10}})},
            {"rectangle", press(rectangle({20, 15}, {90, 70}))},
            {"close", release},
            {"undo", undo},
            {"undo", undo},
            {"tick", display},
            {"click", press({{5, 5}})},
            {"release", release},
            {"band after a click", band(QRect(10, 10, 50, 40))},
            {"tick that composes nothing", display},
            {"band again", band(QRect(30, 20, 50, 60))},
            {"tick that composes nothing", display},
            {"undo", undo},
            {"tick", display},
            {"band while selected", band(QRect(0, 0, 160, 3))},
            {"new rectangle pressed, band drawn", band(QRect(20, 20, 70, 50))},
            {"and released", press(rectangle({20, 20}, {90, 70}))},
            {"close", release},
            {"band after the release", band(QRect(25, 25, 10, 10))},
            {"tick", display},
            {"collinear", press({{5, 5}, {50, 50}, {100, 100}})},
            {"close", release},
            {"tick", display},
        };
        Pair pair;
        for (const auto& [name, step] : script)
            QVERIFY2(pair.apply(name, step), qPrintable(name));
    }

    void randomGesturesMatchWholeFrames() {
        QRandomGenerator rng(20240607);
        auto point = [&] { return QPoint(rng.bounded(-20, W + 20), rng.bounded(-20, H + 20)); };
        Pair pair;
        for (int i = 0; i < 300; ++i) {
            Step step;
            switch (rng.bounded(10)) {
            case 0:
                step = press(wobblyLoop(point(), rng.bounded(3, 60), rng.bounded(3, 40)));
                break;
            case 1:
                step = release;
                break;
            case 2:
                step = drag(point(), {point(), point()}, true);
                break;
            case 3:
                step = drag(point(), {point()}, false);
                break;
            case 4:
                step = undo;
                break;
            case 5:
                step = [c = rng.generate() & 0xFFFFFF](EditorFixture& f) { f.sel.BackColor(c); };
                break;
            case 6:
                step = [t = rng.bounded(2) == 1](EditorFixture& f) { f.sel.Trans(t); };
                break;
            case 7:
                step = [](EditorFixture& f) { f.sel.Paste(); };
                break;
            case 8:
                step = band(QRect(point(), point()).normalized());
                break;
            default:
                step = display;
            }
            QVERIFY2(pair.apply(QString::number(i), step), qPrintable(QString::number(i)));
        }
    }

    // While only the dashes march, a frame redraws just the tiles about the
    // outline, and a long run of such frames still matches whole ones.
    void marchingOutlineRedrawsOnlyAboutTheOutline_data() {
        QTest::addColumn<QList<QPoint>>("outline");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<QPoint>("lift");
        QTest::newRow("large loop") << wobblyLoop({80, 60}, 52, 120) << QPoint(80, 60) << QPoint();
        QTest::newRow("lifted and moved")
            << wobblyLoop({80, 60}, 40, 90) << QPoint(80, 60) << QPoint(6, -3);
        QTest::newRow("partly off the picture")
            << wobblyLoop({130, 20}, 45, 70) << QPoint(130, 20) << QPoint();
        QTest::newRow("nearly the whole picture")
            << rectangle({1, 1}, {158, 118}) << QPoint(80, 60) << QPoint();
    }

    void marchingOutlineRedrawsOnlyAboutTheOutline() {
        QFETCH(QList<QPoint>, outline);
        QFETCH(QPoint, centre);
        QFETCH(QPoint, lift);
        Pair pair;
        QVERIFY(pair.apply("trace", press(outline)));
        QVERIFY(pair.apply("close", release));
        if (!lift.isNull()) QVERIFY(pair.apply("lift", drag(centre, {centre + lift}, true)));
        // Far enough from the outline to lie in no tile about it.
        const QRect inside(centre + lift - QPoint(4, 4), QSize(8, 8));
        const QRect bandArea(70, 50, 20, 20);
        pair.part.sel.takeWritten();
        for (int i = 0; i < 24; ++i) {
            if (i == 13) QVERIFY(pair.apply("band", band(bandArea)));
            QVERIFY2(pair.apply("tick", display), qPrintable(QString::number(i)));
            const QRegion written = pair.part.sel.takeWritten();
            QVERIFY(!written.isEmpty());
            if (i == 13)
                QVERIFY((QRegion(bandArea) - written).isEmpty());
            else
                QVERIFY(!written.intersects(inside));
        }
    }
};

QTEST_APPLESS_MAIN(TestChangedArea)
#include "tst_changedarea.moc"
