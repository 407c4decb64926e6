// Dragging the window with edge snapping, panning a picture larger than
// the screen, the popup menu and closing by double-click.
#include "region/Fortdck.h"

#include "region/frmMainwn.h"
#include "shared/platform/windowplacement.h"

#include <QGuiApplication>
#include <QMouseEvent>

using units::cint;

QPointF Fortdck::clientPx(const QPointF& globalPx) const {
    // Measured from where the window was last put, not from where X11 or
    // Windows reports it: a move still on its way would count twice.
    return globalPx - QPointF(pos()) - QPointF(kBorderPx, kBorderPx);
}

QPointF Fortdck::pictureTwips(const QPointF& globalPx) const {
    const units::Screen s = screen();
    const QPointF c = clientPx(globalPx);
    return {s.toTwipsX(c.x()) - Imayulanpic.Left, s.toTwipsY(c.y()) - Imayulanpic.Top};
}

bool Fortdck::overPicture(const QPointF& globalPx) const {
    const QPointF c = clientPx(globalPx);
    const QRectF client(0, 0, width() - 2 * kBorderPx, height() - 2 * kBorderPx);
    const QRectF picture = pictureRectPx().translated(-kBorderPx, -kBorderPx);
    return client.contains(c) && picture.contains(c);
}

void Fortdck::reportMouse(const MouseReport& r) {
    const QPointF g = r.globalPosition();
    switch (r.kind) {
    case MouseReport::Kind::Down:
        routePress(r);
        break;
    case MouseReport::Kind::Move: {
        const bool onPicture =
            m_target == Target::Picture || (m_target == Target::None && overPicture(g));
        setCursor(onPicture ? Qt::SizeAllCursor : Qt::ArrowCursor);
        if (m_main.aids().crosshairs() == colouraids::Switch::On) update();
        if (m_target != Target::Picture) break;
        const QPointF t = pictureTwips(g);
        Imayulanpic_MouseMove(r.button, r.shift, t.x(), t.y());
        break;
    }
    case MouseReport::Kind::Up:
        if (r.event.buttons() == Qt::NoButton) m_target = Target::None;
        break;
    case MouseReport::Kind::DoubleClick:
        if (overPicture(g))
            Imayulanpic_DblClick();
        else
            Form_DblClick();
        break;
    }
}

void Fortdck::routePress(const MouseReport& r) {
    const QPointF g = r.globalPosition();
    if (m_target == Target::None) m_target = overPicture(g) ? Target::Picture : Target::Background;
    if (m_target == Target::Picture) {
        const QPointF t = pictureTwips(g);
        Imayulanpic_MouseDown(r.button, r.shift, t.x(), t.y());
    } else {
        const units::Screen s = screen();
        const QPointF c = clientPx(g);
        Form_MouseDown(r.button, r.shift, s.toTwipsX(c.x()), s.toTwipsY(c.y()));
    }
    // A popup menu may have taken the release with it.
    if (!(QGuiApplication::mouseButtons() & Qt::AllButtons)) m_target = Target::None;
}

void Fortdck::Imayulanpic_MouseDown(int button, int /*shift*/, double x, double y) {
    if (!PictureFitsScreen()) {
        ReloadPicture();
        GrabX = cint(x);
        GrabY = cint(y);
    } else if (button == 1) {
        OrigX = float(x);
        OrigY = float(y);
    }
    if (button == 2) m_main.prompts().PopupMenu(m_main.mnuCaptureMain);
}

void Fortdck::Form_MouseDown(int button, int /*shift*/, double /*x*/, double /*y*/) {
    if (button == 2) m_main.prompts().PopupMenu(m_main.mnuCaptureMain);
}

void Fortdck::Imayulanpic_MouseMove(int button, int /*shift*/, double x, double y) {
    if (button != 1) return;
    const units::Screen s = screen();
    if (PictureFitsScreen()) {
        // On Wayland the compositor places windows: it moves this one too, and
        // snapping to the screen's edges is its own.
        if (placement::moveWithPointer(*this)) return;
        const double top = Top();
        const EdgeSnap::Move across =
            memory.snapX.drag(Left(), Width(), s.Width(), x - OrigX, PixToHook);
        if (across.step != EdgeSnap::Step::Held) setLeft(across.start);
        if (EdgeSnap::endsTheMove(across.step)) return;
        const EdgeSnap::Move down =
            memory.snapY.drag(top, Height(), s.Height(), y - OrigY, PixToHook);
        if (down.step != EdgeSnap::Step::Held) setTop(down.start);
        return;
    }
    Imayulanpic.Left =
        panStart(cint(Imayulanpic.Left), Imayulanpic.Width, ScaleWidth(), cint(x - GrabX));
    Imayulanpic.Top =
        panStart(cint(Imayulanpic.Top), Imayulanpic.Height, ScaleHeight(), cint(y - GrabY));
    update();
}

void Fortdck::Imayulanpic_DblClick() {
    Unload();
}

void Fortdck::Form_DblClick() {
    Unload();
}
