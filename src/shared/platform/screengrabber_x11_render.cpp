// Drawing a captured picture enlarged on the server, from the shared
// segment it was captured into. The server scales with RENDER's nearest
// filter straight into the window, so a view needs no window-sized paint
// buffer: after a pause, fresh memory for one would cost about as much as
// the whole rest of the view.
#include "shared/platform/screengrabber_x11.h"
#include "shared/platform/screengrabber_x11_segment.h"

#include "shared/stretch.h"

#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
// RENDER's fixed point numbers: 16.16.
constexpr double kFixedOne = 65536.0;
// A scale that fixed point holds only rounded drifts by up to a 65536th of
// a pixel per pixel; in tiles of this many pixels, each with its own exact
// origin, it stays far below the step of any scale a view uses.
constexpr int kTile = 128;

bool exactInFixed(double v) {
    return v * kFixedOne == std::floor(v * kFixedOne);
}

std::vector<xcb_rectangle_t> rectangles(const QRegion& region) {
    std::vector<xcb_rectangle_t> out;
    for (const QRect& r : region)
        out.push_back({qint16(r.x()), qint16(r.y()), quint16(r.width()), quint16(r.height())});
    return out;
}

// Source = M * (destination pixel centre within the tile). The server takes
// the source pixel under floor(v - 1/65536) of its fixed point v; rounding
// the matrix up, and lifting the origin by two units, makes that the pixel
// under the exact centre as stretchNearest() takes it, ties included.
xcb_render_transform_t tileTransform(double fx, double fy, double originX, double originY) {
    const auto up = [](double v) { return xcb_render_fixed_t(std::ceil(v * kFixedOne)); };
    return {up(fx), 0,      up(originX) + 2,
            0,      up(fy), up(originY) + 2,
            0,      0,      xcb_render_fixed_t(kFixedOne)};
}
} // namespace

void X11ScreenGrabber::queryRender() {
    if (!m_sharedPixmaps) return;
    xcb_render_query_version_reply_t* v =
        xcb_render_query_version_reply(m_conn, xcb_render_query_version(m_conn, 0, 11), nullptr);
    // Transforms and filters came with 0.6.
    const bool usable = v && (v->major_version > 0 || v->minor_version >= 6);
    std::free(v);
    if (!usable) return;
    xcb_render_query_pict_formats_reply_t* f =
        xcb_render_query_pict_formats_reply(m_conn, xcb_render_query_pict_formats(m_conn), nullptr);
    if (!f) return;
    for (auto it = xcb_render_query_pict_formats_formats_iterator(f); it.rem;
         xcb_render_pictforminfo_next(&it)) {
        const xcb_render_pictforminfo_t& p = *it.data;
        const xcb_render_directformat_t& d = p.direct;
        if (p.type == XCB_RENDER_PICT_TYPE_DIRECT && p.depth == 24 && d.red_shift == 16 &&
            d.red_mask == 0xFF && d.green_shift == 8 && d.green_mask == 0xFF && d.blue_shift == 0 &&
            d.blue_mask == 0xFF && d.alpha_mask == 0) {
            m_rgb24 = p.id;
            break;
        }
    }
    std::free(f);
}

bool X11ScreenGrabber::drawsOnServer() const {
    return m_rgb24 != 0;
}

bool X11ScreenGrabber::drawsOnServer(const QImage& picture) const {
    return m_rgb24 && picture.format() == QImage::Format_RGB32 && segmentOf(picture);
}

X11ScreenGrabber::Segment* X11ScreenGrabber::segmentOf(const QImage& picture) const {
    for (Segment* s : m_pool->held)
        if (s->addr == picture.constBits()) return s;
    return nullptr;
}

quint32 X11ScreenGrabber::sourcePicture(Segment& s, const QImage& picture) {
    if (s.pixmap && s.drawnSize == picture.size()) return s.picture;
    freeServerPicture(&s);
    s.pixmap = xcb_generate_id(m_conn);
    xcb_shm_create_pixmap(m_conn, s.pixmap, m_root, picture.width(), picture.height(), 24, s.seg,
                          0);
    s.picture = xcb_generate_id(m_conn);
    // Pixels past the edge repeat the edge, as stretchNearest() clamps.
    const uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    xcb_render_create_picture(m_conn, s.picture, s.pixmap, m_rgb24, XCB_RENDER_CP_REPEAT, &repeat);
    s.drawnSize = picture.size();
    return s.picture;
}

quint32 X11ScreenGrabber::windowFormat(quint32 window) {
    if (window == m_lastWindow) return m_lastWindowFormat;
    quint32 format = 0;
    if (xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
            m_conn, xcb_get_window_attributes(m_conn, window), nullptr)) {
        const xcb_visualid_t visual = a->visual;
        std::free(a);
        if (xcb_render_query_pict_formats_reply_t* f = xcb_render_query_pict_formats_reply(
                m_conn, xcb_render_query_pict_formats(m_conn), nullptr)) {
            for (auto sc = xcb_render_query_pict_formats_screens_iterator(f); sc.rem && !format;
                 xcb_render_pictscreen_next(&sc))
                for (auto d = xcb_render_pictscreen_depths_iterator(sc.data); d.rem && !format;
                     xcb_render_pictdepth_next(&d))
                    for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem;
                         xcb_render_pictvisual_next(&v))
                        if (v.data->visual == visual) {
                            format = v.data->format;
                            break;
                        }
            std::free(f);
        }
    }
    m_lastWindow = window;
    m_lastWindowFormat = format;
    return format;
}

quint32 X11ScreenGrabber::windowPicture(WId window, const QRegion& clip) {
    const quint32 format = window ? windowFormat(quint32(window)) : 0;
    if (!format) return 0;
    const xcb_render_picture_t dst = xcb_generate_id(m_conn);
    xcb_render_create_picture(m_conn, dst, xcb_window_t(window), format, 0, nullptr);
    const std::vector<xcb_rectangle_t> clipRects = rectangles(clip);
    xcb_render_set_picture_clip_rectangles(m_conn, dst, 0, 0, uint32_t(clipRects.size()),
                                           clipRects.data());
    return dst;
}

void X11ScreenGrabber::fillOver(WId window, const QRegion& clip, const QList<QRect>& rects,
                                QRgb colour) {
    QRegion within;
    for (const QRect& r : rects)
        within += r;
    within &= clip;
    if (within.isEmpty() || !drawsOnServer()) return;
    const quint32 dst = windowPicture(window, clip);
    if (!dst) return;
    // RENDER's colours are premultiplied.
    const auto c16 = [a = qAlpha(colour)](int c) { return quint16((c * a * 257 + 127) / 255); };
    const xcb_render_color_t c{c16(qRed(colour)), c16(qGreen(colour)), c16(qBlue(colour)),
                               quint16(qAlpha(colour) * 257)};
    const std::vector<xcb_rectangle_t> r = rectangles(within);
    xcb_render_fill_rectangles(m_conn, XCB_RENDER_PICT_OP_OVER, dst, c, uint32_t(r.size()),
                               r.data());
    xcb_render_free_picture(m_conn, dst);
    xcb_flush(m_conn);
}

bool X11ScreenGrabber::drawStretched(WId window, const QRegion& clip, const QRectF& target,
                                     const QImage& picture, const QRectF& source,
                                     const QColor& back, Filter filter) {
    Segment* segment = window && drawsOnServer(picture) ? segmentOf(picture) : nullptr;
    if (!segment) return false;
    const quint32 dst = windowPicture(window, clip);
    if (!dst) return false;

    const quint32 src = sourcePicture(*segment, picture);
    static const char kNearest[] = "nearest";
    static const char kBilinear[] = "bilinear";
    if (filter == Filter::Smooth)
        xcb_render_set_picture_filter(m_conn, src, sizeof kBilinear - 1, kBilinear, 0, nullptr);
    else
        xcb_render_set_picture_filter(m_conn, src, sizeof kNearest - 1, kNearest, 0, nullptr);

    const bool drawn = !target.isEmpty() && !source.isEmpty();
    const QRect covered = drawn ? stretch::coveredPixels(target) : QRect();
    const std::vector<xcb_rectangle_t> backRects = rectangles(clip - covered);
    if (!backRects.empty()) {
        const auto c16 = [](int c) { return quint16(c * 257); };
        const xcb_render_color_t colour{c16(back.red()), c16(back.green()), c16(back.blue()),
                                        0xFFFF};
        xcb_render_fill_rectangles(m_conn, XCB_RENDER_PICT_OP_SRC, dst, colour,
                                   uint32_t(backRects.size()), backRects.data());
    }
    const QRect area = covered & clip.boundingRect();
    if (drawn && !area.isEmpty()) {
        const double fx = stretch::step(source.width(), target.width());
        const double fy = stretch::step(source.height(), target.height());
        const int tileW = exactInFixed(fx) ? area.width() : kTile;
        const int tileH = exactInFixed(fy) ? area.height() : kTile;
        for (int y = area.top(); y <= area.bottom(); y += tileH) {
            for (int x = area.left(); x <= area.right(); x += tileW) {
                const int w = std::min(tileW, area.right() + 1 - x);
                const int h = std::min(tileH, area.bottom() + 1 - y);
                // The source point of the tile's corner; the server adds
                // half a pixel's worth of the scale for each centre.
                const double ox = source.left() + (x - target.left()) * fx;
                const double oy = source.top() + (y - target.top()) * fy;
                const xcb_render_transform_t m = tileTransform(fx, fy, ox, oy);
                xcb_render_set_picture_transform(m_conn, src, m);
                xcb_render_composite(m_conn, XCB_RENDER_PICT_OP_SRC, src, XCB_NONE, dst, 0, 0, 0, 0,
                                     qint16(x), qint16(y), quint16(w), quint16(h));
            }
        }
    }
    xcb_render_free_picture(m_conn, dst);
    xcb_flush(m_conn);
    return true;
}
