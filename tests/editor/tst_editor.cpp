// The annotation editor driven by mouse events on a known picture.
#include "editorrig.h"

#include "shared/tip/Frmzdydhc.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

namespace {

constexpr quint32 White = 0xFFFFFF;

bool sameCursor(const QCursor& a, const QCursor& b) {
    return a.hotSpot() == b.hotSpot() && a.pixmap().toImage() == b.pixmap().toImage();
}

void wheel(EditorRig& r, QPointF at, int delta, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWheelEvent e(at, r.area()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, m,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(r.area(), &e);
}

void mouse(EditorRig& r, QEvent::Type type, QPointF at, Qt::MouseButton button,
           Qt::MouseButtons held) {
    QMouseEvent e(type, at, r.area()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(r.area(), &e);
}

// Whether the screen shows at `screen` the loaded picture's pixel under it,
// or one beside it: where a zoomed pixel's edge falls is the painter's.
bool showsPictureUnder(const EditorRig& r, const QImage& shown, QPoint screen) {
    const QPoint p = r.area()->toPicture(QPointF(screen));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if ((shown.pixel(screen) & 0xFFFFFFu) ==
                (r.picture.pixel(p + QPoint(dx, dy)) & 0xFFFFFFu))
                return true;
    return false;
}

bool showsLoadedPicture(const EditorRig& r) {
    for (int y = 0; y < EditorRig::H; ++y)
        for (int x = 0; x < EditorRig::W; ++x)
            if (r.at(x, y) != r.loaded(x, y)) return false;
    return true;
}

} // namespace

class TstEditor : public QObject {
    Q_OBJECT
  private slots:
    void loadsWithItsControlsAndSettings();
    void rectangleDragSelectsAndErasesItsBand();
    void rectangleWithoutWidthOrHeightLeavesThePictureAlone_data();
    void rectangleWithoutWidthOrHeightLeavesThePictureAlone();
    void freeHandTraceSelectsAndSetsTheCursor();
    void dragInsideMovesOutlineOrPixels_data();
    void dragInsideMovesOutlineOrPixels();
    void clickOutsideEndsTheSelectionAndKeepsDroppedPixels();
    void undoTwiceReturnsToTheStateBeforeTheFirst();
    void colourPickLeftAndRight();
    void aRepaintShowsTheEdits();
    void toolbarComesBackOnTheStripAndGoesOnTheFirstMove();
    void doubleClickClosesInEveryTool_data();
    void doubleClickClosesInEveryTool();
    void closingFromThePopupEndsThePressQuietly_data();
    void closingFromThePopupEndsThePressQuietly();
    void menuStartsCompanionsAndShowsOneTipDialog();
    void keysAndModifiersPickTheShapeDrawnOverThePicture_data();
    void keysAndModifiersPickTheShapeDrawnOverThePicture();
    void drawingsUndoRedoAndClearWhileKeysAndClicksKeepTheEditor();
    void theHotkeyUndoesOnlyInTheActiveEditor();
    void copyAndSaveTakeTheDrawnPictureAtItsDevicePixels();
    void nPlacesTheNextStepNumberAtEachClick();
    void xPixelatesTheDraggedBoxOnScreenAndInTheCopy();
    void tTypesTextAtThePointerWithKeysAndAnInputMethod();
    void theWheelZoomsAndDrawingsStayOnTheirPicturePoints();
    void middleButtonAndArrowsPanTheZoomedPictureAndZeroGoesBack();
    void boardsHaveDrawingsOfTheirOwnAndCopyWhatIsShown();
    void busyDrawingsFollowTheWheelAndShowMovedPixels();
};

void TstEditor::loadsWithItsControlsAndSettings() {
    EditorRig r;
    frmphotoshop& e = *r.editor;
    QCOMPARE(e.ToolMode, 1);
    QCOMPARE(e.selection()->WorkMode(), SelMode::Idle);
    QCOMPARE(e.selection()->fields().BackColor, White);
    QVERIFY(!e.selection()->Trans());
    QCOMPARE(e.Picture1->geometry(), QRect(0, 0, EditorRig::W, EditorRig::H));
    QCOMPARE(e.Label3->geometry(), QRect(0, 0, EditorRig::W, 17));
    QCOMPARE(e.Toolbar1->y(), 0);
    QVERIFY(qAbs(e.Toolbar1->x() - (EditorRig::W - e.Toolbar1->width()) / 2) <= 1);
    QVERIFY(sameCursor(e.Picture1->cursor(), e.Image1[0]));
    QCOMPARE(e.Timer1->interval(), 200);
    QVERIFY(e.Timer1->isActive());
    QVERIFY(!e.Frame1->isVisibleTo(&e));
    QCOMPARE(e.Label1[0]->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(e.Check1->text(), QStringLiteral("透明"));
    QVERIFY(!e.Check1->isChecked());

    QStringList tips;
    for (QAction* a : e.Toolbar1->actions())
        tips << (a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    // The drawing tools and the select tool follow the four; redo, the
    // colour and the width follow 撤消.
    QCOMPARE(tips, QStringList({"矩型",
                                "任意型",
                                "移动",
                                "取色",
                                "画笔（R G B O Y P W K 选颜色）",
                                "荧光笔（Shift+颜色键）",
                                "直线（画笔时 Shift+拖动）",
                                "箭头（画笔时 Ctrl+Shift+拖动）",
                                "方框（画笔时 Ctrl+拖动）",
                                "椭圆（画笔时按住 Tab 拖动）",
                                "步骤编号（N）",
                                "马赛克（X）",
                                "文字（T）",
                                "选择（V）",
                                "-",
                                "撤消",
                                "重做（Ctrl+Y）",
                                "颜色",
                                "粗细：4",
                                "离开"}));
    QVERIFY(e.button("ToolRect")->isChecked());
    r.tool("ToolMove");
    QVERIFY(!e.button("ToolRect")->isChecked());
    QCOMPARE(e.ToolMode, 5);
    QVERIFY(sameCursor(e.Picture1->cursor(), e.Image1[2]));
    r.tool("ToolSelect");
    QCOMPARE(e.ToolMode, 7);
    r.tool("ToolAny");
    QCOMPARE(e.ToolMode, 3);

    QStringList captions;
    for (QAction* a : e.mnkz->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, QStringList({"结束本次放大", "Zonara", "Snarell", "-", "关于...", "-",
                                    "复制图片（Ctrl+C）", "保存图片（Ctrl+S）"}));
}

void TstEditor::rectangleDragSelectsAndErasesItsBand() {
    EditorRig r;
    r.press({20, 30});
    r.move({50, 40});
    r.move({80, 60});
    // The band shows the inverse of the picture, the start corner aside.
    QCOMPARE(r.at(50, 30), ~r.loaded(50, 30) & White);
    QCOMPARE(r.at(80, 45), ~r.loaded(80, 45) & White);
    QCOMPARE(r.at(20, 30), r.loaded(20, 30));
    // The previous band is gone.
    QCOMPARE(r.at(50, 35), r.loaded(50, 35));
    r.release({80, 60});

    QCOMPARE(r.sel().WorkMode(), SelMode::Selected);
    QVERIFY(r.sel().isInClip(50, 45));
    QVERIFY(!r.sel().isInClip(90, 45));
    r.tick();
    QCOMPARE(r.editor->Text1->text(), QStringLiteral("3"));
    // Outline pixels are black or white, the inside is the picture.
    for (int x = 21; x < 80; ++x) {
        QVERIFY(r.at(x, 30) == 0 || r.at(x, 30) == White);
        QCOMPARE(r.at(x, 45), r.loaded(x, 45));
    }
}

void TstEditor::rectangleWithoutWidthOrHeightLeavesThePictureAlone_data() {
    QTest::addColumn<QPoint>("end");
    QTest::newRow("start row") << QPoint(90, 30);
    QTest::newRow("start column") << QPoint(20, 70);
    QTest::newRow("start point") << QPoint(20, 30);
}

void TstEditor::rectangleWithoutWidthOrHeightLeavesThePictureAlone() {
    QFETCH(QPoint, end);
    EditorRig r;
    r.drag({20, 30}, {{60, 50}, {70, 60}, end});
    QCOMPARE(r.sel().WorkMode(), SelMode::Opened);
    r.tick();
    QVERIFY(showsLoadedPicture(r));
    // The next selection's clean background has no band in it either.
    r.selectRect({100, 100}, {140, 130});
    r.tool("ToolMove");
    r.drag({120, 115}, {{200, 150}});
    r.tool("ToolRect");
    r.press({10, 170});
    r.release({10, 170});
    QCOMPARE(r.at(60, 30), r.loaded(60, 30));
    QCOMPARE(r.at(20, 50), r.loaded(20, 50));
}

void TstEditor::freeHandTraceSelectsAndSetsTheCursor() {
    EditorRig r;
    r.tool("ToolAny");
    QList<QPoint> loop;
    for (int i = 1; i <= 24; ++i) {
        const double a = 2 * M_PI * i / 24;
        loop << QPoint(120 + int(50 * std::cos(a)), 90 + int(40 * std::sin(a)));
    }
    r.drag({170, 90}, loop);
    QCOMPARE(r.sel().WorkMode(), SelMode::Selected);
    QVERIFY(r.sel().isInClip(120, 90));
    QVERIFY(!r.sel().isInClip(20, 20));
    r.move({120, 90});
    QVERIFY(sameCursor(r.area()->cursor(), r.editor->Image1[4]));
    r.move({20, 90});
    QVERIFY(sameCursor(r.area()->cursor(), r.editor->Image1[1]));
}

void TstEditor::dragInsideMovesOutlineOrPixels_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("waiting");
    QTest::addColumn<bool>("pixels");
    QTest::newRow("rectangle tool") << "ToolRect" << 1 << false;
    QTest::newRow("free-hand tool") << "ToolAny" << 3 << false;
    QTest::newRow("move tool") << "ToolMove" << 5 << true;
}

void TstEditor::dragInsideMovesOutlineOrPixels() {
    QFETCH(QString, tool);
    QFETCH(int, waiting);
    QFETCH(bool, pixels);
    EditorRig r;
    r.selectRect({20, 30}, {80, 70});
    r.tool(tool.toLatin1());
    r.press({50, 50});
    QCOMPARE(r.editor->ToolMode, waiting + 1);
    r.move({90, 70});
    r.move({130, 100});
    r.release({130, 100});
    QCOMPARE(r.editor->ToolMode, waiting);
    r.tick();

    QVERIFY(r.sel().isInClip(120, 90));
    QVERIFY(!r.sel().isInClip(30, 40));
    if (pixels) {
        QCOMPARE(r.sel().WorkMode(), SelMode::Lifted);
        QCOMPARE(r.at(30, 40), White);
        QCOMPARE(r.at(110, 90), r.loaded(30, 40));
    } else {
        QCOMPARE(r.sel().WorkMode(), SelMode::Selected);
        QCOMPARE(r.at(30, 40), r.loaded(30, 40));
        QCOMPARE(r.at(110, 90), r.loaded(110, 90));
    }
}

void TstEditor::clickOutsideEndsTheSelectionAndKeepsDroppedPixels() {
    EditorRig r;
    r.liftAndMove();
    r.tool("ToolRect");
    r.press({10, 170});
    r.release({10, 170});
    QCOMPARE(r.sel().WorkMode(), SelMode::Opened);
    for (int x = 0; x < EditorRig::W; x += 3)
        for (int y = 0; y < EditorRig::H; y += 3)
            QVERIFY(!r.sel().isInClip(x, y));
    r.tick();
    QCOMPARE(r.at(30, 40), White);
    QCOMPARE(r.at(130, 90), r.loaded(30, 40));
    // No outline left around the dropped pixels.
    QCOMPARE(r.at(125, 80), r.loaded(25, 30));
}

void TstEditor::undoTwiceReturnsToTheStateBeforeTheFirst() {
    EditorRig r;
    r.liftAndMove();
    r.tick();
    const SelMode mode = r.sel().WorkMode();
    const QPoint place(r.sel().Left(), r.sel().Top());
    QCOMPARE(mode, SelMode::Lifted);

    r.tool("Undo");
    r.tick();
    QCOMPARE(r.sel().Left(), 20);
    QCOMPARE(r.at(30, 40), r.loaded(30, 40));
    QCOMPARE(r.at(140, 90), r.loaded(140, 90));

    r.tool("Undo");
    r.tick();
    QCOMPARE(r.sel().WorkMode(), mode);
    QCOMPARE(QPoint(r.sel().Left(), r.sel().Top()), place);
    QCOMPARE(r.at(30, 40), White);
    QCOMPARE(r.at(130, 90), r.loaded(30, 40));
    QCOMPARE(r.editor->ToolMode, 5);
}

void TstEditor::colourPickLeftAndRight() {
    EditorRig r;
    r.tool("ToolSelect");
    r.press({33, 44});
    r.release({33, 44});
    QCOMPARE(r.editor->Label1[1]->palette().color(QPalette::Window).rgb() & 0xFFFFFFu,
             quint32(r.picture.pixel(33, 44) & 0xFFFFFFu));

    // The back colour changes only once the popup has closed.
    QColor backDuringPopup;
    r.prompts.onPopup = [&](QMenu*) {
        backDuringPopup = r.editor->Label1[0]->palette().color(QPalette::Window);
    };
    r.press({70, 20}, Qt::RightButton);
    r.release({70, 20}, Qt::RightButton);
    QCOMPARE(r.prompts.popups, 1);
    QCOMPARE(backDuringPopup, QColor(Qt::white));
    QCOMPARE(r.sel().fields().BackColor, r.loaded(70, 20));

    // Lifted pixels now leave that colour behind.
    r.liftAndMove();
    r.tick();
    QCOMPARE(r.at(30, 40), r.loaded(70, 20));
}

void TstEditor::aRepaintShowsTheEdits() {
    EditorRig r;
    r.liftAndMove();
    r.tick();
    const QImage shown = r.area()->grab(QRect(0, 0, EditorRig::W, EditorRig::H)).toImage();
    QCOMPARE(shown.pixel(30, 40) & 0xFFFFFFu, White);
    QCOMPARE(shown.pixel(130, 90), r.picture.pixel(30, 40));
}

void TstEditor::toolbarComesBackOnTheStripAndGoesOnTheFirstMove() {
    EditorRig r;
    QToolBar* bar = r.editor->Toolbar1;
    QVERIFY(bar->isVisible());
    r.move({100, 100});
    QVERIFY(!bar->isVisible());
    QTest::mouseMove(r.editor->Label3, QPoint(5, 5));
    QVERIFY(bar->isVisible());
    // A drag that passes over the strip keeps the toolbar away.
    r.press({100, 100});
    QVERIFY(bar->isVisible());
    r.move({110, 10});
    QVERIFY(!bar->isVisible());
    r.release({110, 10});
}

void TstEditor::doubleClickClosesInEveryTool_data() {
    QTest::addColumn<QString>("tool");
    for (const char* t : {"ToolRect", "ToolAny", "ToolMove", "ToolSelect"})
        QTest::newRow(t) << t;
}

void TstEditor::doubleClickClosesInEveryTool() {
    QFETCH(QString, tool);
    EditorRig r;
    r.selectRect({20, 30}, {80, 70});
    r.tool(tool.toLatin1());
    QTest::mouseDClick(r.area(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QVERIFY(r.editor->isUnloaded());
    QVERIFY(!r.editor->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(r.editor.isNull());
}

void TstEditor::closingFromThePopupEndsThePressQuietly_data() {
    QTest::addColumn<QString>("tool");
    QTest::newRow("colour pick") << "ToolSelect";
    QTest::newRow("rectangle") << "ToolRect";
}

// The right press waits in the popup's loop; a menu item that closes the
// editor must leave that press nothing to act on.
void TstEditor::closingFromThePopupEndsThePressQuietly() {
    QFETCH(QString, tool);
    EditorRig r;
    r.selectRect({20, 30}, {80, 70});
    r.tool(tool.toLatin1());
    r.prompts.onPopup = [&](QMenu*) { r.editor->mnjieshufd->trigger(); };
    r.press({50, 50}, Qt::RightButton);
    QVERIFY(r.editor->isUnloaded());
    r.release({50, 50}, Qt::RightButton);
    r.editor->Timer1_Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(r.editor.isNull());
}

void TstEditor::menuStartsCompanionsAndShowsOneTipDialog() {
    EditorRig r;
    r.editor->mnqufd->trigger();
    r.editor->mnwanneng->trigger();
    QTRY_COMPARE(r.starter.started, QStringList({"Zonara", "Derudovudi"}));
    QCOMPARE(r.starter.shows, QList<ProgramStarter::Show>(2, ProgramStarter::Show::Normal));

    r.editor->mnabuot->trigger();
    Frmzdydhc* tip = LoadedTipDialog(TipVariant::Magnifier);
    QVERIFY(tip && tip->isVisible());
    r.editor->mnabuot->trigger();
    QCOMPARE(LoadedTipDialog(TipVariant::Magnifier), tip);
    tip->Unload();
}

void TstEditor::keysAndModifiersPickTheShapeDrawnOverThePicture_data() {
    QTest::addColumn<QString>("tool"); // a toolbar button, or empty for the key
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("keyModifiers");
    QTest::addColumn<int>("dragModifiers");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QPoint>("onShape");
    using K = drawing::Kind;
    const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, none = 0;
    // The drag goes from (40, 40) through (90, 60) to (140, 100).
    QTest::newRow("R, a drag: free-hand pen") << "" << int(Qt::Key_R) << none << none << false
                                              << int(K::Pen) << QColor(230, 0, 0) << QPoint(90, 60);
    QTest::newRow("Shift+Y: highlighter")
        << "" << int(Qt::Key_Y) << shift << none << false << int(K::Highlighter)
        << QColor(255, 230, 0) << QPoint(90, 60);
    QTest::newRow("Shift+drag: line") << "" << int(Qt::Key_B) << none << shift << false
                                      << int(K::Line) << QColor(0, 70, 230) << QPoint(90, 70);
    QTest::newRow("Ctrl+drag: box") << "" << int(Qt::Key_G) << none << ctrl << false << int(K::Box)
                                    << QColor(0, 170, 0) << QPoint(90, 40);
    QTest::newRow("Ctrl+Shift+drag: arrow")
        << "" << int(Qt::Key_K) << none << (ctrl | shift) << false << int(K::Arrow)
        << QColor(0, 0, 0) << QPoint(90, 70);
    QTest::newRow("Tab held: ellipse") << "" << int(Qt::Key_O) << none << none << true
                                       << int(K::Ellipse) << QColor(255, 140, 0) << QPoint(40, 70);
    QTest::newRow("box tool, Shift held: still a box")
        << "ToolBox" << 0 << none << shift << false << int(K::Box) << QColor(230, 0, 0)
        << QPoint(140, 70);
}

// The drawing lies over the picture: the screen shows it, the picture's
// pixels (which the pixel tools work on) stay as they were.
void TstEditor::keysAndModifiersPickTheShapeDrawnOverThePicture() {
    QFETCH(QString, tool);
    QFETCH(int, key);
    QFETCH(int, keyModifiers);
    QFETCH(int, dragModifiers);
    QFETCH(bool, tab);
    QFETCH(int, kind);
    QFETCH(QColor, colour);
    QFETCH(QPoint, onShape);
    EditorRig r;
    if (!tool.isEmpty())
        r.tool(tool.toLatin1());
    else
        r.key(Qt::Key(key), Qt::KeyboardModifiers(keyModifiers));
    QCOMPARE(r.editor->ToolMode, frmphotoshop::Drawing);
    if (tab) QTest::keyPress(r.editor->windowHandle(), Qt::Key_Tab);
    r.drag({40, 40}, {{90, 60}, {140, 100}}, Qt::KeyboardModifiers(dragModifiers));
    if (tab) QTest::keyRelease(r.editor->windowHandle(), Qt::Key_Tab);
    QVERIFY(r.editor->isVisible());

    const auto& shapes = r.editor->drawings().shapes();
    QCOMPARE(shapes.size(), std::size_t(1));
    QCOMPARE(int(shapes[0].kind), kind);
    QCOMPARE(shapes[0].colour, colour);
    QCOMPARE(shapes[0].points.front(), QPointF(40, 40));
    QCOMPARE(shapes[0].points.back(), QPointF(140, 100));

    const QImage shown = r.shown();
    const QRgb there = shown.pixel(onShape) & 0xFFFFFFu;
    if (kind == int(drawing::Kind::Highlighter))
        QVERIFY(there != (r.picture.pixel(onShape) & 0xFFFFFFu));
    else
        QCOMPARE(QColor(there), colour);
    QCOMPARE(r.at(onShape.x(), onShape.y()), r.loaded(onShape.x(), onShape.y()));
    QCOMPARE(shown.pixel(200, 20) & 0xFFFFFFu, r.picture.pixel(200, 20) & 0xFFFFFFu);
}

void TstEditor::drawingsUndoRedoAndClearWhileKeysAndClicksKeepTheEditor() {
    EditorRig r;
    const auto count = [&] { return r.editor->drawings().shapes().size(); };
    // Pixels moved first, then a stroke: undo takes the stroke back first,
    // then the move; redo makes them again in the order made.
    r.liftAndMove();
    r.key(Qt::Key_R);
    r.drag({10, 150}, {{60, 160}});
    QCOMPARE(count(), std::size_t(1));
    r.tool("Undo");
    QCOMPARE(count(), std::size_t(0));
    QCOMPARE(r.sel().Left(), 120);
    r.tool("Undo");
    QCOMPARE(r.sel().Left(), 20);
    r.tool("Redo");
    QCOMPARE(r.sel().Left(), 120);
    QCOMPARE(count(), std::size_t(0));
    r.tool("Redo");
    QCOMPARE(count(), std::size_t(1));

    // A double click with the pen draws and closes nothing; Esc drops the
    // stroke under way and leaves the editor open.
    // (A window system sends press, release, double click, release.)
    r.press({100, 20});
    r.release({100, 20});
    QTest::mouseDClick(r.area(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));
    r.release({100, 20});
    QVERIFY(!r.editor->isUnloaded());
    QVERIFY(r.editor->isVisible());
    const std::size_t drawn = count();
    QCOMPARE(drawn, std::size_t(3));
    r.press({150, 150});
    r.move({170, 160});
    QVERIFY(r.editor->stroke().has_value());
    r.key(Qt::Key_Escape);
    QVERIFY(!r.editor->stroke().has_value());
    r.release({170, 160});
    QCOMPARE(count(), drawn);
    QVERIFY(r.editor->isVisible());

    // E clears as one step; Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y walk it.
    r.key(Qt::Key_E);
    QCOMPARE(count(), std::size_t(0));
    QCOMPARE(r.shown().pixel(60, 160) & 0xFFFFFFu, r.picture.pixel(60, 160) & 0xFFFFFFu);
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(count(), drawn);
    r.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(count(), std::size_t(0));
    r.key(Qt::Key_Z, Qt::ControlModifier);
    r.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(count(), std::size_t(0));

    // Width: 1 to 40, by Ctrl+Up/Down and Ctrl+wheel.
    for (int i = 0; i < 50; ++i)
        r.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(r.editor->DrawWidth, 40.0);
    QWheelEvent notch(QPointF(50, 50), r.area()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(r.area(), &notch);
    QCOMPARE(r.editor->DrawWidth, 38.0);
    for (int i = 0; i < 50; ++i)
        r.key(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(r.editor->DrawWidth, 1.0);

    // The eyedropper's left button gives the pens their colour.
    r.tool("ToolSelect");
    r.press({200, 20});
    r.release({200, 20});
    QCOMPARE(r.editor->DrawColour.rgb() & 0xFFFFFFu, r.picture.pixel(200, 20) & 0xFFFFFFu);
    r.tool("ToolPen");
    r.drag({10, 10}, {{30, 10}});
    QCOMPARE(r.editor->drawings().shapes().back().colour, r.editor->DrawColour);
}

// zuz's own Ctrl+Z reaches the program, not the editor's keys: the editor
// takes it as its undo while it is in front, and leaves it to the view
// otherwise.
void TstEditor::theHotkeyUndoesOnlyInTheActiveEditor() {
    EditorRig r;
    r.key(Qt::Key_B);
    r.drag({10, 150}, {{60, 160}});
    QWidget other;
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other, 2000)) QSKIP("no window activation here");
    QVERIFY(!r.editor->hotkeyPressed());
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));
    r.editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(r.editor.data(), 2000));
    QVERIFY(r.editor->hotkeyPressed());
    QVERIFY(r.editor->drawings().isEmpty());
}

// On a monitor at twice the pixels the drawing lands on the picture's own
// pixels, and the clipboard and the file get all of them.
void TstEditor::copyAndSaveTakeTheDrawnPictureAtItsDevicePixels() {
    EditorRig r;
    r.editor->setPicture(r.picture, 2);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    r.editor->PicturesFolder = dir.path();
    r.key(Qt::Key_K);
    r.drag({20, 20}, {{60, 50}}, Qt::ControlModifier);
    QCOMPARE(r.editor->drawings().shapes().back().points.back(), QPointF(120, 100));

    QGuiApplication::clipboard()->clear();
    r.key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(EditorRig::W, EditorRig::H));
    QCOMPARE(copied.pixel(80, 40) & 0xFFFFFFu, 0u);
    QCOMPARE(copied.pixel(80, 70) & 0xFFFFFFu, r.picture.pixel(80, 70) & 0xFFFFFFu);
    QCOMPARE(copied.pixel(200, 150) & 0xFFFFFFu, r.picture.pixel(200, 150) & 0xFFFFFFu);

    r.editor->mnbaocun->trigger();
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.png")});
    QCOMPARE(files.size(), 1);
    QVERIFY2(files[0].startsWith(QStringLiteral("截图 ")), qPrintable(files[0]));
    const QImage saved(QDir(dir.path()).filePath(files[0]));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             copied.convertToFormat(QImage::Format_RGB32));
    QVERIFY(r.editor->Notice->isVisible());
    QVERIFY(r.editor->Notice->text().contains(files[0]));
}

// Each click is the next number, in the pen's colour; an undone number is
// given again.
void TstEditor::nPlacesTheNextStepNumberAtEachClick() {
    EditorRig r;
    r.key(Qt::Key_Y);
    r.key(Qt::Key_N);
    QVERIFY(r.editor->button(QStringLiteral("ToolNumber"))->isChecked());
    QVERIFY(r.editor->button(QStringLiteral("ToolNumber"))->toolTip().contains(QLatin1Char('N')));
    const QList<QPoint> clicks{{40, 40}, {120, 60}, {200, 140}};
    for (QPoint p : clicks) {
        r.press(p);
        r.release(p);
    }
    const auto numbers = [&] {
        QList<int> n;
        for (const drawing::Shape& s : r.editor->drawings().shapes())
            n << (s.kind == drawing::Kind::Number ? s.number : -1);
        return n;
    };
    QCOMPARE(numbers(), QList<int>({1, 2, 3}));
    // The circle in the current colour around each, just inside its rim.
    const qreal radius = drawing::numberRadius(r.editor->DrawWidth);
    const QImage shown = r.shown();
    for (QPoint p : clicks)
        QCOMPARE(QColor(shown.pixel(p + QPoint(0, int(radius) - 2))), QColor(255, 230, 0));
    QCOMPARE(r.at(40, 40), r.loaded(40, 40));

    r.key(Qt::Key_Z, Qt::ControlModifier);
    r.press({60, 150});
    r.release({60, 150});
    QCOMPARE(numbers(), QList<int>({1, 2, 3}));
    QCOMPARE(r.editor->drawings().shapes().back().points.front(), QPointF(60, 150));
}

// The blocks are the picture's averages, over the picture as an object: the
// picture's own pixels stay, a copy has the blocks, an undo takes them off.
void TstEditor::xPixelatesTheDraggedBoxOnScreenAndInTheCopy() {
    EditorRig r;
    r.key(Qt::Key_X);
    QVERIFY(r.editor->button(QStringLiteral("ToolPixelate"))->isChecked());
    QVERIFY(r.editor->button(QStringLiteral("ToolPixelate"))->toolTip().contains(QLatin1Char('X')));
    r.drag({30, 30}, {{60, 50}, {90, 70}});
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));
    QVERIFY(r.editor->isVisible());
    // The block from (42, 54) to (53, 65).
    const auto average = [&] {
        int red = 0, green = 0, blue = 0;
        for (int y = 54; y < 66; ++y)
            for (int x = 42; x < 54; ++x) {
                const QRgb c = r.picture.pixel(x, y);
                red += qRed(c), green += qGreen(c), blue += qBlue(c);
            }
        return qRgb((red + 72) / 144, (green + 72) / 144, (blue + 72) / 144);
    };
    const QImage shown = r.shown();
    for (QPoint p : {QPoint(42, 54), QPoint(53, 65), QPoint(47, 60)})
        QCOMPARE(shown.pixel(p) & 0xFFFFFFu, average() & 0xFFFFFFu);
    QVERIFY(shown.pixel(41, 54) != shown.pixel(42, 54));
    QCOMPARE(shown.pixel(90, 70) & 0xFFFFFFu, r.picture.pixel(90, 70) & 0xFFFFFFu);
    QCOMPARE(r.at(47, 60), r.loaded(47, 60));

    r.key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.pixel(47, 60) & 0xFFFFFFu, average() & 0xFFFFFFu);
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(r.shown().pixel(47, 60) & 0xFFFFFFu, r.picture.pixel(47, 60) & 0xFFFFFFu);
}

// T opens a box at the pointer that takes keys and an input method's
// Chinese; Esc or a click beside it makes the text an object, and a box
// left empty leaves nothing.
void TstEditor::tTypesTextAtThePointerWithKeysAndAnInputMethod() {
    EditorRig r;
    r.key(Qt::Key_B);
    r.move({50, 60});
    r.key(Qt::Key_T);
    QVERIFY(r.editor->button(QStringLiteral("ToolText"))->isChecked());
    QVERIFY(r.editor->button(QStringLiteral("ToolText"))->toolTip().contains(QLatin1Char('T')));
    QPlainTextEdit* box = r.editor->textBox();
    QVERIFY(box);
    QCOMPARE(box->pos(), QPoint(50, 60));
    QCOMPARE(r.editor->focusWidget(), box);
    QVERIFY(box->inputMethodQuery(Qt::ImEnabled).toBool());
    // Letter keys type (R is not red here), Enter starts a line.
    r.key(Qt::Key_R);
    r.key(Qt::Key_E);
    r.key(Qt::Key_Return);
    QInputMethodEvent composing(QStringLiteral("ni"), {});
    QApplication::sendEvent(r.editor->focusWidget(), &composing);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("你好"));
    QApplication::sendEvent(r.editor->focusWidget(), &commit);
    QVERIFY(r.editor->drawings().isEmpty());
    r.key(Qt::Key_Escape);
    QVERIFY(!r.editor->textBox());
    QVERIFY(r.editor->isVisible());

    const auto& shapes = r.editor->drawings().shapes();
    QCOMPARE(shapes.size(), std::size_t(1));
    QCOMPARE(shapes[0].kind, drawing::Kind::Text);
    QCOMPARE(shapes[0].text, QStringLiteral("re\n你好"));
    QCOMPARE(shapes[0].colour, QColor(0, 70, 230));
    QCOMPARE(shapes[0].points.front(), QPointF(50, 60));
    // On the screen and in the copy, the text's colour within its box and
    // the picture around it.
    const QRect inBox = shapes[0].path().boundingRect().toAlignedRect();
    const auto blueIn = [&](const QImage& image) {
        int n = 0;
        for (int y = inBox.top(); y <= inBox.bottom(); ++y)
            for (int x = inBox.left(); x <= inBox.right(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFFu) == 0x0046E6u;
        return n;
    };
    QVERIFY(blueIn(r.shown()) > 20);
    QVERIFY(blueIn(r.editor->annotatedPicture().convertToFormat(QImage::Format_RGB32)) > 20);
    QCOMPARE(r.at(inBox.center().x(), inBox.center().y()),
             r.loaded(inBox.center().x(), inBox.center().y()));

    // A click beside the text ends it; Esc on an empty box leaves nothing.
    r.key(Qt::Key_T);
    r.key(Qt::Key_A);
    r.press({200, 160});
    r.release({200, 160});
    QVERIFY(!r.editor->textBox());
    QCOMPARE(shapes.size(), std::size_t(2));
    QCOMPARE(shapes[1].text, QStringLiteral("a"));
    r.key(Qt::Key_T);
    QVERIFY(r.editor->textBox());
    r.key(Qt::Key_Escape);
    QVERIFY(!r.editor->textBox());
    QCOMPARE(shapes.size(), std::size_t(2));
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shapes.size(), std::size_t(1));
}

// Two notches, the first of them in a touchpad's eighths, about a point
// that stays under the pointer; a box drawn there lies on the picture points
// under the drag, on the screen, in the copy and for the rectangle tool.
void TstEditor::theWheelZoomsAndDrawingsStayOnTheirPicturePoints() {
    EditorRig r;
    const QPoint at(60, 45);
    for (int i = 0; i < 7; ++i)
        wheel(r, at, 15);
    QCOMPARE(r.area()->Zoom.level(), 0);
    wheel(r, at, 15);
    wheel(r, at, 120);
    QCOMPARE(r.area()->Zoom.scale(), 1.5625);
    QCOMPARE(r.area()->toPicture(at), at);
    QCOMPARE(r.area()->pictureToWidget().map(QPointF(at)), QPointF(at));
    // Ctrl+wheel still sets the width, in whole notches too.
    const qreal width = r.editor->DrawWidth;
    for (int i = 0; i < 4; ++i)
        wheel(r, at, 30, Qt::ControlModifier);
    QCOMPARE(r.editor->DrawWidth, width + 1);
    QCOMPARE(r.area()->Zoom.scale(), 1.5625);

    r.key(Qt::Key_K);
    const QPoint from(100, 100), to(180, 140);
    r.drag(from, {{140, 120}, to}, Qt::ControlModifier);
    const drawing::Shape& box = r.editor->drawings().shapes().back();
    // Zoomed in, between picture pixels: where the pointer is.
    QCOMPARE(box.points.front(), r.area()->Zoom.toPicture(QPointF(from)));
    QCOMPARE(box.points.back(), r.area()->Zoom.toPicture(QPointF(to)));
    // The box's top edge, halfway, and a point well inside it.
    const QPointF edge((box.points.front().x() + box.points.back().x()) / 2,
                       box.points.front().y());
    const QPoint edgeOnScreen = r.area()->pictureToWidget().map(edge).toPoint();
    const QImage shown = r.shown();
    QCOMPARE(shown.pixel(edgeOnScreen) & 0xFFFFFFu, 0u);
    QVERIFY(showsPictureUnder(r, shown, {140, 120}));
    QVERIFY(showsPictureUnder(r, shown, {20, 160}));
    // The copy is the picture at its own pixels, the box on the same points.
    r.key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(EditorRig::W, EditorRig::H));
    QCOMPARE(copied.pixel(edge.toPoint()) & 0xFFFFFFu, 0u);
    const QPoint inside = r.area()->toPicture(QPointF(140, 120));
    QCOMPARE(copied.pixel(inside) & 0xFFFFFFu, r.picture.pixel(inside) & 0xFFFFFFu);

    // The rectangle tool selects the picture pixels under the drag.
    r.selectRect({20, 30}, {80, 70});
    QCOMPARE(r.sel().WorkMode(), SelMode::Selected);
    const QPoint in = r.area()->toPicture(QPointF(50, 50));
    const QPoint out = r.area()->toPicture(QPointF(90, 50));
    QVERIFY(r.sel().isInClip(in.x(), in.y()));
    QVERIFY(!r.sel().isInClip(out.x(), out.y()));
    // The eyedropper takes the colour of the pixel under it.
    r.tool("ToolSelect");
    r.press({150, 30});
    r.release({150, 30});
    const QPointF under = r.area()->Zoom.toPicture({150.5, 30.5});
    const QPoint picked(int(std::floor(under.x())), int(std::floor(under.y())));
    QVERIFY(picked != QPoint(150, 30));
    QCOMPARE(r.editor->DrawColour.rgb() & 0xFFFFFFu, r.picture.pixel(picked) & 0xFFFFFFu);

    // Text being typed keeps its place and size on the picture as it zooms.
    r.move({30, 120});
    r.key(Qt::Key_T);
    QPlainTextEdit* textBox = r.editor->textBox();
    QVERIFY(textBox);
    const QPointF anchor(r.area()->toPicture(QPointF(30, 120)));
    const qreal size = textBox->font().pointSizeF();
    wheel(r, at, 120);
    const QPointF corner = r.area()->pictureToWidget().map(anchor);
    QCOMPARE(textBox->pos(), QPoint(int(std::floor(corner.x())), int(std::floor(corner.y()))));
    QVERIFY(qAbs(textBox->font().pointSizeF() - size * 1.25) < 0.01);
}

void TstEditor::middleButtonAndArrowsPanTheZoomedPictureAndZeroGoesBack() {
    EditorRig r;
    PictureArea& area = *r.area();
    r.editor->zoomAt(3, {0, 0});
    const double s = area.Zoom.scale();
    QCOMPARE(s, 1.953125);
    // The picture point under the middle button's press follows it.
    const QPointF under = area.Zoom.toPicture({100, 100});
    mouse(r, QEvent::MouseButtonPress, {100, 100}, Qt::MiddleButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseMove, {80, 90}, Qt::NoButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseMove, {60, 80}, Qt::NoButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseButtonRelease, {60, 80}, Qt::MiddleButton, Qt::NoButton);
    QCOMPARE(area.Zoom.toPicture({60, 80}), under);
    QCOMPARE(area.Zoom.origin(), QPointF(40, 20) / s);
    // It is no tool's press, and its double click closes nothing.
    QCOMPARE(r.sel().WorkMode(), SelMode::Idle);
    mouse(r, QEvent::MouseButtonDblClick, {60, 80}, Qt::MiddleButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseButtonRelease, {60, 80}, Qt::MiddleButton, Qt::NoButton);
    QVERIFY(!r.editor->isUnloaded());

    // An eighth of the screen, a whole one held at the edge.
    const QPointF before = area.Zoom.origin();
    r.key(Qt::Key_Right);
    QCOMPARE(area.Zoom.origin(), before + QPointF(30 / s, 0));
    r.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(area.Zoom.origin().y(), EditorRig::H - EditorRig::H / s);
    // Ctrl+Up and Ctrl+Down are the width's still.
    const QPointF panned = area.Zoom.origin();
    const qreal width = r.editor->DrawWidth;
    r.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(r.editor->DrawWidth, width + 1);
    QCOMPARE(area.Zoom.origin(), panned);
    QVERIFY(showsPictureUnder(r, r.shown(), {120, 90}));

    r.key(Qt::Key_0);
    QCOMPARE(area.Zoom.level(), 0);
    QCOMPARE(area.toPicture({120, 90}), QPoint(120, 90));
    QCOMPARE(r.shown(), r.picture.convertToFormat(QImage::Format_RGB32));

    // On a monitor at twice the pixels the same holds in device pixels.
    r.editor->setPicture(r.picture, 2);
    r.editor->zoomAt(3, {30, 20});
    QCOMPARE(area.pictureAt({30, 20}), QPointF(60, 40));
    const QPointF grabbed = area.pictureAt({50, 40});
    mouse(r, QEvent::MouseButtonPress, {50, 40}, Qt::MiddleButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseMove, {30, 30}, Qt::NoButton, Qt::MiddleButton);
    mouse(r, QEvent::MouseButtonRelease, {30, 30}, Qt::MiddleButton, Qt::NoButton);
    QCOMPARE(area.pictureAt({30, 30}), grabbed);
}

// Ctrl+W and Ctrl+K lay a board over the picture with drawings of its own
// and an undo of its own; the same key again shows the picture with its
// drawings as they were. The pixel tools leave a board alone.
void TstEditor::boardsHaveDrawingsOfTheirOwnAndCopyWhatIsShown() {
    EditorRig r;
    r.key(Qt::Key_R);
    r.drag({20, 20}, {{100, 20}});
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));

    r.key(Qt::Key_W, Qt::ControlModifier);
    QVERIFY(r.editor->onBoard());
    QVERIFY(r.editor->drawings().isEmpty());
    QCOMPARE(QColor(r.shown().pixel(60, 20)), QColor(Qt::white));
    r.key(Qt::Key_B);
    r.drag({30, 100}, {{200, 100}});
    r.drag({30, 150}, {{200, 150}});
    r.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));
    // Rectangle and eyedropper do nothing here.
    r.tool("ToolRect");
    r.drag({10, 10}, {{50, 50}});
    QCOMPARE(r.sel().WorkMode(), SelMode::Idle);
    r.tool("ToolSelect");
    r.press({60, 60});
    r.release({60, 60});
    QCOMPARE(r.editor->Label1[1]->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(showsLoadedPicture(r));

    r.key(Qt::Key_C, Qt::ControlModifier);
    QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(EditorRig::W, EditorRig::H));
    QCOMPARE(QColor(copied.pixel(60, 20)), QColor(Qt::white));
    QCOMPARE(QColor(copied.pixel(100, 100)), QColor(0, 70, 230));
    QCOMPARE(QColor(copied.pixel(100, 150)), QColor(Qt::white));

    // Ctrl+K from the white board: the black one, empty; again, the picture.
    r.key(Qt::Key_K, Qt::ControlModifier);
    QVERIFY(r.editor->drawings().isEmpty());
    QCOMPARE(QColor(r.shown().pixel(100, 100)), QColor(Qt::black));
    r.key(Qt::Key_K, Qt::ControlModifier);
    QVERIFY(!r.editor->onBoard());
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));
    QCOMPARE(r.editor->drawings().shapes()[0].colour, QColor(230, 0, 0));
    const QImage shown = r.shown();
    QCOMPARE(QColor(shown.pixel(60, 20)), QColor(230, 0, 0));
    QCOMPARE(shown.pixel(100, 100) & 0xFFFFFFu, r.picture.pixel(100, 100) & 0xFFFFFFu);
    r.key(Qt::Key_C, Qt::ControlModifier);
    copied = QGuiApplication::clipboard()->image();
    QCOMPARE(QColor(copied.pixel(60, 20)), QColor(230, 0, 0));
    QCOMPARE(copied.pixel(100, 100) & 0xFFFFFFu, r.picture.pixel(100, 100) & 0xFFFFFFu);
    // The white board kept its drawing, also when reached from the black.
    r.key(Qt::Key_K, Qt::ControlModifier);
    r.key(Qt::Key_W, Qt::ControlModifier);
    QVERIFY(r.editor->onBoard());
    QCOMPARE(QColor(r.shown().pixel(60, 20)), QColor(Qt::white));
    QCOMPARE(r.editor->drawings().shapes().size(), std::size_t(1));
    QCOMPARE(r.editor->drawings().shapes()[0].colour, QColor(0, 70, 230));
}

// Hundreds of drawings come from frames drawn meanwhile: after a wheel
// notch the drawings stand on their picture points, at once and once
// sharp, and pixels moved beside them show at once.
void TstEditor::busyDrawingsFollowTheWheelAndShowMovedPixels() {
    EditorRig r;
    frmphotoshop& e = *r.editor;
    QSignalSpy ready(&e.frames(), &DrawingFrames::ready);
    e.Toolbar1_ButtonClick(QStringLiteral("ToolBox"));
    e.DrawColour = Qt::black;
    // As many black boxes on one another, clear of the pixels moved below.
    for (std::size_t i = 0; i < DrawingFrames::BusyShapes; ++i) {
        e.Picture1_MouseDown(1, 0, 30, 140);
        e.Picture1_MouseMove(1, 0, 50, 160);
        e.Picture1_MouseUp(1, 0, 50, 160);
    }
    r.shown();
    QTRY_VERIFY(!ready.isEmpty());

    const int before = int(ready.size());
    const QPointF about(60, 120);
    e.zoomAt(1, about);
    const auto onScreen = [&r](QPointF p) { return r.area()->pictureToWidget().map(p).toPoint(); };
    const auto boxInPlace = [&] {
        const QImage now = r.shown();
        return (now.pixel(onScreen({40, 140})) & 0xFFFFFFu) == 0 &&
               showsPictureUnder(r, now, onScreen({40, 150}));
    };
    QVERIFY(boxInPlace());
    QTRY_VERIFY(ready.size() > before);
    QVERIFY(boxInPlace());

    e.zoomAt(-1, about);
    r.liftAndMove();
    const QImage moved = r.shown();
    for (const QPoint p : {QPoint(121, 81), QPoint(150, 100), QPoint(178, 118)})
        QCOMPARE(moved.pixel(p) & 0xFFFFFFu, raster::toRgb(r.at(p.x(), p.y())) & 0xFFFFFFu);
}

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
