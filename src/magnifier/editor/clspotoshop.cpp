#include "magnifier/editor/clspotoshop.h"

#include "raster/blit.h"

#include <utility>

using raster::blt;
using raster::Rop;

clspotoshop::clspotoshop(Composition composition) : m_ledger(composition) {
    m.PointCount = 0;
    m.Points.clear();
}

// The surfaces and the region go with their owning fields; the target is the
// editor's and stays as it is.
clspotoshop::~clspotoshop() = default;

void clspotoshop::WorkMode(SelMode value) {
    m.UndoMode = m.WorkMode;
    m.WorkMode = value;
}

void clspotoshop::BackColor(raster::Colour value) {
    m.BackColor = value;
    RefreshMasks();
}

void clspotoshop::Trans(bool value) {
    m.Trans = value;
    RefreshMasks();
}

void clspotoshop::OpenRgn(raster::Surface* target, qint32 width, qint32 height) {
    Paste();
    ++m.Outlines;
    if (!m.BackBuf) {
        m.TargetDC = target;
        m.BackBuf = raster::Surface::create(QSize(width, height));
        m.SketchBuf = raster::Surface::create(QSize(width, height));
    }
    InitSketch(false, width, height);
    blt(m.SketchBuf.get(), 0, 0, width, height, m.TargetDC, 0, 0, Rop::Copy);
    m_ledger.sketchOverwritten();
    // The editor draws its rubber band on the target from here on.
    m_ledger.forget();
    m.WorkMode = SelMode::Opened;
}

void clspotoshop::InitSketch(bool restore, qint32 width, qint32 height) {
    if (!restore) {
        m.SavedWidth = width;
        m.SavedHeight = height;
        return;
    }
    m.PicWidth = m.SavedWidth;
    m.PicHeight = m.SavedHeight;
    blt(m.BackBuf.get(), 0, 0, m.PicWidth, m.PicHeight, m.SketchBuf.get(), 0, 0, Rop::Copy);
    if (m.SketchBuf) m.SketchBuf->fillRect(picture(), raster::White);
    m_ledger.sketchCleared();
    m_ledger.forget();
}

void clspotoshop::addPoint(qint32 x, qint32 y, bool isFirst) {
    if (isFirst) {
        m.FirstPoint = QPoint(x, y);
        m.ClickState = ClickHeld::First;
        return;
    }
    if (m.ClickState == ClickHeld::First) {
        m.SecondPoint = QPoint(x, y);
        m.ClickState = ClickHeld::Second;
        return;
    }
    if (m.ClickState == ClickHeld::Second) {
        // A press with at most one move is a click, not a trace: the trace and
        // its clean background begin only with the third point.
        m.ClickState = ClickHeld::None;
        m.PointCount = 0;
        m.Points.clear();
        InitSketch(true, 0, 0);
        addPoint(m.FirstPoint.x(), m.FirstPoint.y(), false);
        addPoint(m.SecondPoint.x(), m.SecondPoint.y(), false);
    }
    if (x < 0)
        x = 0;
    else if (x > m.PicWidth)
        x = m.PicWidth - 1;
    if (y < 0)
        y = 0;
    else if (y > m.PicHeight)
        y = m.PicHeight - 1;
    m.Points.emplace_back(x, y);
    ++m.PointCount;
    DrawLastSegment();
}

void clspotoshop::endSel() {
    if (m.ClickState != ClickHeld::None) {
        m.WorkMode = SelMode::Opened;
        return;
    }
    if (m.Points.empty()) return;
    m.Points.push_back(m.Points.front());
    ++m.PointCount;
    DrawLastSegment();
    MakeRgn();
    m.Left = m.RgnBox.left;
    m.Top = m.RgnBox.top;
    m.UndoLeft = m.Left;
    m.UndoTop = m.Top;
    m.UndoMode = SelMode::Opened;
    Display();
}

SelMode clspotoshop::UnDo() {
    std::swap(m.Left, m.UndoLeft);
    std::swap(m.Top, m.UndoTop);
    std::swap(m.WorkMode, m.UndoMode);
    switch (m.WorkMode) {
    case SelMode::Pasted:
        Paste();
        break;
    case SelMode::Selected:
        EndRgnMove();
        break;
    case SelMode::Opened:
        present(m_ledger.plainFrame(), [this](raster::Surface* compose) {
            blt(compose, 0, 0, m.PicWidth, m.PicHeight, m.BackBuf.get(), 0, 0, Rop::Copy);
        });
        break;
    default:
        break;
    }
    return m.WorkMode;
}

void clspotoshop::MoveStart(qint32 x, qint32 y) {
    m.GrabDX = x - m.Left;
    m.GrabDY = y - m.Top;
    EndClipMove(true, m.Left, m.Top, m.WorkMode);
}

void clspotoshop::MoveClipTo(qint32 x, qint32 y) {
    m.Left = x - m.GrabDX;
    m.Top = y - m.GrabDY;
    m.WorkMode = SelMode::Lifted;
    Display();
}

void clspotoshop::MoveRgnTo(qint32 x, qint32 y) {
    m.Left = x - m.GrabDX;
    m.Top = y - m.GrabDY;
    Display();
}

void clspotoshop::EndClipMove(bool isSet, qint32 left, qint32 top, SelMode mode) {
    if (isSet) {
        m.MoveStartLeft = left;
        m.MoveStartTop = top;
        m.MoveStartMode = mode;
        return;
    }
    // A drag that ends where the pixels came from is no step to undo.
    if (m.Left != m.RgnBox.left || m.Top != m.RgnBox.top) {
        m.UndoLeft = m.MoveStartLeft;
        m.UndoTop = m.MoveStartTop;
        m.UndoMode = m.MoveStartMode;
    }
}

void clspotoshop::EndRgnMove() {
    if (m.WorkMode == SelMode::Lifted) {
        EndClipMove(false, 0, 0, SelMode::Idle);
        return;
    }
    const qint32 dx = m.RgnBox.left - m.Left;
    const qint32 dy = m.RgnBox.top - m.Top;
    if (dx == 0 && dy == 0) return;
    // Unclamped, so an outline dragged off the picture and back is whole again.
    for (QPoint& p : m.Points)
        p -= QPoint(dx, dy);
    m.UndoLeft = m.RgnBox.left;
    m.UndoTop = m.RgnBox.top;
    m.UndoMode = m.WorkMode;
    MakeRgn();
}

bool clspotoshop::isInClip(qint32 x, qint32 y) const {
    if ((m.WorkMode != SelMode::Selected && m.WorkMode != SelMode::Lifted) || !m.Rgn) return false;
    return raster::contains(*m.Rgn,
                            QPoint(x - (m.Left - m.RgnBox.left), y - (m.Top - m.RgnBox.top)));
}

void clspotoshop::RefreshMasks() {
    if (m.WorkMode == SelMode::Idle || m.WorkMode == SelMode::Opened) return;
    const SelMode keep = m.WorkMode;
    MakeRgn();
    m.WorkMode = keep;
}
