#pragma once

#include "shared/capture.h"

#include <QCursor>
#include <QRectF>

// A windowless image of a form: its place and size are in twips, and it
// draws its picture stretched to that size while the form paints. The
// enlarged picture is never materialised.
struct ImageControl {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    Picture picture;
    bool Visible = true;
    QCursor MousePointer;

    QRectF rect() const { return {Left, Top, Width, Height}; }
    void setRect(const QRectF& r) {
        Left = r.left();
        Top = r.top();
        Width = r.width();
        Height = r.height();
    }
    void setSize(const QSizeF& s) {
        Width = s.width();
        Height = s.height();
    }
    // Place and size, all four, scaled by the factor of each axis.
    void scale(const QSizeF& by) {
        setRect({Left * by.width(), Top * by.height(), Width * by.width(), Height * by.height()});
    }
};
