#pragma once

#include <QRect>
#include <QRegion>
#include <QtGlobal>

// How a frame reaches the target: over the whole picture every time, or only
// over the part where it differs from the frame the target already shows.
enum class Composition { ChangedArea, WholeFrame };

// Where a composed frame may differ from the clean background. Outside
// `fixed` and `moving` every frame is the background itself, which is what
// makes a partial composition exact.
struct FramePlan {
    enum class Kind { Unknown, Plain, Trace, Boxes };
    Kind kind = Kind::Unknown;
    QRect fixed;       // Trace: the inked part of the sketch; Boxes: the origin fill
    QRect moving;      // Boxes: the box at the selection's current place
    quint64 stamp = 0; // what `fixed` was drawn from
    // Boxes: where the marching dashes can change a pixel, none when the frame
    // shows no dashes. Frames that differ only in the dashes' phase differ
    // nowhere else.
    QRegion dashes;
};

// Remembers what the target shows and answers which part of it the next
// frame has to rewrite.
class FrameLedger {
  public:
    explicit FrameLedger(Composition composition) : m_composition(composition) {}

    Composition composition() const { return m_composition; }

    // The target or the background may have changed behind the ledger's back:
    // the next frame is written whole.
    void forget() { m_shown = FramePlan{}; }
    // Someone else drew over `area` of the target: the next frame rewrites it.
    void targetChanged(const QRect& area);
    void sketchCleared();
    void sketchInked(const QRect& area);
    void sketchOverwritten();
    void masksRebuilt() { ++m_generation; }

    FramePlan traceFrame() const;
    FramePlan boxesFrame(const QRect& fixed, const QRect& moving, const QRegion& dashes = {}) const;
    FramePlan plainFrame() const;

    QRegion areaFor(const FramePlan& next, const QRect& picture) const;
    void shown(const FramePlan& frame);

  private:
    Composition m_composition;
    FramePlan m_shown;
    QRect m_ink;
    QRect m_freshInk;
    QRegion m_overdrawn;
    quint64 m_generation = 0;
};
