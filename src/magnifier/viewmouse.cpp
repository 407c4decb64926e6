#include "magnifier/viewmouse.h"

#include "magnifier/Frmpictd.h"

#include <QMouseEvent>
#include <QWheelEvent>

void ViewMouse::wheel(const QWheelEvent& event) {
    // Some platforms turn a wheel with Shift into a sideways one.
    const QPoint d = event.angleDelta();
    if (event.modifiers().testFlag(Qt::ShiftModifier) &&
        m_form.aids.wheelBand(d.y() != 0 ? d.y() : d.x()))
        return;
    // Touchpads and high-resolution wheels report fractions of a notch.
    m_form.Imadpic_Wheel(notches(d.y()), event.position());
}

bool ViewMouse::overPicture(const QPointF& posPx) const {
    if (!m_form.Imadpic.Visible) return false;
    const units::Screen s = m_form.screen();
    const QPointF t(s.toTwipsX(posPx.x()), s.toTwipsY(posPx.y()));
    return m_form.Imadpic.rect().contains(t);
}

QPointF ViewMouse::toPictureTwips(const QPointF& posPx) const {
    const units::Screen s = m_form.screen();
    return {s.toTwipsX(posPx.x()) - m_form.Imadpic.Left,
            s.toTwipsY(posPx.y()) - m_form.Imadpic.Top};
}

void ViewMouse::updatePointer(const QPointF& posPx) {
    const bool onPicture = m_route.pointerOver(overPicture(posPx)) == MouseRoute::Target::Picture;
    m_form.setCursor(onPicture ? m_form.Imadpic.MousePointer : QCursor(Qt::ArrowCursor));
}

void ViewMouse::report(const MouseReport& r) {
    Frmpictd& f = m_form;
    using T = MouseRoute::Target;
    const QPointF pos = r.position();
    const QPointF t = toPictureTwips(pos);
    const bool over = overPicture(pos);
    switch (r.kind) {
    case MouseReport::Kind::Down:
        if (m_route.press(over) == T::Picture)
            f.Imadpic_MouseDown(r.button, r.shift, t.x(), t.y());
        else
            f.Form_MouseDown(r.button, r.shift, f.screen().toTwipsX(pos.x()),
                             f.screen().toTwipsY(pos.y()));
        break;
    case MouseReport::Kind::Move: {
        // The band stays while the picture scrolls, so the lines pass through it.
        f.canvas().pointerMoved(pos.toPoint(), f.Timgund->Enabled()
                                                   ? colouraids::PictureMotion::MovingByItself
                                                   : colouraids::PictureMotion::Still);
        const MouseRoute::Move move = m_route.move(r.event.buttons() != Qt::NoButton, over);
        if (move.missedRelease == T::Picture) f.Imadpic_MouseUp(0, r.shift, t.x(), t.y());
        if (move.to == T::Picture) f.Imadpic_MouseMove(r.button, r.shift, t.x(), t.y());
        break;
    }
    case MouseReport::Kind::Up:
        if (m_route.release(r.event.buttons() == Qt::NoButton) == T::Picture)
            f.Imadpic_MouseUp(r.button, r.shift, t.x(), t.y());
        break;
    case MouseReport::Kind::DoubleClick:
        if (m_route.doubleClick(over) == T::Picture)
            f.Imadpic_DblClick();
        else
            f.Form_DblClick();
        return;
    }
    updatePointer(pos);
}
