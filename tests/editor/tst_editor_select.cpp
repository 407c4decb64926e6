// The editor's select tool, its colour and width buttons, and the one
// history that undo and redo walk, driven by keys and the mouse.
#include "editorrig.h"

#include <QLabel>
#include <QToolButton>

namespace {

constexpr quint32 White = 0xFFFFFF;

// Within `tolerance` in each channel: antialiased edges aside, a stroke's
// middle is its colour.
bool near(QRgb a, const QColor& b, int tolerance = 8) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

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

class TstEditorSelect : public QObject {
    Q_OBJECT
  private slots:
    void vPicksMovesResizesRecoloursAndDeletesAShapeStepByStep();
    void colourAndWidthButtonsSetTheDrawingAndFollowTheKeys();
    void oneHistoryWalksPixelDragsAndDrawingsAlike();
    void theHistoryKeepsItsDepthAndItsPixelsWithinBounds();
};

void TstEditorSelect::vPicksMovesResizesRecoloursAndDeletesAShapeStepByStep() {
    EditorRig r;
    frmphotoshop& e = *r.editor;
    const QColor blue = frmphotoshop::ColourKeys[2].second;
    const QColor green = frmphotoshop::ColourKeys[1].second;
    const auto points = [&] { return e.drawings().shapes().at(0).points; };
    const auto copied = [&](int x, int y) { return e.annotatedPicture().pixel(x, y); };
    const auto bare = [&](int x, int y) {
        return (copied(x, y) & 0xFFFFFFu) == (r.picture.pixel(x, y) & 0xFFFFFFu);
    };
    r.key(Qt::Key_B);
    r.tool("ToolBox");
    r.drag({40, 40}, {{60, 50}, {80, 70}});
    // A line above it, where the box's grips are not.
    r.tool("ToolLine");
    r.drag({150, 140}, {{200, 160}});
    QCOMPARE(e.drawings().shapes().size(), std::size_t(2));

    r.key(Qt::Key_V);
    QCOMPARE(e.ToolMode, qint16(frmphotoshop::Selecting));
    QVERIFY(e.button("ToolPointer")->isChecked());
    QVERIFY(e.button("ToolPointer")->toolTip().contains(QLatin1Char('V')));
    r.press({40, 55});
    r.release({40, 55});
    QCOMPARE(e.held().held(), std::optional<std::size_t>(0));
    // Outline and grips on the screen, never in a copy.
    QVERIFY(r.shown().pixel(37, 37) != r.picture.pixel(37, 37));
    QVERIFY(bare(37, 37));

    // Moved by dragging it, resized by its bottom-right grip.
    r.drag({40, 55}, {{50, 65}, {60, 75}});
    QCOMPARE(points(), (std::vector<QPointF>{{60, 60}, {100, 90}}));
    QVERIFY(near(copied(100, 75), blue));
    QVERIFY(bare(80, 55));
    r.drag({100, 90}, {{110, 100}, {120, 110}});
    QCOMPARE(points(), (std::vector<QPointF>{{60, 60}, {120, 110}}));
    QVERIFY(near(copied(120, 85), blue));
    QVERIFY(bare(100, 75));

    // G recolours it and keeps the tool; Delete removes it.
    r.key(Qt::Key_G);
    QCOMPARE(e.ToolMode, qint16(frmphotoshop::Selecting));
    QVERIFY(near(copied(120, 85), green));
    r.key(Qt::Key_Delete);
    QCOMPARE(e.drawings().shapes().size(), std::size_t(1));
    QVERIFY(bare(120, 85));
    QVERIFY(!e.held().held());

    // Each was one step.
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(near(copied(120, 85), green));
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(near(copied(120, 85), blue));
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(points(), (std::vector<QPointF>{{60, 60}, {100, 90}}));
    QVERIFY(near(copied(100, 75), blue));
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(points(), (std::vector<QPointF>{{40, 40}, {80, 70}}));
    QVERIFY(near(copied(80, 55), blue));
    QVERIFY(bare(100, 75));
    r.key(Qt::Key_Y, Qt::ControlModifier);
    r.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(points(), (std::vector<QPointF>{{60, 60}, {120, 110}}));
    r.key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(near(copied(120, 85), green));
    r.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.drawings().shapes().size(), std::size_t(1));

    // Esc and a press beside every shape let go; Backspace removes too.
    r.press({175, 150});
    r.release({175, 150});
    QCOMPARE(e.held().held(), std::optional<std::size_t>(0));
    r.key(Qt::Key_Escape);
    QVERIFY(!e.held().held());
    QVERIFY(!e.isUnloaded());
    // A double click takes it again and leaves the editor open.
    r.press({175, 150});
    r.release({175, 150});
    QTest::mouseDClick(r.area(), Qt::LeftButton, Qt::NoModifier, QPoint(175, 150));
    QVERIFY(!e.isUnloaded());
    QCOMPARE(e.held().held(), std::optional<std::size_t>(0));
    r.key(Qt::Key_Escape);
    r.press({175, 150});
    r.release({175, 150});
    r.press({10, 10});
    r.release({10, 10});
    QVERIFY(!e.held().held());
    // Shift and a colour key take the highlighter and leave the held shape
    // as it was.
    r.press({175, 150});
    r.release({175, 150});
    r.key(Qt::Key_Y, Qt::ShiftModifier);
    QCOMPARE(e.DrawTool, drawing::Kind::Highlighter);
    QVERIFY(!e.held().held());
    QCOMPARE(e.drawings().shapes().at(0).colour, blue);
    r.key(Qt::Key_V);
    r.press({175, 150});
    r.release({175, 150});
    r.key(Qt::Key_Backspace);
    QVERIFY(e.drawings().isEmpty());
    // Without a shape held, a colour key takes the pen as ever.
    r.key(Qt::Key_K);
    QCOMPARE(e.ToolMode, qint16(frmphotoshop::Drawing));
    QCOMPARE(e.DrawColour, frmphotoshop::ColourKeys[7].second);
}

void TstEditorSelect::colourAndWidthButtonsSetTheDrawingAndFollowTheKeys() {
    EditorRig r;
    frmphotoshop& e = *r.editor;
    const auto face = [&] {
        return QColor(e.ColourButton->icon().pixmap(16).toImage().pixel(8, 8));
    };
    QMenu* colours = e.ColourButton->menu();
    QVERIFY(colours);
    QStringList names;
    for (QAction* a : colours->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(names, QStringList({"红（R）", "绿（G）", "蓝（B）", "橙（O）", "黄（Y）", "粉（P）",
                                 "白（W）", "黑（K）", "-", "取色的颜色"}));
    auto* button = qobject_cast<QToolButton*>(e.Toolbar1->widgetForAction(e.ColourButton));
    QVERIFY(button);
    QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
    QCOMPARE(face(), frmphotoshop::ColourKeys[0].second);

    colours->actions().at(4)->trigger();
    QCOMPARE(e.DrawColour, frmphotoshop::ColourKeys[4].second);
    QCOMPARE(face(), e.DrawColour);
    r.key(Qt::Key_P);
    QCOMPARE(face(), frmphotoshop::ColourKeys[5].second);
    // The eyedropper's colour.
    r.tool("ToolSelect");
    r.press({200, 20});
    r.release({200, 20});
    r.key(Qt::Key_B);
    colours->actions().last()->trigger();
    QCOMPARE(e.DrawColour.rgb() & 0xFFFFFFu, r.picture.pixel(200, 20) & 0xFFFFFFu);
    QCOMPARE(face().rgb() & 0xFFFFFFu, r.picture.pixel(200, 20) & 0xFFFFFFu);

    // The width: its button shows it, its menu ticks it.
    QMenu* widths = e.WidthButton->menu();
    QVERIFY(widths);
    const auto ticked = [&] {
        QStringList t;
        for (QAction* a : widths->actions())
            if (a->isChecked()) t << a->text();
        return t;
    };
    QCOMPARE(widths->actions().size(), 6);
    QCOMPARE(e.WidthButton->text(), QStringLiteral("粗细：4"));
    QCOMPARE(ticked(), QStringList({"4 像素"}));
    widths->actions().at(4)->trigger();
    QCOMPARE(e.DrawWidth, 16.0);
    QCOMPARE(e.WidthButton->text(), QStringLiteral("粗细：16"));
    QCOMPARE(ticked(), QStringList({"16 像素"}));
    r.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(e.WidthButton->text(), QStringLiteral("粗细：17"));
    QCOMPARE(ticked(), QStringList());
    r.key(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(ticked(), QStringList({"16 像素"}));
    r.drag({20, 100}, {{100, 100}});
    QCOMPARE(e.drawings().shapes().back().width, 16.0);

    // With a shape held, a colour from the menu recolours it, one step.
    r.key(Qt::Key_V);
    r.press({60, 100});
    r.release({60, 100});
    QVERIFY(e.held().held());
    colours->actions().at(1)->trigger();
    QCOMPARE(e.drawings().shapes().back().colour, frmphotoshop::ColourKeys[1].second);
    r.tool("Undo");
    QCOMPARE(e.drawings().shapes().back().colour.rgb() & 0xFFFFFFu,
             r.picture.pixel(200, 20) & 0xFFFFFFu);
}

// Draw, drag pixels, draw: undo and redo walk all three in order, through
// the selection while it is still there, and by the pixels once another
// outline has dropped it.
void TstEditorSelect::oneHistoryWalksPixelDragsAndDrawingsAlike() {
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
void TstEditorSelect::theHistoryKeepsItsDepthAndItsPixelsWithinBounds() {
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

QTEST_MAIN(TstEditorSelect)
#include "tst_editor_select.moc"
