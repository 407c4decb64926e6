#include "magnifier/viewoverlay.h"

#include <QPainter>

namespace {
QRegion regionOf(const QList<QRect>& rects) {
    QRegion r;
    for (const QRect& rect : rects)
        r += rect;
    return r;
}
} // namespace

QList<ViewOverlay::Layer> ViewOverlay::layers(const QRect& view) const {
    using namespace colouraids::overlay;
    QList<Layer> out;
    if (m_aids.band() == ColourAids::Switch::On) {
        const auto shades = bandShades(view, m_band.centre(), m_aids.bandPercent());
        out.append({{shades.begin(), shades.end()}, kShadeColour});
    }
    if (m_aids.crosshairs() == ColourAids::Switch::On) {
        const auto arms = crosshairArms(view, m_pointer);
        out.append({{arms.begin(), arms.end()}, kCrosshairColour});
    }
    return out;
}

QRegion ViewOverlay::pointerMoved(QPoint pos, const QRect& view, colouraids::PictureMotion motion) {
    const QList<Layer> before = layers(view);
    m_pointer = pos;
    if (m_aids.band() == ColourAids::Switch::On) m_band.follow(pos.y(), motion);
    const QList<Layer> after = layers(view);
    // A pixel covered before and after by the same layer keeps its colour.
    QRegion changed;
    for (qsizetype i = 0; i < before.size() && i < after.size(); ++i)
        changed += regionOf(before[i].rects).xored(regionOf(after[i].rects));
    return changed;
}

void ViewOverlay::paint(QPainter& painter, const QRect& view, const QRegion& dirty) const {
    const QList<Layer> all = layers(view);
    if (all.isEmpty()) return;
    painter.save();
    painter.setClipRegion(dirty);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const Layer& layer : all)
        for (const QRect& r : layer.rects)
            if (!r.isEmpty()) painter.fillRect(r, QColor::fromRgba(layer.colour));
    painter.restore();
}
