// Panning, the context menu, double-clicks and the keys that end a view.
#include "Frmpictd.h"

#include "mouseargs.h"
#include "panning.h"
#include "picturebox.h"
#include "platform/virtualkey.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

using units::cint;

bool Frmpictd::overPicture(const QPointF& posPx) const {
    if (!Imadpic.Visible) return false;
    const units::Screen s = screen();
    const QPointF t(s.toTwipsX(posPx.x()), s.toTwipsY(posPx.y()));
    return Imadpic.rect().contains(t);
}

QPointF Frmpictd::toPictureTwips(const QPointF& posPx) const {
    const units::Screen s = screen();
    return {s.toTwipsX(posPx.x()) - Imadpic.Left, s.toTwipsY(posPx.y()) - Imadpic.Top};
}

void Frmpictd::updatePointer(const QPointF& posPx) {
    const bool onPicture = m_route.pointerOver(overPicture(posPx)) == MouseRoute::Target::Picture;
    setCursor(onPicture ? Imadpic.MousePointer : QCursor(Qt::ArrowCursor));
}

void Frmpictd::reportMouse(const MouseReport& r) {
    using T = MouseRoute::Target;
    const QPointF pos = r.position();
    const QPointF t = toPictureTwips(pos);
    const bool over = overPicture(pos);
    switch (r.kind) {
    case MouseReport::Kind::Down:
        if (m_route.press(over) == T::Picture)
            Imadpic_MouseDown(r.button, r.shift, t.x(), t.y());
        else
            Form_MouseDown(r.button, r.shift, screen().toTwipsX(pos.x()),
                           screen().toTwipsY(pos.y()));
        break;
    case MouseReport::Kind::Move: {
        const MouseRoute::Move move = m_route.move(r.event.buttons() != Qt::NoButton, over);
        if (move.missedRelease == T::Picture) Imadpic_MouseUp(0, r.shift, t.x(), t.y());
        if (move.to == T::Picture) Imadpic_MouseMove(r.button, r.shift, t.x(), t.y());
        break;
    }
    case MouseReport::Kind::Up:
        if (m_route.release(r.event.buttons() == Qt::NoButton) == T::Picture)
            Imadpic_MouseUp(r.button, r.shift, t.x(), t.y());
        break;
    case MouseReport::Kind::DoubleClick:
        if (m_route.doubleClick(over) == T::Picture)
            Imadpic_DblClick();
        else
            Form_DblClick();
        return;
    }
    updatePointer(pos);
}

void Frmpictd::wheelEvent(QWheelEvent* event) {
    // Touchpads and high-resolution wheels report fractions of a notch.
    Imadpic_Wheel(m_wheel.take(event->angleDelta().y()), event->position());
    event->accept();
}

void Frmpictd::keyPressEvent(QKeyEvent* event) {
    // By the key, not the character it types: the key labelled X ends the
    // view under a Cyrillic layout as well.
    Form_KeyDown(int(virtualkey::of(*event)), mouseargs::shift(event->modifiers()));
}

void Frmpictd::Imadpic_MouseDown(int button, int /*shift*/, double x, double y) {
    Imadpic.MousePointer = Imagxs2.MousePointer;
    DragStartX = cint(x);
    DragStartY = cint(y);
    if (button == 2) prompts().PopupMenu(mnkz);
}

void Frmpictd::Imadpic_MouseMove(int button, int /*shift*/, double x, double y) {
    if (button != 1) return;
    Imadpic.Left = panning::dragged(cint(Imadpic.Left), cint(Imadpic.Width), cint(ScaleWidth()),
                                    cint(x) - DragStartX);
    Imadpic.Top = panning::dragged(cint(Imadpic.Top), cint(Imadpic.Height), cint(ScaleHeight()),
                                   cint(y) - DragStartY);
    refreshView();
}

void Frmpictd::Imadpic_MouseUp(int, int, double, double) {
    Imadpic.MousePointer = Imagxs1.MousePointer;
}

void Frmpictd::Form_MouseDown(int button, int, double, double) {
    if (button == 2) prompts().PopupMenu(mnkz);
}

void Frmpictd::P1_MouseDown(int button, int, double, double) {
    if (button == 2) prompts().PopupMenu(mnkz);
}

void Frmpictd::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == 27 || keyCode == 88) EndView(); // Esc, X
}

void Frmpictd::Imadpic_DblClick() {
    // As the menu's "上下自动滚动", but carrying on from where it stopped.
    toggleScrolling(ScrollStart::Resume);
}

void Frmpictd::Form_DblClick() {
    clearPictures();
    motion.ScrollTop = float(WindowTop());
    Timgund->setEnabled(false);
    Timtiula->setEnabled(false);
    hide();
}

void Frmpictd::P1_DblClick() {
    Form_DblClick();
}

void Frmpictd::P1_Click() {
    Timtiula->setEnabled(false);
}
