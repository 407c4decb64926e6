// The editor's own zoom and pan over the picture, and the boards laid over
// it.
#include "magnifier/editor/frmphotoshop.h"

#include "magnifier/editor/picturearea.h"
#include "raster/surface.h"
#include "shared/platform/virtualkey.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWheelEvent>

// Without modifiers the wheel zooms, with Ctrl it sets the pens' width; a
// touchpad's fine steps count once they make a notch, as in the view.
void frmphotoshop::wheelEvent(QWheelEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                         Qt::AltModifier | Qt::MetaModifier);
    const bool width = mods & Qt::ControlModifier;
    if (!width && mods != Qt::NoModifier) {
        e->ignore();
        return;
    }
    e->accept();
    const int notches = m_wheel.take(e->angleDelta().y());
    if (notches == 0) return;
    if (width)
        changeWidth(notches);
    else
        zoomAt(notches, Picture1->mapFromGlobal(e->globalPosition()));
}

void frmphotoshop::zoomAt(int notches, QPointF at) {
    if (Picture1->Zoom.zoom(notches, at * Picture1->pictureRatio())) viewMoved();
}

// The arrows move the zoomed picture as they move the view: an eighth of
// the screen, with Shift a whole one; 0 goes back to 1x. Ctrl+W and Ctrl+K
// lay a board over the picture and take it off again.
bool frmphotoshop::zoomKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                        Qt::AltModifier | Qt::MetaModifier);
    const std::uint32_t vk = virtualkey::of(e);
    if (mods == Qt::ControlModifier && (vk == 'W' || vk == 'K')) {
        showBoard(vk == 'W' ? Board::White : Board::Black);
        return true;
    }
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier) return false;
    const bool whole = mods == Qt::ShiftModifier;
    EditorZoom& zoom = Picture1->Zoom;
    bool moved = false;
    switch (e.key()) {
    case Qt::Key_Left:
        moved = zoom.step(-1, 0, whole);
        break;
    case Qt::Key_Right:
        moved = zoom.step(1, 0, whole);
        break;
    case Qt::Key_Up:
        moved = zoom.step(0, -1, whole);
        break;
    case Qt::Key_Down:
        moved = zoom.step(0, 1, whole);
        break;
    default:
        // The digit 0 by its place: under AZERTY it types à.
        if (whole || (vk != '0' && e.key() != Qt::Key_0)) return false;
        moved = zoom.reset();
        break;
    }
    if (moved) viewMoved();
    return true;
}

// The middle button drags the picture, whatever the tool; its presses are
// no tool's, nor is its double click the one that closes the editor.
bool frmphotoshop::panEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::MiddleButton) return false;
        m_panFrom = m->position();
        return true;
    }
    case QEvent::MouseMove: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (!m_panFrom || !(m->buttons() & Qt::MiddleButton)) {
            m_panFrom.reset();
            return false;
        }
        const QPointF by = (m->position() - *m_panFrom) * Picture1->pictureRatio();
        m_panFrom = m->position();
        if (Picture1->Zoom.drag(by)) viewMoved();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::MiddleButton) return false;
        m_panFrom.reset();
        return true;
    }
    default:
        return false;
    }
}

QPointF frmphotoshop::drawingPoint(int x, int y) const {
    // A handler called with a point of its own draws there.
    if (Picture1->reportedPixel() != QPoint(x, y)) return QPointF(x, y);
    return Picture1->reportedAt();
}

// Everything on the area is redrawn at the new place; the text being
// typed keeps its place and size on the picture.
void frmphotoshop::viewMoved() {
    Picture1->update();
    if (!m_textBox) return;
    m_textBox->setFont(textBoxFont());
    fitTextBox();
}

// The letters as large on the screen as they will be on the picture: a
// point size takes the fraction a pixel size would round away.
QFont frmphotoshop::textBoxFont() const {
    QFont font = drawing::textFont(m_text.width);
    const qreal pictureToLogical = Picture1->pictureToWidget().m11();
    font.setPointSizeF(drawing::textPixelSize(m_text.width) * pictureToLogical * 72.0 /
                       Picture1->logicalDpiY());
    return font;
}

void frmphotoshop::showBoard(Board key) {
    finishText();
    cancelStroke();
    m_held.cancel();
    const Board next = Boards::afterKey(m_boards.shown(), key);
    m_boards.show(next, m_drawing, m_history);
    Picture1->setBoard(next);
}

QImage frmphotoshop::shownPicture() const {
    const raster::Surface* surface = Picture1->hDC();
    if (!surface) return {};
    if (!onBoard()) return surface->image();
    QImage board(surface->width(), surface->height(), QImage::Format_RGB32);
    board.fill(Boards::colour(m_boards.shown()));
    return board;
}
