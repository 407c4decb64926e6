#include "magnifier/editor/clspotoshop.h"

#include "raster/blit.h"
#include "raster/tiles.h"

#include <QPainterPath>

#include <algorithm>

using raster::blt;
using raster::Rop;
using raster::Surface;

void clspotoshop::TracePath(Surface* dc, qint32 dx, qint32 dy) {
    if (!dc || m.Points.empty()) return;
    const QPoint shift(dx, dy);
    QPainterPath path;
    path.moveTo(m.Points.front() - shift);
    for (auto p = m.Points.begin() + 1; p != m.Points.end(); ++p)
        path.lineTo(*p - shift);
    dc->setPath(path);
}

// Builds the selection from the trace and the clean background: the region,
// the mask (clear inside), the lifted pixels with a white edge, the bare
// outline and the back-colour fill, all the size of the region's box plus one.
void clspotoshop::MakeRgn() {
    Surface* sketch = m.SketchBuf.get();

    TracePath(sketch, 0, 0);
    m.Rgn.reset();
    if (sketch && sketch->hasPath()) m.Rgn = sketch->pathToRegion();
    m.RgnBox = raster::boundingBox(m.Rgn.value_or(QRegion()));
    const qint32 w = boxWidth();
    const qint32 h = boxHeight();
    const qint32 left = m.RgnBox.left;
    const qint32 top = m.RgnBox.top;
    m.MaxSide = std::max(w, h);

    m.FillBuf.reset();
    m.MaskBuf.reset();
    m.ClipBuf.reset();
    m.OutlineBuf.reset();
    m.MaskBuf = Surface::create(QSize(w, h), raster::Format::Mono);
    m.ClipBuf = Surface::create(QSize(w, h));
    m.OutlineBuf = Surface::create(QSize(w, h));
    m.FillBuf = Surface::create(QSize(w, h), raster::Format::Mono);

    // Which pixels under the box have exactly the back colour.
    if (m.BackBuf) {
        const raster::Colour previous = m.BackBuf->backgroundColour();
        m.BackBuf->setBackgroundColour(m.BackColor);
        blt(m.FillBuf.get(), 0, 0, w, h, m.BackBuf.get(), left, top, Rop::Copy);
        m.BackBuf->setBackgroundColour(previous);
    }

    // The shape, edge included, black on white with the box corner at 0, 0.
    if (sketch) {
        sketch->setBackgroundColour(raster::White);
        sketch->fillRect(picture(), raster::White);
    }
    TracePath(sketch, left, top);
    if (sketch) sketch->strokeAndFillPath(raster::Black, 1, raster::Black);

    // Only the part on the picture can be selected.
    if (m.ClipBuf) m.ClipBuf->fillRect(QRect(0, 0, w, h), raster::White);
    m.VisBox = raster::intersect(raster::Box{0, 0, m.PicWidth, m.PicHeight}, m.RgnBox);
    const raster::Box visible = m.VisBox.shifted(-left, -top);
    if (m.ClipBuf) m.ClipBuf->fillRect(visible.toRect(), raster::Black);
    blt(sketch, 0, 0, w, h, m.ClipBuf.get(), 0, 0, Rop::Or);
    if (m.Trans) blt(sketch, 0, 0, w, h, m.FillBuf.get(), 0, 0, Rop::Or);

    blt(m.MaskBuf.get(), 0, 0, w, h, sketch, 0, 0, Rop::Copy);

    // The selected pixels, with a white edge so that a lifted selection shows
    // where it ends.
    blt(sketch, 0, 0, w, h, sketch, 0, 0, Rop::NotCopy);
    blt(sketch, visible.left, visible.top, w, h, m.BackBuf.get(), m.VisBox.left, m.VisBox.top,
        Rop::And);
    TracePath(sketch, left, top);
    if (sketch) sketch->strokePath(raster::White, 1);
    blt(m.ClipBuf.get(), 0, 0, w, h, sketch, 0, 0, Rop::Copy);

    if (sketch) {
        sketch->setBackgroundColour(raster::Black);
        sketch->fillRect(picture(), raster::Black);
    }
    TracePath(sketch, left, top);
    if (sketch) sketch->strokePath(raster::White, 1);
    blt(m.OutlineBuf.get(), 0, 0, w, h, sketch, 0, 0, Rop::Copy);
    // Coarse enough to compose a few hundred pieces per frame at most, fine
    // enough to leave the inside of a large selection alone.
    m_outlineTiles = m.OutlineBuf ? raster::nonBlackTiles(*m.OutlineBuf, 16) : QRegion();

    // Back colour inside, black outside.
    if (m.FillBuf) {
        m.FillBuf->setFormat(raster::Format::Colour);
        m.FillBuf->fillRect(QRect(0, 0, w, h), m.BackColor);
    }
    blt(m.FillBuf.get(), 0, 0, w, h, m.FillBuf.get(), 0, 0, Rop::NotCopy);
    blt(m.FillBuf.get(), 0, 0, w, h, m.MaskBuf.get(), 0, 0, Rop::NotOr);

    m.WorkMode = SelMode::Selected;
    m_ledger.sketchOverwritten();
    m_ledger.masksRebuilt();
}
