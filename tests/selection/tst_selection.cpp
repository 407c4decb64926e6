#include "editorfixture.h"

#include <QTest>

#include <functional>

using raster::Colour;
using F = EditorFixture;

namespace {

const QList<QPoint> box = rectangle({10, 10}, {30, 26});

Colour inverse(Colour c) {
    return ~c & 0xFFFFFFu;
}

bool isInClipAnywhere(const clspotoshop& sel) {
    for (int y = -2; y < F::Height + 2; ++y)
        for (int x = -2; x < F::Width + 2; ++x)
            if (sel.isInClip(x, y)) return true;
    return false;
}

bool showsPicture(const F& f) {
    return f.target->image() == F::picture()->image();
}

// The pixels of a one-pixel outline around r, corners and far edges included.
bool onOutline(const QRect& r, QPoint p) {
    return r.contains(p) && !r.adjusted(1, 1, -1, -1).contains(p);
}

// In the frame shown, the outline around r is cut into black and white dashes
// and every other pixel is the picture's own.
bool showsOutlineOnPicture(const F& f, const QRect& r) {
    bool black = false;
    bool white = false;
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) {
            const Colour c = f.at(x, y);
            if (!onOutline(r, {x, y})) {
                if (c != F::colourAt(x % F::Width, y % F::Height)) return false;
                continue;
            }
            if (c != 0 && c != 0xFFFFFF) return false;
            black = black || c == 0;
            white = white || c == 0xFFFFFF;
        }
    return black && white;
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT

  private slots:
    void fewerThanThreePointsSelectNothing_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("click") << 1;
        QTest::newRow("click and one move") << 2;
    }

    void fewerThanThreePointsSelectNothing() {
        QFETCH(int, points);
        F f;
        f.trace(box.mid(0, points));
        QCOMPARE(f.sel.WorkMode(), SelMode::Opened);
        QCOMPARE(f.sel.fields().PointCount, 0);
        f.sel.Display();
        QVERIFY(showsPicture(f));
        QVERIFY(!isInClipAnywhere(f.sel));
    }

    void thirdPointStartsTheTraceOverTheSnapshot() {
        F f;
        f.open();
        f.target->fillRect(QRect(0, 40, 64, 2), 0x0000FF); // the editor's rubber band
        f.sel.addPoint(10, 10, true);
        f.sel.addPoint(30, 10, false);
        QCOMPARE(f.sel.fields().PointCount, 0);
        QCOMPARE(f.at(5, 40), 0x0000FFu);
        f.sel.addPoint(30, 30, false);
        QCOMPARE(f.sel.fields().PointCount, 3);
        QCOMPARE(f.at(5, 40), F::colourAt(5, 40));
        QCOMPARE(f.at(20, 10), inverse(F::colourAt(20, 10)));
        QCOMPARE(f.at(30, 20), inverse(F::colourAt(30, 20)));
        QCOMPARE(f.at(20, 20), F::colourAt(20, 20));
        QCOMPARE(f.sel.fields().BackBuf->image(), F::picture()->image());
    }

    void pointsAreClamped_data() {
        QTest::addColumn<QPoint>("given");
        QTest::addColumn<QPoint>("kept");
        QTest::newRow("x below 0") << QPoint(-5, 10) << QPoint(0, 10);
        QTest::newRow("x beyond width") << QPoint(F::Width + 3, 10) << QPoint(F::Width - 1, 10);
        QTest::newRow("x at width") << QPoint(F::Width, 10) << QPoint(F::Width, 10);
        QTest::newRow("y below 0") << QPoint(10, -5) << QPoint(10, 0);
        QTest::newRow("y beyond height") << QPoint(10, F::Height + 3) << QPoint(10, F::Height - 1);
        QTest::newRow("y at height") << QPoint(10, F::Height) << QPoint(10, F::Height);
    }

    void pointsAreClamped() {
        QFETCH(QPoint, given);
        QFETCH(QPoint, kept);
        F f;
        f.open();
        f.sel.addPoint(given.x(), given.y(), true);
        f.sel.addPoint(20, 20, false);
        f.sel.addPoint(given.x(), given.y(), false);
        QCOMPARE(f.sel.fields().Points.front(), kept);
        QCOMPARE(f.sel.fields().Points.back(), kept);
    }

    void collinearTraceSelectsNothing() {
        F f;
        f.trace({{5, 5}, {20, 20}, {40, 40}, {12, 12}});
        QCOMPARE(f.sel.WorkMode(), SelMode::Selected);
        QVERIFY(f.sel.fields().Rgn->isEmpty());
        QVERIFY(!isInClipAnywhere(f.sel));
    }

    void rectangleFromAnyCorner_data() {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("opposite");
        QTest::newRow("top left") << QPoint(10, 8) << QPoint(40, 30);
        QTest::newRow("top right") << QPoint(40, 8) << QPoint(10, 30);
        QTest::newRow("bottom right") << QPoint(40, 30) << QPoint(10, 8);
        QTest::newRow("bottom left") << QPoint(10, 30) << QPoint(40, 8);
    }

    void rectangleFromAnyCorner() {
        QFETCH(QPoint, start);
        QFETCH(QPoint, opposite);
        F f;
        f.trace(rectangle(start, opposite));
        QCOMPARE(f.sel.fields().RgnBox, (raster::Box{10, 8, 40, 30}));
        QCOMPARE(QPoint(f.sel.Left(), f.sel.Top()), QPoint(10, 8));
        QVERIFY(f.sel.isInClip(10, 8) && f.sel.isInClip(39, 29) && !f.sel.isInClip(40, 29));
    }

    void outlineOffThePictureSelectsTheVisiblePart() {
        F f;
        f.trace(box);
        f.drag({15, 15}, {-5, 15}, false);
        QCOMPARE(f.sel.fields().RgnBox, (raster::Box{-10, 10, 10, 26}));
        QCOMPARE(f.sel.fields().VisBox, (raster::Box{0, 10, 10, 26}));

        F back;
        back.trace(box);
        back.drag({15, 15}, {-5, 15}, false);
        back.drag({0, 15}, {20, 15}, false);
        QCOMPARE(back.sel.fields().VisBox, (raster::Box{10, 10, 30, 26}));
        QCOMPARE(back.sel.fields().Points.front(), QPoint(10, 10));

        // Lifted away, the part that lay off the picture lets the picture show.
        f.drag({0, 15}, {30, 15}, true);
        f.sel.Display();
        QCOMPARE(f.at(25, 18), F::colourAt(25, 18));
        QCOMPARE(f.at(35, 18), F::colourAt(5, 18));
        QCOMPARE(f.at(5, 18), 0u);
        back.drag({12, 12}, {42, 12}, true);
        QCOMPARE(back.at(45, 18), F::colourAt(15, 18));
    }

    void transparencyLeavesBackColourPixels_data() {
        QTest::addColumn<bool>("trans");
        QTest::newRow("opaque") << false;
        QTest::newRow("transparent") << true;
    }

    void transparencyLeavesBackColourPixels() {
        QFETCH(bool, trans);
        const Colour red = 0x0000FF;
        F f;
        f.target->fillRect(QRect(15, 15, 4, 4), red);
        f.sel.BackColor(red);
        f.trace(box);
        f.sel.Trans(trans);
        f.drag({12, 12}, {42, 12}, true);
        QCOMPARE(f.at(12, 20), red);
        QCOMPARE(f.at(16, 16), red);
        QCOMPARE(f.at(46, 16), trans ? F::colourAt(46, 16) : red);
        QCOMPARE(f.at(42, 20), F::colourAt(12, 20));
    }

    void secondUndoRedoes() {
        F f;
        f.trace(box);
        QCOMPARE(f.sel.UnDo(), SelMode::Opened);
        QVERIFY(showsPicture(f));
        QCOMPARE(f.sel.UnDo(), SelMode::Selected);
        f.sel.Display();
        QVERIFY(!showsPicture(f));
        QCOMPARE(f.at(20, 20), F::colourAt(20, 20));

        f.drag({12, 12}, {42, 14}, true);
        QCOMPARE(f.sel.UnDo(), SelMode::Selected);
        QCOMPARE(QPoint(f.sel.Left(), f.sel.Top()), QPoint(10, 10));
        f.sel.Display();
        QCOMPARE(f.at(20, 20), F::colourAt(20, 20));
        QCOMPARE(f.sel.UnDo(), SelMode::Lifted);
        QCOMPARE(QPoint(f.sel.Left(), f.sel.Top()), QPoint(40, 12));
    }

    void undoAfterPasteLiftsThePixelsAgain() {
        F f;
        f.trace(box);
        f.drag({12, 12}, {42, 12}, true);
        f.sel.Paste();
        QCOMPARE(f.sel.WorkMode(), SelMode::Pasted);
        QVERIFY(!isInClipAnywhere(f.sel));
        QCOMPARE(f.at(45, 20), F::colourAt(15, 20));
        QCOMPARE(f.sel.UnDo(), SelMode::Lifted);
        QVERIFY(f.sel.isInClip(45, 20) && !f.sel.isInClip(15, 20));
        f.drag({45, 20}, {45, 30}, true);
        QCOMPARE(f.at(45, 30), F::colourAt(15, 20));
        QCOMPARE(f.at(45, 14), F::colourAt(45, 14));
    }

    void antsMarchOnlyWhileSelected_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("marches");
        QTest::newRow("opened") << 1 << false;
        QTest::newRow("selected") << 3 << true;
        QTest::newRow("lifted") << 4 << true;
        QTest::newRow("pasted") << 5 << false;
    }

    void antsMarchOnlyWhileSelected() {
        QFETCH(int, mode);
        QFETCH(bool, marches);
        F f;
        f.trace(box);
        if (mode == 1) f.sel.UnDo();
        if (mode == 4) f.drag({12, 12}, {14, 12}, true);
        if (mode == 5) f.sel.Paste();
        QCOMPARE(f.sel.WorkMode(), SelMode(mode));
        const qint16 start = f.sel.fields().AntPhase;
        for (int i = 1; i <= 9; ++i) {
            f.sel.Display();
            QCOMPARE(f.sel.fields().AntPhase, marches ? (start + i) % 8 : start);
        }
    }

    void dashesMarchAlongTheOutline_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("shift");
        QTest::newRow("selected") << 3 << QPoint(0, 0);
        QTest::newRow("lifted and moved") << 4 << QPoint(24, 18);
    }

    void dashesMarchAlongTheOutline() {
        QFETCH(int, mode);
        QFETCH(QPoint, shift);
        F f;
        f.trace(box);
        if (mode == 4) f.drag({12, 12}, QPoint(12, 12) + shift, true);
        QCOMPARE(f.sel.WorkMode(), SelMode(mode));
        const QRect outline = QRect(QPoint(10, 10), QPoint(30, 26)).translated(shift);
        f.sel.Display();
        if (mode == 3) QVERIFY(showsOutlineOnPicture(f, outline));
        const QImage first = f.target->image().copy();
        QImage previous = first;
        for (int frame = 1; frame <= 8; ++frame) {
            f.sel.Display();
            const QImage& now = f.target->image();
            int changed = 0;
            for (int y = 0; y < F::Height; ++y)
                for (int x = 0; x < F::Width; ++x) {
                    const Colour c = raster::fromRgb(now.pixel(x, y));
                    if (onOutline(outline, {x, y})) QVERIFY(c == 0 || c == 0xFFFFFF);
                    if (now.pixel(x, y) == previous.pixel(x, y)) continue;
                    QVERIFY2(onOutline(outline, {x, y}),
                             qPrintable(QString("%1,%2").arg(x).arg(y)));
                    ++changed;
                }
            QVERIFY(changed > 0);
            previous = now.copy();
        }
        QCOMPARE(previous, first);
    }

    void pasteWhereThePixelsCameFromGivesTheSnapshot_data() {
        QTest::addColumn<bool>("lift");
        QTest::addColumn<bool>("trans");
        QTest::newRow("selected") << false << false;
        QTest::newRow("lifted and put back") << true << false;
        QTest::newRow("transparent, lifted and put back") << true << true;
    }

    void pasteWhereThePixelsCameFromGivesTheSnapshot() {
        QFETCH(bool, lift);
        QFETCH(bool, trans);
        F f;
        f.target->fillRect(QRect(14, 14, 5, 5), 0x0000FF);
        const QImage snapshot = f.target->image().copy();
        f.sel.BackColor(0x0000FF);
        f.trace(box);
        f.sel.Trans(trans);
        f.sel.Display();
        if (lift) {
            f.drag({12, 12}, {40, 20}, true);
            f.drag({40, 20}, {12, 12}, true);
            QCOMPARE(f.sel.WorkMode(), SelMode::Lifted);
        }
        f.sel.Paste();
        QCOMPARE(f.sel.WorkMode(), SelMode::Pasted);
        QCOMPARE(f.target->image(), snapshot);
    }

    void undoPutsADraggedOutlineBack() {
        F f;
        f.trace(box);
        f.drag({15, 15}, {35, 20}, false);
        f.sel.Display();
        QVERIFY(showsOutlineOnPicture(f, QRect(QPoint(30, 15), QPoint(50, 31))));
        QCOMPARE(f.sel.UnDo(), SelMode::Selected);
        QCOMPARE(QPoint(f.sel.Left(), f.sel.Top()), QPoint(10, 10));
        QVERIFY(f.sel.isInClip(10, 10) && f.sel.isInClip(29, 25) && !f.sel.isInClip(35, 28));
        f.sel.Display();
        QVERIFY(showsOutlineOnPicture(f, QRect(QPoint(10, 10), QPoint(30, 26))));
    }

    // The editor repaints only what takeWritten() names, so a pixel changed
    // outside it would stay stale on the screen.
    void everyChangedPixelIsReported() {
        F f(Composition::ChangedArea, 160, 120);
        const Colour green = 0x00FF00;
        int writingSteps = 0;
        auto step = [&](const std::function<void()>& op) {
            const QImage before = f.target->image().copy();
            op();
            const QRegion written = f.sel.takeWritten();
            bool wrote = false;
            for (int y = 0; y < f.h; ++y)
                for (int x = 0; x < f.w; ++x) {
                    if (f.target->image().pixel(x, y) == before.pixel(x, y)) continue;
                    if (!written.contains(QPoint(x, y))) {
                        qWarning("%d,%d changed unreported", x, y);
                        return false;
                    }
                    wrote = true;
                }
            writingSteps += wrote;
            return true;
        };
        auto band = [&](const QRect& r) {
            f.target->fillRect(r, green);
            f.sel.TargetChanged(r);
        };
        auto& sel = f.sel;

        f.open();
        band(QRect(20, 20, 100, 1));
        const QList<QPoint> loop{{30, 20}, {130, 25}, {140, 100}, {60, 110}, {20, 60}, {30, 20}};
        for (qsizetype i = 0; i < loop.size(); ++i)
            QVERIFY(step([&] { sel.addPoint(loop[i].x(), loop[i].y(), i == 0); }));
        QVERIFY(step([&] { sel.endSel(); }));
        for (int i = 0; i < 9; ++i)
            QVERIFY(step([&] { sel.Display(); }));
        band(QRect(10, 50, 140, 2));
        QVERIFY(step([&] { sel.Display(); }));
        QVERIFY(step([&] { sel.MoveStart(60, 60); }));
        for (QPoint p : {QPoint(50, 55), QPoint(10, 40), QPoint(70, 62)})
            QVERIFY(step([&] { sel.MoveRgnTo(p.x(), p.y()); }));
        QVERIFY(step([&] { sel.EndRgnMove(); }));
        QVERIFY(step([&] { sel.Display(); }));
        QVERIFY(step([&] { sel.MoveStart(70, 62); }));
        for (QPoint p : {QPoint(72, 62), QPoint(100, 80), QPoint(150, 118)})
            QVERIFY(step([&] { sel.MoveClipTo(p.x(), p.y()); }));
        QVERIFY(step([&] { sel.EndClipMove(false, 0, 0, SelMode::Idle); }));
        for (int i = 0; i < 9; ++i)
            QVERIFY(step([&] { sel.Display(); }));
        for (const auto& op : std::initializer_list<std::function<void()>>{
                 [&] { sel.UnDo(); }, [&] { sel.Display(); }, [&] { sel.UnDo(); },
                 [&] { sel.Display(); }, [&] { sel.Paste(); }, [&] { sel.UnDo(); },
                 [&] { sel.BackColor(green); }, [&] { sel.Display(); }, [&] { sel.Trans(true); },
                 [&] { sel.Display(); }, [&] { sel.Paste(); }})
            QVERIFY(step(op));
        QVERIFY(writingSteps >= 35);
    }

    void newBackColourShowsAtTheNextFrame() {
        F f;
        f.trace(box);
        f.drag({12, 12}, {42, 12}, true);
        QCOMPARE(f.at(15, 20), 0u);
        f.sel.BackColor(0x00FFFF);
        QCOMPARE(f.at(15, 20), 0u);
        f.sel.Display();
        QCOMPARE(f.at(15, 20), 0x00FFFFu);
        QCOMPARE(f.at(45, 20), F::colourAt(15, 20));
    }

    void clicksAndUndoBeforeAnyTraceKeepThePicture() {
        F f;
        f.trace(box.mid(0, 1));
        f.open();
        QVERIFY(showsPicture(f));
        f.sel.UnDo();
        f.sel.UnDo();
        f.sel.Display();
        QVERIFY(showsPicture(f));
    }

    void repaintBetweenFramesChangesNothing() {
        F f;
        f.trace(box);
        f.target->fillRect(QRect(0, 0, 5, 5), 0x123456);
        f.sel.PaintPic();
        QCOMPARE(f.at(2, 2), 0x123456u);
    }
};

QTEST_APPLESS_MAIN(TestSelection)
#include "tst_selection.moc"
