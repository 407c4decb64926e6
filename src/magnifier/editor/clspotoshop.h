#pragma once

#include "magnifier/editor/frameledger.h"
#include "raster/box.h"
#include "raster/colour.h"
#include "raster/surface.h"

#include <QPoint>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The selection engine of the annotation editor. It records an outline over a
// frozen picture, turns it into a selection shown with marching dashes, lets
// the outline or the selected pixels be dragged, pastes them and undoes one
// step, writing every frame onto a target surface the editor owns and shows.
//
// The target is taken to show the last frame written here, apart from what
// the editor draws on it itself (its rubber band) and announces through
// TargetChanged; the next frame written here covers those areas as well.
// What the selection is; the numbers are what the editor's status box shows.
enum class SelMode : qint16 {
    Idle = 0,     // no outline
    Opened = 1,   // an outline being drawn, or one that made no selection
    Selected = 3, // a selection shown with marching dashes
    Lifted = 4,   // the selected pixels lifted and being dragged
    Pasted = 5,   // the lifted pixels pasted where they lie
};

// How far a free-hand press has got: a press and at most one move are a
// click, held back until a third point makes it a trace.
enum class ClickHeld : qint32 { None = 0, First = 1, Second = 2 };

// Which outline the selected pixels belong to, where they are and what the
// selection is: what a step of the editor's history puts back.
struct Placement {
    qint32 Outline = 0; // outlines opened before this one
    qint32 Left = 0;
    qint32 Top = 0;
    QPoint Origin; // where the pixels were cut from
    SelMode Mode = SelMode::Idle;
    raster::Colour Back = raster::Black; // what their old place shows when lifted
    bool operator==(const Placement&) const = default;
};

// Pixels dragged from one place to another: the selection before and after,
// and the picture in the area they touched, both without outlines.
struct PixelStep {
    Placement Before;
    Placement After;
    QRect Area;
    QImage BeforePixels;
    QImage AfterPixels;
};

class clspotoshop {
  public:
    // Everything the object knows; the editor reads only WorkMode, but
    // tests and tools look at the rest.
    struct Fields {
        SelMode WorkMode = SelMode::Idle;
        qint32 Left = 0;
        qint32 Top = 0;
        raster::Box RgnBox;
        raster::Box VisBox;
        std::optional<QRegion> Rgn;
        qint32 PicWidth = 0;
        qint32 PicHeight = 0;
        qint32 MaxSide = 0;
        raster::Colour BackColor = raster::Black;
        bool Trans = false;
        std::vector<QPoint> Points;
        qint32 PointCount = 0;
        raster::Surface* TargetDC = nullptr;
        qint32 UndoLeft = 0;
        qint32 UndoTop = 0;
        SelMode UndoMode = SelMode::Idle;
        qint32 GrabDX = 0;
        qint32 GrabDY = 0;
        ClickHeld ClickState = ClickHeld::None;
        QPoint FirstPoint;
        QPoint SecondPoint;
        qint32 SavedWidth = 0;
        qint32 SavedHeight = 0;
        qint16 AntPhase = 0;
        qint32 MoveStartLeft = 0;
        qint32 MoveStartTop = 0;
        SelMode MoveStartMode = SelMode::Idle;
        qint32 Outlines = 0; // outlines opened so far

        std::unique_ptr<raster::Surface> BackBuf;
        std::unique_ptr<raster::Surface> SketchBuf;
        std::unique_ptr<raster::Surface> MaskBuf;
        std::unique_ptr<raster::Surface> ClipBuf;
        std::unique_ptr<raster::Surface> OutlineBuf;
        std::unique_ptr<raster::Surface> FillBuf;
        std::unique_ptr<raster::Surface> ComposeBuf;
    };

    explicit clspotoshop(Composition composition = Composition::ChangedArea);
    ~clspotoshop();
    clspotoshop(const clspotoshop&) = delete;
    clspotoshop& operator=(const clspotoshop&) = delete;

    void WorkMode(SelMode value);
    SelMode WorkMode() const { return m.WorkMode; }
    qint32 Left() const { return m.Left; }
    qint32 Top() const { return m.Top; }
    void BackColor(raster::Colour value);
    void Trans(bool value);
    bool Trans() const { return m.Trans; }
    void endSel();
    void addPoint(qint32 x, qint32 y, bool isFirst);
    void OpenRgn(raster::Surface* target, qint32 width, qint32 height);
    SelMode UnDo();
    void Display();
    void MoveStart(qint32 x, qint32 y);
    void MoveClipTo(qint32 x, qint32 y);
    void MoveRgnTo(qint32 x, qint32 y);
    void EndClipMove(bool isSet, qint32 left, qint32 top, SelMode mode);
    void EndRgnMove();
    bool isInClip(qint32 x, qint32 y) const;
    void Paste();
    void PaintPic();
    // The editor drew over `area` of the target itself; the next frame this
    // object writes rewrites that part too.
    void TargetChanged(const QRect& area) { m_ledger.targetChanged(area); }

    // The editor's history: where the selection is now; the pixel step from
    // `before` to now when pixels were dragged; that step taken back
    // (`forward` false) or made again. While the selection is as the step
    // left it, the selection itself goes back; otherwise the selection is
    // dropped and the step's pixels are put on the picture.
    Placement placement() const;
    std::optional<PixelStep> stepSince(const Placement& before) const;
    // BackColor, and the step it makes where lifted pixels left their place.
    std::optional<PixelStep> backColourStep(raster::Colour value);
    void applyStep(const PixelStep& step, bool forward);

    const Fields& fields() const { return m; }
    // The part of the target written since the last call, for the editor to
    // repaint no more than that.
    QRegion takeWritten() { return std::exchange(m_written, QRegion()); }

  private:
    void InitSketch(bool restore, qint32 width, qint32 height);
    void DrawLastSegment();
    void MakeRgn();
    void RefreshMasks();
    void TracePath(raster::Surface* dc, qint32 dx, qint32 dy);

    qint32 boxWidth() const { return m.RgnBox.right - m.RgnBox.left + 1; }
    qint32 boxHeight() const { return m.RgnBox.bottom - m.RgnBox.top + 1; }
    QRect originBox() const { return QRect(m.RgnBox.left, m.RgnBox.top, boxWidth(), boxHeight()); }
    QRect currentBox() const { return QRect(m.Left, m.Top, boxWidth(), boxHeight()); }
    QRect picture() const { return QRect(0, 0, m.PicWidth, m.PicHeight); }
    std::unique_ptr<raster::Surface> dashedOutline(const QRect& window, bool inverted) const;
    // The picture with the selected pixels dropped at (left, top), their
    // place in the back colour.
    std::unique_ptr<raster::Surface> droppedPixels() const;
    void composeDropped(raster::Surface* compose, qint32 left, qint32 top,
                        const raster::Surface* pixels) const;
    QImage cleanPixels(const QRect& area, const Placement& at) const;
    void restore(const Placement& at);
    // Drops the selection, its pixels staying where they are.
    void settle();
    void present(const FramePlan& plan, const std::function<void(raster::Surface*)>& compose);

    Fields m;
    FrameLedger m_ledger;
    QRegion m_written;
    // Where the dashes can show, in tiles about the outline, box coordinates.
    QRegion m_outlineTiles;
};
