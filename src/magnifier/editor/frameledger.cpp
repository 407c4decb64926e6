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

FramePlan FrameLedger::traceFrame() const {
    return {FramePlan::Kind::Trace, m_ink, QRect(), m_generation};
}

FramePlan FrameLedger::boxesFrame(const QRect& fixed, const QRect& moving) const {
    return {FramePlan::Kind::Boxes, fixed, moving, m_generation};
}

FramePlan FrameLedger::plainFrame() const {
    return {FramePlan::Kind::Plain, QRect(), QRect(), m_generation};
}

QRegion FrameLedger::areaFor(const FramePlan& next, const QRect& picture) const {
    if (m_composition == Composition::WholeFrame || m_shown.kind == FramePlan::Kind::Unknown)
        return QRegion(picture);

    QRegion area;
    const bool sameBasis = next.kind == m_shown.kind && next.stamp == m_shown.stamp;
    if (next.kind == FramePlan::Kind::Trace && sameBasis) {
        // Only the line just drawn separates this frame from the one shown.
        area = QRegion(m_freshInk);
    } else {
        area = QRegion(m_shown.moving) + next.moving;
        if (!sameBasis || next.fixed != m_shown.fixed) area += QRegion(m_shown.fixed) + next.fixed;
    }
    return area & picture;
}

void FrameLedger::shown(const FramePlan& frame) {
    m_shown = frame;
    if (frame.kind == FramePlan::Kind::Trace) m_freshInk = QRect();
}
