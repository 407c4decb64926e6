#pragma once

#include <QPointF>
#include <QSizeF>
#include <QTransform>

// The editor's own zoom and pan over its picture, in device pixels. At 1x
// the picture fills the screen, pixel for pixel; each wheel notch enlarges
// it by a fixed step about the pointer, up to 16x, and a panned picture
// always covers the whole screen.
class EditorZoom {
  public:
    static constexpr double Step = 1.25;
    static constexpr double Largest = 16;
    // 1.25 to the 13th passes 16: the last notch stops there.
    static constexpr int LargestLevel = 13;

    // The picture, as large as the screen it fills; back at 1x.
    void setPicture(QSizeF size);
    // Notches above 1x, and the scale they give.
    int level() const { return m_level; }
    double scale() const;
    // The picture point at the screen's top-left corner.
    QPointF origin() const { return m_origin; }

    // Each returns whether the screen changed.
    // `notches` larger (negative: smaller) about the screen point `at`:
    // its picture point stays under it unless the picture would stop
    // covering the screen.
    bool zoom(int notches, QPointF at);
    // The picture dragged by `by` screen pixels.
    bool drag(QPointF by);
    // A pan key: an eighth of the screen, or a whole one, towards
    // `dx`, `dy` (+1: showing more of the right or the bottom).
    bool step(int dx, int dy, bool wholeScreen);
    // Back to 1x.
    bool reset();

    QPointF toPicture(QPointF screen) const;
    // Picture pixels to screen pixels.
    QTransform pictureToScreen() const;

  private:
    bool moveTo(QPointF origin);

    QSizeF m_size;
    int m_level = 0;
    QPointF m_origin;
};
