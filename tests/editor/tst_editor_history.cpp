// One history for every edit of the editor: the drawings' steps and the
// selected pixels' drags and back colours, undone and redone in order.
#include "editorrig.h"

#include <QLabel>

namespace {

constexpr quint32 White = 0xFFFFFF;

// The pixels that differ between two pictures, leaving out a band of two
// pixels along the edges of each of `outlines`, where the marching dashes
// and the lifted pixels' white edge are.
int differing(const QImage& a, const QImage& b, const QList<QRect>& outlines = {}) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QPoint p(x, y);
            bool onOutline = false;
            for (const QRect& o : outlines)
                onOutline = onOutline || (o.adjusted(-2, -2, 2, 2).contains(p) &&
                                          !o.adjusted(3, 3, -3, -3).contains(p));
            if (!onOutline && (a.pixel(p) & 0xFFFFFFu) != (b.pixel(p) & 0xFFFFFFu)) ++n;
        }
    return n;
}

} // namespace

class TstEditorHistory : public QObject {
    Q_OBJECT
  private slots:
    void oneHistoryWalksPixelDragsAndDrawingsAlike();
    void theHistoryKeepsItsDepthAndItsPixelsWithinBounds();
};

// Draw, drag pixels, draw: undo and redo walk all three in order, through
// the selection while it is still there, and by the pixels once another
// outline has dropped it.
void TstEditorHistory::oneHistoryWalksPixelDragsAndDrawingsAlike() {
    EditorRig r;
    frmphotoshop& e = *r.editor;
    const auto count = [&] { return e.drawings().shapes().size(); };
    const auto copied = [&] { return e.annotatedPicture(); };
    const QRect origin(20, 30, 61, 41), dropped(120, 80, 61, 41);
    const QImage loaded = r.picture.convertToFormat(QImage::Format_RGB32);

    r.key(Qt::Key_R);
    r.drag({10, 150}, {{60, 160}});
    const QImage drawn = copied();
    r.liftAndMove();
    r.tick();
    const QImage moved = copied();
    r.key(Qt::Key_B);
    r.drag({150, 20}, {{200, 40}});
    r.tick();
    const QImage all = copied();
    QCOMPARE(count(), std::size_t(2));

    r.tool("Undo");
    QCOMPARE(count(), std::size_t(1));
    QCOMPARE(differing(copied(), moved, {origin, dropped}), 0);
    r.tool("Undo");
    r.tick();
    QCOMPARE(r.sel().WorkMode(), SelMode::Selected);
    QCOMPARE(r.sel().Left(), 20);
    QCOMPARE(differing(copied(), drawn, {origin}), 0);
    r.tool("Undo");
    QCOMPARE(count(), std::size_t(0));
    QCOMPARE(differing(copied(), loaded, {origin}), 0);
    r.tool("Redo");
    r.tool("Redo");
    r.tick();
    QCOMPARE(r.sel().WorkMode(), SelMode::Lifted);
    QCOMPARE(r.sel().Left(), 120);
    QCOMPARE(differing(copied(), moved, {origin, dropped}), 0);
    r.tool("Redo");
    QCOMPARE(count(), std::size_t(2));
    QCOMPARE(differing(copied(), all, {origin, dropped}), 0);

    // A click elsewhere drops the pixels for good; the history still walks
    // back over them, pixel for pixel.
    r.tool("ToolRect");
    r.press({10, 100});
    r.release({10, 100});
    r.tick();
    const QImage settled = copied();
    QCOMPARE(differing(settled, all, {origin, dropped}), 0);
    for (int i = 0; i < 3; ++i)
        r.tool("Undo");
    QCOMPARE(count(), std::size_t(0));
    QCOMPARE(differing(copied(), loaded), 0);
    for (int i = 0; i < 3; ++i)
        r.tool("Redo");
    QCOMPARE(differing(copied(), settled), 0);

    // More than a hundred steps back.
    r.key(Qt::Key_K);
    for (int i = 0; i < 110; ++i) {
        r.press({5 + 2 * (i % 100), 170 - i / 100 * 4});
        r.release({5 + 2 * (i % 100), 170 - i / 100 * 4});
    }
    QCOMPARE(count(), std::size_t(112));
    for (int i = 0; i < 113; ++i)
        r.tool("Undo");
    QCOMPARE(count(), std::size_t(0));
    QCOMPARE(differing(copied(), loaded), 0);

    // A back colour picked while the pixels are lifted fills their old
    // place: a step too, the swatch going back with it.
    EditorRig b;
    b.liftAndMove();
    b.tool("ToolSelect");
    b.press({200, 20}, Qt::RightButton);
    b.release({200, 20}, Qt::RightButton);
    b.tick();
    QCOMPARE(b.at(30, 40), b.loaded(200, 20));
    b.tool("Undo");
    b.tick();
    QCOMPARE(b.at(30, 40), White);
    QCOMPARE(b.editor->Label1[0]->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(b.sel().WorkMode(), SelMode::Lifted);
    b.tool("Undo");
    b.tick();
    QCOMPARE(b.at(30, 40), b.loaded(30, 40));
    b.tool("Redo");
    b.tool("Redo");
    b.tick();
    QCOMPARE(b.at(30, 40), b.loaded(200, 20));
    QCOMPARE(b.at(130, 90), b.loaded(30, 40));
}

// Without the editor: two hundred steps of any kind, and pixel steps only
// as long as their pixels fit the budget, the newest always.
void TstEditorHistory::theHistoryKeepsItsDepthAndItsPixelsWithinBounds() {
    const auto pixelStep = [](int side) {
        QImage pixels(side, side, QImage::Format_RGB32);
        pixels.fill(Qt::red);
        return PixelStep{{}, {}, pixels.rect(), pixels, pixels};
    };
    const qsizetype one = pixelStep(100).BeforePixels.sizeInBytes() * 2;
    EditHistory h(5 * one);
    for (int i = 0; i < 250; ++i)
        h.drawn();
    QCOMPARE(h.undoDepth(), EditHistory::Depth);
    for (int i = 0; i < 7; ++i)
        h.pixels(pixelStep(100));
    QCOMPARE(h.pixelBytes(), 5 * one);
    QCOMPARE(h.undoDepth(), std::size_t(5));
    for (int i = 0; i < 5; ++i) {
        const auto turn = h.undo();
        QVERIFY(turn && !turn->forward && turn->step->kind == EditHistory::Kind::Pixels);
    }
    // At the start, an undo makes the pixel drag taken back last again.
    const auto again = h.undo();
    QVERIFY(again && again->forward);
    QCOMPARE(h.undoDepth(), std::size_t(1));
    // A new edit drops what could be redone, and its pixels.
    h.drawn();
    QCOMPARE(h.pixelBytes(), one);
    QVERIFY(!h.canRedo());
    // A step larger than the budget is still kept, alone.
    h.pixels(pixelStep(400));
    QCOMPARE(h.undoDepth(), std::size_t(1));
}

QTEST_MAIN(TstEditorHistory)
#include "tst_editor_history.moc"
