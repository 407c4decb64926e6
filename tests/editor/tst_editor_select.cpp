// The editor's select tool and its colour and width buttons, driven by
// keys and the mouse.
#include "editorrig.h"

#include <QToolButton>

namespace {

// Within `tolerance` in each channel: antialiased edges aside, a stroke's
// middle is its colour.
bool near(QRgb a, const QColor& b, int tolerance = 8) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

} // namespace

class TstEditorSelect : public QObject {
    Q_OBJECT
  private slots:
    void vPicksMovesResizesRecoloursAndDeletesAShapeStepByStep();
    void colourAndWidthButtonsSetTheDrawingAndFollowTheKeys();
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

QTEST_MAIN(TstEditorSelect)
#include "tst_editor_select.moc"
