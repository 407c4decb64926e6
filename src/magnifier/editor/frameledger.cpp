#include "magnifier/editor/frameledger.h"

namespace {

// Stands for "the sketch may hold anything anywhere".
const QRect everywhere(-(1 << 28), -(1 << 28), 1 << 29, 1 << 29);

} // namespace

void FrameLedger::sketchCleared() {
    m_ink = m_freshInk = QRect();
    ++m_generation;
}

void FrameLedger::sketchInked(const QRect& area) {
    m_ink |= area;
    m_freshInk |= area;
}

void FrameLedger::sketchOverwritten() {
    m_ink = m_freshInk = everywhere;
    ++m_generation;
}

void FrameLedger::targetChanged(const QRect& area) {
    m_overdrawn += area;
    // A band dragged about for long would otherwise leave a region of
    // thousands of slivers to walk at every frame.
    if (m_overdrawn.rectCount() > 64) m_overdrawn = m_overdrawn.boundingRect();
}

FramePlan FrameLedger::traceFrame() const {
    return {FramePlan::Kind::Trace, m_ink, QRect(), m_generation, {}};
}

FramePlan FrameLedger::boxesFrame(const QRect& fixed, const QRect& moving,
                                  const QRegion& dashes) const {
    return {FramePlan::Kind::Boxes, fixed, moving, m_generation, dashes};
}

FramePlan FrameLedger::plainFrame() const {
    return {FramePlan::Kind::Plain, QRect(), QRect(), m_generation, {}};
}

QRegion FrameLedger::areaFor(const FramePlan& next, const QRect& picture) const {
    if (m_composition == Composition::WholeFrame || m_shown.kind == FramePlan::Kind::Unknown)
        return QRegion(picture);

    QRegion area = m_overdrawn;
    const bool sameBasis = next.kind == m_shown.kind && next.stamp == m_shown.stamp;
    const bool samePlace =
        sameBasis && next.fixed == m_shown.fixed && next.moving == m_shown.moving;
    if (next.kind == FramePlan::Kind::Trace && sameBasis) {
        // Only the line just drawn separates this frame from the one shown.
        area += m_freshInk;
    } else if (next.kind == FramePlan::Kind::Boxes && samePlace && !next.dashes.isEmpty() &&
               next.dashes == m_shown.dashes) {
        // Only the dashes marched on.
        area += next.dashes;
    } else {
        area += QRegion(m_shown.moving) + next.moving;
        if (!sameBasis || next.fixed != m_shown.fixed) area += QRegion(m_shown.fixed) + next.fixed;
    }
    return area & picture;
}

void FrameLedger::shown(const FramePlan& frame) {
    m_shown = frame;
    m_overdrawn = QRegion();
    if (frame.kind == FramePlan::Kind::Trace) m_freshInk = QRect();
}
