#pragma once

#include "shared/colouraids.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>

class QPainter;

// The crosshairs and the reading band over the view's picture, where the
// pointer is: what to draw, and which pixels a pointer move changes, so
// that only those are drawn again.
class ViewOverlay {
  public:
    explicit ViewOverlay(const ColourAids& aids) : m_aids(aids) {}

    // One colour laid over some rectangles of the view (logical pixels).
    struct Layer {
        QList<QRect> rects;
        QRgb colour = 0;
    };
    // The band's shade first, the crosshairs over it; none when both are off.
    QList<Layer> layers(const QRect& view) const;

    // The pointer at `pos` (the view's logical pixels); the view's pixels
    // whose overlay this changes.
    QRegion pointerMoved(QPoint pos, const QRect& view, colouraids::PictureMotion motion);
    // The band comes on where the pointer is.
    void bandShown() { m_band.place(m_pointer.y()); }
    QPoint pointer() const { return m_pointer; }

    // Lays the layers over the painter's device within `dirty`.
    void paint(QPainter& painter, const QRect& view, const QRegion& dirty) const;

  private:
    const ColourAids& m_aids;
    QPoint m_pointer;
    colouraids::BandPlace m_band;
};
