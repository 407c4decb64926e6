#pragma once

#include "magnifier/editor/clspotoshop.h"
#include "raster/surface.h"

#include <QList>
#include <QPoint>

#include <memory>

// A frozen picture with a different colour in every pixel, held as the
// editor holds it, and the selection engine working on it.
struct EditorFixture {
    static constexpr int Width = 64;
    static constexpr int Height = 48;

    static raster::Colour colourAt(int x, int y) {
        return 0x400000u | raster::Colour(y * 5) << 8 | raster::Colour(x * 4 + 1);
    }

    static std::unique_ptr<raster::Surface> picture(int w = Width, int h = Height) {
        auto s = raster::Surface::create(QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                s->fillRect(QRect(x, y, 1, 1), colourAt(x % Width, y % Height));
        return s;
    }

    explicit EditorFixture(Composition composition = Composition::ChangedArea, int w = Width,
                           int h = Height)
        : target(picture(w, h)), sel(composition), w(w), h(h) {}

    void open() { sel.OpenRgn(target.get(), w, h); }

    // A press, the moves and the release of one outline.
    void trace(const QList<QPoint>& points) {
        open();
        for (qsizetype i = 0; i < points.size(); ++i)
            sel.addPoint(points[i].x(), points[i].y(), i == 0);
        sel.endSel();
    }

    void drag(QPoint from, QPoint to, bool pixels) {
        sel.MoveStart(from.x(), from.y());
        pixels ? sel.MoveClipTo(to.x(), to.y()) : sel.MoveRgnTo(to.x(), to.y());
        pixels ? sel.EndClipMove(false, 0, 0, SelMode::Idle) : sel.EndRgnMove();
    }

    raster::Colour at(int x, int y) const { return target->pixel(QPoint(x, y)); }

    std::unique_ptr<raster::Surface> target;
    clspotoshop sel;
    int w;
    int h;
};

inline QList<QPoint> rectangle(QPoint a, QPoint c) {
    return {a, QPoint(c.x(), a.y()), c, QPoint(a.x(), c.y()), a};
}
