#include "magnifier/editor/clspotoshop.h"

#include "raster/blit.h"

using raster::blt;
using raster::Rop;
using raster::Surface;

// Composes the frame over each rectangle of the area that needs it, with the
// same steps a whole-picture frame takes, and copies it onto the target.
void clspotoshop::present(const FramePlan& plan,
                          const std::function<void(raster::Surface*)>& compose) {
    if (!m.TargetDC) return;
    const QRegion area = m_ledger.areaFor(plan, picture());
    bool complete = true;
    for (const QRect& r : area) {
        m.ComposeBuf = Surface::create(r);
        complete = complete && m.ComposeBuf;
        compose(m.ComposeBuf.get());
        blt(m.TargetDC, r.x(), r.y(), r.width(), r.height(), m.ComposeBuf.get(), r.x(), r.y(),
            Rop::Copy);
        m.ComposeBuf.reset();
    }
    m_written += area;
    if (complete)
        m_ledger.shown(plan);
    else
        m_ledger.forget();
}

void clspotoshop::DrawLastSegment() {
    if (!m.TargetDC || m.Points.empty()) return;
    const QPoint last = m.Points.back();
    Surface* sketch = m.SketchBuf.get();
    if (m.PointCount == 1) {
        if (sketch) sketch->moveTo(last);
        return;
    }
    if (sketch) {
        const QPoint from = sketch->position();
        sketch->lineTo(last, raster::Black, 1);
        m_ledger.sketchInked(QRect(from, last).normalized().adjusted(-1, -1, 1, 1));
    }
    // Each trace pixel shows the inverse of the background under it.
    const qint32 w = m.PicWidth;
    const qint32 h = m.PicHeight;
    present(m_ledger.traceFrame(), [&](Surface* compose) {
        blt(compose, 0, 0, w, h, m.BackBuf.get(), 0, 0, Rop::Copy);
        blt(compose, 0, 0, w, h, sketch, 0, 0, Rop::And);
        auto inverse = compose ? Surface::create(compose->window()) : nullptr;
        blt(inverse.get(), 0, 0, w, h, m.BackBuf.get(), 0, 0, Rop::Copy);
        blt(inverse.get(), 0, 0, w, h, sketch, 0, 0, Rop::NotOr);
        blt(compose, 0, 0, w, h, inverse.get(), 0, 0, Rop::Or);
    });
}

// The outline cut by 45-degree stripes of period 8; the phase moves them one
// pixel per frame, which makes the dashes march. Built over just the window
// (box coordinates) that a frame needs, since the stripes cost per pixel.
std::unique_ptr<Surface> clspotoshop::dashedOutline(const QRect& window, bool inverted) const {
    auto dashes = Surface::create(window & QRect(0, 0, boxWidth(), boxHeight()));
    if (!dashes) return nullptr;
    const QRect r = dashes->window();
    blt(dashes.get(), r.x(), r.y(), r.width(), r.height(), m.OutlineBuf.get(), r.x(), r.y(),
        Rop::Copy);
    dashes->drawAntiDiagonals(m.AntPhase, 8, 2 * m.MaxSide, raster::Black);
    if (inverted)
        blt(dashes.get(), r.x(), r.y(), r.width(), r.height(), dashes.get(), r.x(), r.y(),
            Rop::NotCopy);
    return dashes;
}

void clspotoshop::Display() {
    if (m.WorkMode != SelMode::Selected && m.WorkMode != SelMode::Lifted) return;
    const qint32 w = boxWidth();
    const qint32 h = boxHeight();
    const bool lifted = m.WorkMode == SelMode::Lifted;
    const Rop last = lifted ? Rop::And : Rop::Or;
    // Whole frames take the dashes over the whole box, the reference the
    // windowed ones are held to.
    std::unique_ptr<Surface> boxDashes;
    if (m_ledger.composition() == Composition::WholeFrame)
        boxDashes = dashedOutline(QRect(0, 0, w, h), lifted);

    const FramePlan plan = m_ledger.boxesFrame(lifted ? originBox() : QRect(), currentBox(),
                                               m_outlineTiles.translated(m.Left, m.Top));
    present(plan, [&](Surface* compose) {
        const qint32 pw = m.PicWidth;
        const qint32 ph = m.PicHeight;
        if (lifted) {
            blt(compose, 0, 0, pw, ph, m.BackBuf.get(), 0, 0, Rop::Copy);
            blt(compose, m.RgnBox.left, m.RgnBox.top, w, h, m.MaskBuf.get(), 0, 0, Rop::And);
            blt(compose, m.RgnBox.left, m.RgnBox.top, w, h, m.FillBuf.get(), 0, 0, Rop::Or);
            blt(compose, m.Left, m.Top, w, h, m.MaskBuf.get(), 0, 0, Rop::And);
            blt(compose, m.Left, m.Top, w, h, m.ClipBuf.get(), 0, 0, Rop::Or);
        } else {
            if (compose) compose->fillRect(picture(), raster::White);
            blt(compose, m.Left, m.Top, w, h, m.OutlineBuf.get(), 0, 0, Rop::NotCopy);
            blt(compose, 0, 0, pw, ph, m.BackBuf.get(), 0, 0, Rop::And);
        }
        if (boxDashes) {
            blt(compose, m.Left, m.Top, w, h, boxDashes.get(), 0, 0, last);
        } else if (compose) {
            const auto dashes =
                dashedOutline(compose->window().translated(-m.Left, -m.Top), lifted);
            blt(compose, m.Left, m.Top, w, h, dashes.get(), 0, 0, last);
        }
    });
    m.AntPhase = (m.AntPhase + 1) & 7;
}

std::unique_ptr<Surface> clspotoshop::droppedPixels() const {
    const qint32 w = boxWidth();
    const qint32 h = boxHeight();
    // The selected pixels without their white edge.
    auto pixels = Surface::create(QSize(w, h));
    blt(pixels.get(), 0, 0, w, h, m.OutlineBuf.get(), 0, 0, Rop::Copy);
    blt(pixels.get(), 0, 0, w, h, m.MaskBuf.get(), 0, 0, Rop::NotCopy);
    blt(pixels.get(), m.VisBox.left - m.RgnBox.left, m.VisBox.top - m.RgnBox.top, w, h,
        m.BackBuf.get(), m.VisBox.left, m.VisBox.top, Rop::And);
    return pixels;
}

void clspotoshop::composeDropped(Surface* compose, qint32 left, qint32 top,
                                 const Surface* pixels) const {
    const qint32 w = boxWidth();
    const qint32 h = boxHeight();
    blt(compose, 0, 0, m.PicWidth, m.PicHeight, m.BackBuf.get(), 0, 0, Rop::Copy);
    blt(compose, m.RgnBox.left, m.RgnBox.top, w, h, m.MaskBuf.get(), 0, 0, Rop::And);
    blt(compose, m.RgnBox.left, m.RgnBox.top, w, h, m.FillBuf.get(), 0, 0, Rop::Or);
    blt(compose, left, top, w, h, m.MaskBuf.get(), 0, 0, Rop::And);
    blt(compose, left, top, w, h, pixels, 0, 0, Rop::Or);
}

void clspotoshop::Paste() {
    if (m.WorkMode == SelMode::Idle) return;
    const auto pixels = droppedPixels();
    present(m_ledger.boxesFrame(originBox(), currentBox()),
            [&](Surface* compose) { composeDropped(compose, m.Left, m.Top, pixels.get()); });

    m.UndoLeft = m.Left;
    m.UndoTop = m.Top;
    m.UndoMode = m.WorkMode;
    m.WorkMode = SelMode::Pasted;
}

// A frame is only ever held while it is composed, so a repaint between frames
// leaves the target as it is.
void clspotoshop::PaintPic() {
    if (!m.ComposeBuf || !m.TargetDC) return;
    const QRect r = m.ComposeBuf->window() & picture();
    blt(m.TargetDC, r.x(), r.y(), r.width(), r.height(), m.ComposeBuf.get(), r.x(), r.y(),
        Rop::Copy);
    m_written += r;
}
