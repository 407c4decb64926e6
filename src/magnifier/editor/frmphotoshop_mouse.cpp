// Marking, dragging and picking colours with the mouse on the picture.
#include "magnifier/editor/frmphotoshop.h"

#include "magnifier/editor/picturearea.h"
#include "shared/prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolBar>

namespace {
constexpr int Left = 1;
constexpr int Right = 2;
} // namespace

void frmphotoshop::Picture1_MouseDown(int button, int shift, int x, int y) {
    if (!m_sel) return;
    m_pointer = QPoint(x, y);
    // A click beside the text being typed ends it, and only that.
    if (m_textBox) {
        finishText();
        if (button == Left) return;
    }
    if (button == Right) {
        promptsOf(m_services).PopupMenu(mnkz);
        // The menu may have closed the editor.
        if (isUnloaded()) return;
    }
    if (pixelToolOnBoard()) return;
    if (ToolMode == ColourPicking) {
        const quint32 colour = Picture1->Point(QPoint(x, y));
        if (button == Left) {
            setSwatch(1, colour);
            setDrawColour(swatch(1));
        } else if (button == Right) {
            setSwatch(0, colour);
            if (auto step = m_sel->backColourStep(colour)) m_history.pixels(std::move(*step));
            showWritten();
            return;
        }
    }
    if (button != Left) return;
    if (ToolMode == Selecting) {
        selectPress(QPoint(x, y));
        return;
    }
    if (ToolMode == Drawing) {
        if (DrawTool == drawing::Kind::Number)
            placeNumber(drawingPoint(x, y));
        else if (DrawTool == drawing::Kind::Text)
            startText(drawingPoint(x, y));
        else
            startStroke(shift, drawingPoint(x, y));
        return;
    }
    if (m_sel->isInClip(x, y)) {
        const qint16 dragging = ToolMode == AnyWaiting    ? AnyDragging
                                : ToolMode == RectWaiting ? RectDragging
                                : ToolMode == MoveWaiting ? MoveDragging
                                                          : 0;
        if (dragging) {
            m_pressed = m_sel->placement();
            m_sel->MoveStart(x, y);
            ToolMode = dragging;
        }
        return;
    }
    if (ToolMode != RectWaiting && ToolMode != AnyWaiting) return;
    // A band that lost its release stays out of the snapshot taken next.
    eraseBand();
    if (ToolMode == RectWaiting) {
        RectStartX = x;
        RectStartY = y;
        drawRect(x, y, false);
    }
    m_sel->OpenRgn(Picture1->hDC(), Picture1->pictureWidth(), Picture1->pictureHeight());
    m_sel->addPoint(x, y, true);
    if (ToolMode == RectWaiting) Picture1->DrawMode = PictureArea::NotXorPen;
    showWritten();
}

void frmphotoshop::Picture1_MouseMove(int button, int /*shift*/, int x, int y) {
    Toolbar1->hide();
    m_pointer = QPoint(x, y);
    if (!m_sel || pixelToolOnBoard()) return;
    if (button == Left) {
        switch (ToolMode) {
        case Drawing:
            extendStroke(drawingPoint(x, y));
            return;
        case Selecting:
            selectDrag(QPoint(x, y));
            return;
        case RectWaiting:
            drawRect(x, y, true);
            break;
        case AnyWaiting:
            m_sel->addPoint(x, y, false);
            break;
        case RectDragging:
        case AnyDragging:
            m_sel->MoveRgnTo(x, y);
            break;
        case MoveDragging:
            m_sel->MoveClipTo(x, y);
            break;
        default:
            break;
        }
        showWritten();
        return;
    }
    const bool rect = ToolMode == RectWaiting || ToolMode == RectDragging;
    const bool any = ToolMode == AnyWaiting || ToolMode == AnyDragging;
    if (!rect && !any) return;
    if (m_sel->isInClip(x, y))
        setPictureCursor(InClipCursor);
    else
        setPictureCursor(rect ? RectCursor : AnyCursor);
}

void frmphotoshop::Picture1_MouseUp(int button, int /*shift*/, int x, int y) {
    if (!m_sel || button != Left || pixelToolOnBoard()) return;
    Picture1->DrawMode = PictureArea::MaskPen;
    const bool dragging =
        ToolMode == MoveDragging || ToolMode == AnyDragging || ToolMode == RectDragging;
    switch (ToolMode) {
    case RectWaiting:
        // The band goes before the outline is traced: a rectangle without
        // width or height is no selection and must not leave one behind.
        eraseBand();
        Picture1->DrawMode = PictureArea::CopyPen;
        AddRectData(x, y);
        m_sel->endSel();
        break;
    case AnyWaiting:
        m_sel->endSel();
        break;
    case MoveDragging:
        m_sel->EndClipMove(false, 0, 0, SelMode::Idle);
        ToolMode = MoveWaiting;
        break;
    case AnyDragging:
        m_sel->EndRgnMove();
        ToolMode = AnyWaiting;
        break;
    case RectDragging:
        m_sel->EndRgnMove();
        ToolMode = RectWaiting;
        break;
    case Selecting:
        selectRelease();
        return;
    case Drawing:
        extendStroke(drawingPoint(x, y));
        endStroke();
        return;
    default:
        break;
    }
    // Dragged pixels are a step of the history; a dragged outline is not.
    if (dragging)
        if (auto step = m_sel->stepSince(m_pressed)) m_history.pixels(std::move(*step));
    showWritten();
}

void frmphotoshop::Picture1_DblClick() {
    // A double click is part of drawing and of holding shapes: drawings
    // are not lost to it.
    if (ToolMode == Drawing || ToolMode == Selecting) return;
    close();
}

// Qt has repainted the exposed part from the picture, which
// holds the edits; the selection object adds a frame it is composing.
void frmphotoshop::Picture1_Paint() {
    if (!m_sel) return;
    m_sel->PaintPic();
    showWritten();
}

void frmphotoshop::Label3_MouseMove() {
    Toolbar1->show();
    Toolbar1->raise();
}

void frmphotoshop::drawRect(qint32 x, qint32 y, bool draw) {
    if (draw) {
        const QPoint start(RectStartX, RectStartY);
        QRect touched = Picture1->drawBox(start, QPoint(LastCornerX, LastCornerY));
        touched |= Picture1->drawBox(start, QPoint(x, y));
        if (m_sel) m_sel->TargetChanged(touched);
        if (Picture1->DrawMode == PictureArea::NotXorPen) m_bandShown = true;
    }
    LastCornerX = x;
    LastCornerY = y;
}

// Not-xor twice is no change: drawing the last band again, and the point
// the drag began at, leaves the picture as it was before the press.
void frmphotoshop::eraseBand() {
    if (!m_bandShown) return;
    const int mode = Picture1->DrawMode;
    Picture1->DrawMode = PictureArea::NotXorPen;
    drawRect(RectStartX, RectStartY, true);
    Picture1->DrawMode = mode;
    m_bandShown = false;
}

bool frmphotoshop::AddRectData(qint32 x, qint32 y) {
    if (x == RectStartX || y == RectStartY) return false;
    m_sel->addPoint(RectStartX, y, false);
    m_sel->addPoint(x, y, false);
    m_sel->addPoint(x, RectStartY, false);
    return true;
}

void frmphotoshop::Timer1_Timer() {
    if (!m_sel) return;
    m_sel->Display();
    Text1->setText(QString::number(qint16(m_sel->WorkMode())));
    showWritten();
}

void frmphotoshop::showWritten() {
    if (m_sel) Picture1->pictureChanged(m_sel->takeWritten());
}
