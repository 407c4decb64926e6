// Pixel steps for the editor's history: what a drag of the selected pixels
// changed, and how it is taken back or made again.
#include "magnifier/editor/clspotoshop.h"

#include "raster/blit.h"

using raster::blt;
using raster::Rop;
using raster::Surface;

Placement clspotoshop::placement() const {
    return {m.Outlines, m.Left,     m.Top, QPoint(m.RgnBox.left, m.RgnBox.top),
            m.WorkMode, m.BackColor};
}

std::optional<PixelStep> clspotoshop::stepSince(const Placement& before) const {
    const Placement now = placement();
    // Only lifted pixels that went somewhere else changed the picture; an
    // outline dragged alone changed nothing on it.
    if (now.Mode != SelMode::Lifted || now.Outline != before.Outline ||
        (now.Left == before.Left && now.Top == before.Top) || !m.BackBuf)
        return std::nullopt;
    const QSize box(boxWidth(), boxHeight());
    const QRect area = (originBox() | QRect(QPoint(before.Left, before.Top), box) |
                        QRect(QPoint(now.Left, now.Top), box)) &
                       picture();
    if (area.isEmpty()) return std::nullopt;
    return PixelStep{before, now, area, cleanPixels(area, before), cleanPixels(area, now)};
}

std::optional<PixelStep> clspotoshop::backColourStep(raster::Colour value) {
    if (m.WorkMode != SelMode::Lifted || value == m.BackColor || !m.BackBuf) {
        BackColor(value);
        return std::nullopt;
    }
    const Placement before = placement();
    const QRect area = originBox() & picture();
    QImage beforePixels = cleanPixels(area, before);
    BackColor(value);
    return PixelStep{before, placement(), area, std::move(beforePixels),
                     cleanPixels(area, placement())};
}

QImage clspotoshop::cleanPixels(const QRect& area, const Placement& at) const {
    auto compose = Surface::create(area);
    if (!compose) return {};
    if (at.Mode == SelMode::Lifted || at.Mode == SelMode::Pasted)
        composeDropped(compose.get(), at.Left, at.Top, droppedPixels().get());
    else
        blt(compose.get(), 0, 0, m.PicWidth, m.PicHeight, m.BackBuf.get(), 0, 0, Rop::Copy);
    return compose->image().copy();
}

void clspotoshop::applyStep(const PixelStep& step, bool forward) {
    if (placement() == (forward ? step.Before : step.After)) {
        restore(forward ? step.After : step.Before);
        return;
    }
    settle();
    auto pixels = Surface::adopt(forward ? step.AfterPixels : step.BeforePixels);
    if (!m.TargetDC || !pixels) return;
    const QRect& r = step.Area;
    blt(m.TargetDC, r.x(), r.y(), r.width(), r.height(), pixels.get(), 0, 0, Rop::Copy);
    m_ledger.targetChanged(r);
    m_written += r;
}

void clspotoshop::restore(const Placement& at) {
    if (at.Back != m.BackColor) BackColor(at.Back);
    m.Left = at.Left;
    m.Top = at.Top;
    m.WorkMode = at.Mode;
    switch (at.Mode) {
    case SelMode::Selected:
    case SelMode::Lifted:
        Display();
        break;
    case SelMode::Pasted:
        Paste();
        break;
    default:
        break;
    }
}

void clspotoshop::settle() {
    if (m.WorkMode == SelMode::Lifted) {
        Paste();
    } else if (m.WorkMode == SelMode::Selected) {
        present(m_ledger.plainFrame(), [this](Surface* compose) {
            blt(compose, 0, 0, m.PicWidth, m.PicHeight, m.BackBuf.get(), 0, 0, Rop::Copy);
        });
    }
    // Idle: nothing of this outline is pasted again when the next opens.
    m.WorkMode = SelMode::Idle;
}
