// The toolbar and the popup menu of the editor.
#include "magnifier/editor/frmphotoshop.h"

#include "shared/capturecompanion.h"
#include "shared/prompts.h"

void frmphotoshop::Toolbar1_ButtonClick(const QString& key) {
    // 撤消 drops text being typed; every other button ends it.
    if (key != QLatin1String("Undo")) finishText();
    if (key != QLatin1String("ToolPointer") && key.startsWith(QLatin1String("Tool"))) letGo();
    if (key == QLatin1String("ToolRect")) {
        setPictureCursor(RectCursor);
        ToolMode = RectWaiting;
    } else if (key == QLatin1String("ToolAny")) {
        setPictureCursor(AnyCursor);
        ToolMode = AnyWaiting;
    } else if (key == QLatin1String("ToolMove")) {
        setPictureCursor(MoveCursor);
        ToolMode = MoveWaiting;
    } else if (key == QLatin1String("ToolSelect")) {
        setPictureCursor(PickCursor);
        ToolMode = ColourPicking;
    } else if (key == QLatin1String("ToolPen")) {
        chooseDrawTool(drawing::Kind::Pen, key);
    } else if (key == QLatin1String("ToolMarker")) {
        chooseDrawTool(drawing::Kind::Highlighter, key);
    } else if (key == QLatin1String("ToolLine")) {
        chooseDrawTool(drawing::Kind::Line, key);
    } else if (key == QLatin1String("ToolArrow")) {
        chooseDrawTool(drawing::Kind::Arrow, key);
    } else if (key == QLatin1String("ToolBox")) {
        chooseDrawTool(drawing::Kind::Box, key);
    } else if (key == QLatin1String("ToolEllipse")) {
        chooseDrawTool(drawing::Kind::Ellipse, key);
    } else if (key == QLatin1String("ToolNumber")) {
        chooseDrawTool(drawing::Kind::Number, key);
    } else if (key == QLatin1String("ToolPixelate")) {
        chooseDrawTool(drawing::Kind::Pixelate, key);
    } else if (key == QLatin1String("ToolText")) {
        chooseDrawTool(drawing::Kind::Text, key);
    } else if (key == QLatin1String("ToolPointer")) {
        cancelStroke();
        setPictureCursor(PointCursor);
        ToolMode = Selecting;
    } else if (key == QLatin1String("Undo")) {
        Undo();
    } else if (key == QLatin1String("Redo")) {
        Redo();
    } else if (key == QLatin1String("exit")) {
        close();
    }
}

void frmphotoshop::mnjieshufd_Click() {
    close();
}

void frmphotoshop::mnqufd_Click() {
    m_services.starter->start(QStringLiteral("Zonara"), ProgramStarter::Show::Normal);
}

void frmphotoshop::mnwanneng_Click() {
    // A waiting capture program reads the screen at once: the hole the menu
    // left in the picture has to be painted, and on the screen, by then.
    if (isVisible()) repaint();
    capturecompanion::pickAfterMenu(*m_services.starter, ProgramStarter::Show::Normal, this);
}

// Owned by the editor, so that it stays above the topmost full-screen
// window whatever the window manager does with focus.
void frmphotoshop::mnabuot_Click() {
    promptsOf(m_services).ShowTipDialog(TipVariant::Magnifier, this, wayBackOf(m_services));
}
