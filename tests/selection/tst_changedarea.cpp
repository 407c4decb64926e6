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

// The editor's own rubber band, drawn on the target between press and trace.
void rubberBand(EditorFixture& f) {
    f.target->fillRect(QRect(5, 100, 150, 2), 0x00FF00);
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
        pixels ? f.sel.EndClipMove(false, 0, 0, 0) : f.sel.EndRgnMove();
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
            {"drag outline partly off", drag({60, 50}, {{50, 50}, {20, 40}, {10, 30}}, false)},
            {"tick", display},
            {"drag outline back", drag({10, 30}, {{40, 40}, {70, 55}}, false)},
            {"lift", drag({70, 55}, {{72, 55}}, true)},
            {"drag pixels", drag({72, 55}, {{80, 60}, {100, 70}, {130, 90}, {120, 80}}, true)},
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
            {"undo", undo},
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
            switch (rng.bounded(9)) {
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
            default:
                step = display;
            }
            QVERIFY2(pair.apply(QString::number(i), step), qPrintable(QString::number(i)));
        }
    }
};

QTEST_APPLESS_MAIN(TestChangedArea)
#include "tst_changedarea.moc"
