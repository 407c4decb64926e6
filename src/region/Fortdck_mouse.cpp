// Dragging the window with edge snapping, panning a picture larger than
// the screen, the popup menu and closing by double-click.
#include "Fortdck.h"

#include "frmMainwn.h"
#include "platform/windowplacement.h"

#include <QGuiApplication>
#include <QMouseEvent>

#include <cmath>
#include <cstdlib>

using units::cint;

QPointF Fortdck::clientPx(const QPointF& globalPx) const {
    // Measured from where the window was last put, not from where the
    // window system reports it: a move still on its way would count twice.
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
        // Where the compositor places windows it moves this one too, and
        // snapping to the screen's edges is its own.
        if (placement::moveWithPointer(*this)) return;
        const double P = PixToHook;
        const double L = Left();
        const double T = Top();
        const double W = Width();
        const double H = Height();
        if (memory.HookedX != 0) {
            if (std::abs(x - OrigX) > P) {
                setLeft(L + x - OrigX);
                memory.HookedX = 0;
                return;
            }
        } else if (0 < L && L < P) {
            setLeft(0);
            memory.HookedX = -1;
            return;
        } else if (0 < s.Width() - L - W && s.Width() - L - W < P) {
            setLeft(s.Width() - W);
            memory.HookedX = -1;
            return;
        } else {
            setLeft(L + x - OrigX);
        }
        if (memory.HookedY != 0) {
            if (std::abs(y - OrigY) > P) {
                setTop(T + y - OrigY);
                memory.HookedY = 0;
            }
        } else if (0 < T && T < P) {
            setTop(0);
            memory.HookedY = -1;
        } else if (0 < s.Height() - T - H && s.Height() - T - H < P) {
            setTop(s.Height() - H);
            memory.HookedY = -1;
        } else {
            setTop(T + y - OrigY);
        }
        return;
    }

    // The picture follows the pointer until one of its edges reaches the
    // matching edge of the window; where it is smaller than the window it
    // stays.
    std::int32_t dx = cint(x - GrabX);
    std::int32_t dy = cint(y - GrabY);
    const std::int32_t L = cint(Imayulanpic.Left);
    const std::int32_t T = cint(Imayulanpic.Top);
    const std::int32_t aL = std::abs(L);
    const std::int32_t aT = std::abs(T);
    const std::int32_t R = cint(Imayulanpic.Width - aL - ScaleWidth());
    const std::int32_t B = cint(Imayulanpic.Height - aT - ScaleHeight());
    if (L >= 1) {
        dx = 0;
    } else {
        if (dx < 0 && R < std::abs(dx)) dx = -R;
        if (dx >= 0 && aL < dx) dx = aL;
    }
    if (T >= 1) {
        dy = 0;
    } else {
        if (dy >= 0 && aT < dy) dy = aT;
        if (dy < 0 && B < std::abs(dy)) dy = -B;
    }
    Imayulanpic.Left = L + dx;
    Imayulanpic.Top = T + dy;
    update();
}

void Fortdck::Imayulanpic_DblClick() {
    Unload();
}

void Fortdck::Form_DblClick() {
    Unload();
}
