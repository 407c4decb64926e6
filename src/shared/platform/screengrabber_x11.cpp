#include "shared/platform/screengrabber_x11.h"
#include "shared/platform/screengrabber_qt.h"
#include "shared/platform/screengrabber_x11_segment.h"
#include "shared/platform/x11connection.h"

#include <QGuiApplication>
#include <QPainter>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/render.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

// The server would count a shared pixmap as memory of ours on top of the
// segment, so it lives only while its picture is held.
void X11ScreenGrabber::freeServerPicture(X11ScreenGrabber::Segment* s) {
    if (!s->pixmap) return;
    if (s->pool->alive) {
        xcb_render_free_picture(s->pool->conn, s->picture);
        xcb_free_pixmap(s->pool->conn, s->pixmap);
    }
    s->pixmap = s->picture = 0;
    s->drawnSize = {};
}

namespace {
constexpr std::size_t kSpareSegments = 2;
constexpr std::size_t kSharedFromBytes = 256 * 1024;

void destroySegment(X11ScreenGrabber::Segment* s) {
    X11ScreenGrabber::freeServerPicture(s);
    if (s->pool->alive) {
        xcb_shm_detach(s->pool->conn, s->seg);
        xcb_flush(s->pool->conn);
    }
    shmdt(s->addr);
    delete s;
}

void releaseSegment(void* info) {
    auto* s = static_cast<X11ScreenGrabber::Segment*>(info);
    auto& held = s->pool->held;
    held.erase(std::remove(held.begin(), held.end(), s), held.end());
    X11ScreenGrabber::freeServerPicture(s);
    if (!s->pool->alive) {
        destroySegment(s);
        return;
    }
    // The latest released fits the next capture likeliest; after the
    // monitor changed, an older one is of the size it had before.
    auto& spare = s->pool->spare;
    if (spare.size() >= kSpareSegments) {
        destroySegment(spare.front());
        spare.erase(spare.begin());
    }
    spare.push_back(s);
}
} // namespace

X11ScreenGrabber::X11ScreenGrabber(xcb_connection_t* connection)
    : m_conn(connection), m_pool(std::make_shared<Pool>()) {
    m_pool->conn = m_conn;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data;
    m_root = screen->root;
    m_rootSize = QSize(screen->width_in_pixels, screen->height_in_pixels);
    readPixelLayout();
    // A segment holds the pixels as they are; only plain 32-bit ones are a
    // picture as they stand.
    if (!m_layout.isPlainRgb32()) return;
    xcb_shm_query_version_reply_t* v =
        xcb_shm_query_version_reply(m_conn, xcb_shm_query_version(m_conn), nullptr);
    m_shm = v != nullptr;
    m_sharedPixmaps = v && v->shared_pixmaps && v->pixmap_format == XCB_IMAGE_FORMAT_Z_PIXMAP &&
                      screen->root_depth == 24;
    std::free(v);
    queryRender();
}

X11ScreenGrabber::~X11ScreenGrabber() {
    for (Segment* s : m_pool->held)
        X11ScreenGrabber::freeServerPicture(s);
    m_pool->held.clear();
    for (Segment* s : m_pool->spare)
        destroySegment(s);
    m_pool->spare.clear();
    m_pool->alive = false;
}

void X11ScreenGrabber::readPixelLayout() {
    const xcb_setup_t* setup = xcb_get_setup(m_conn);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    m_layout.mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth != screen->root_depth) continue;
        m_layout.bitsPerPixel = f.data->bits_per_pixel;
        m_layout.scanlinePad = f.data->scanline_pad;
    }
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id != screen->root_visual) continue;
            m_layout.redMask = v.data->red_mask;
            m_layout.greenMask = v.data->green_mask;
            m_layout.blueMask = v.data->blue_mask;
            const bool mapped = v.data->_class != XCB_VISUAL_CLASS_TRUE_COLOR &&
                                v.data->_class != XCB_VISUAL_CLASS_DIRECT_COLOR;
            if (mapped && screen->root_depth <= 8) m_colormap = screen->default_colormap;
        }
    }
}

void X11ScreenGrabber::readPalette() {
    // The colour map changes as programs allocate colours, so it is read
    // with each capture: 256 entries at most.
    const int entries = 1 << std::min(m_layout.bitsPerPixel, 8);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i)
        pixels[std::size_t(i)] = std::uint32_t(i);
    xcb_query_colors_reply_t* r = xcb_query_colors_reply(
        m_conn, xcb_query_colors(m_conn, m_colormap, std::uint32_t(entries), pixels.data()),
        nullptr);
    m_layout.palette.clear();
    if (!r) return;
    const xcb_rgb_t* c = xcb_query_colors_colors(r);
    for (int i = 0; i < xcb_query_colors_colors_length(r); ++i)
        m_layout.palette.push_back(qRgb(c[i].red >> 8, c[i].green >> 8, c[i].blue >> 8));
    std::free(r);
}

void X11ScreenGrabber::trim() {
    // The latest released is the one the next view of the same monitor
    // uses; another size never matches it, and goes with the next trim.
    auto& spare = m_pool->spare;
    if (spare.size() <= 1) return;
    Segment* latest = spare.back();
    spare.pop_back();
    for (Segment* s : spare)
        destroySegment(s);
    spare.assign(1, latest);
}

QImage X11ScreenGrabber::drawableLike(const QImage& like) {
    const std::size_t bytes = std::size_t(like.width()) * like.height() * 4;
    Segment* segment =
        m_rgb24 && m_shm && like.format() == QImage::Format_RGB32 && bytes >= kSharedFromBytes
            ? attachSegment(bytes)
            : nullptr;
    if (!segment) return ScreenGrabber::drawableLike(like);
    m_pool->held.push_back(segment);
    return QImage(static_cast<uchar*>(segment->addr), like.width(), like.height(), like.width() * 4,
                  QImage::Format_RGB32, releaseSegment, segment);
}

X11ScreenGrabber::Segment* X11ScreenGrabber::attachSegment(std::size_t bytes) {
    auto& spare = m_pool->spare;
    for (auto it = spare.begin(); it != spare.end(); ++it) {
        if ((*it)->bytes == bytes) {
            Segment* s = *it;
            spare.erase(it);
            return s;
        }
    }
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return nullptr;
    void* addr = shmat(id, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    const quint32 seg = xcb_generate_id(m_conn);
    xcb_generic_error_t* err =
        xcb_request_check(m_conn, xcb_shm_attach_checked(m_conn, seg, id, 0));
    // Marked for removal at once: the kernel frees it when both sides have
    // detached, even if this process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (err) {
        std::free(err);
        shmdt(addr);
        m_shm = false;
        return nullptr;
    }
    return new Segment{seg, addr, bytes, m_pool, 0, 0, {}};
}

QImage X11ScreenGrabber::grabNow(const QRect& area, QString& /*whyNot*/) {
    return grabRoot(area);
}

QSize X11ScreenGrabber::rootSize(unsigned int cookie) {
    QSize size = m_rootSize;
    if (xcb_get_geometry_reply_t* g =
            xcb_get_geometry_reply(m_conn, xcb_get_geometry_cookie_t{cookie}, nullptr)) {
        size = QSize(g->width, g->height);
        std::free(g);
    }
    return size;
}

QImage X11ScreenGrabber::plainImage(unsigned int cookie, const QSize& size) {
    xcb_get_image_reply_t* reply =
        xcb_get_image_reply(m_conn, xcb_get_image_cookie_t{cookie}, nullptr);
    if (!reply) return {};
    if (m_colormap) readPalette();
    QImage got = decodeX11Pixels(xcb_get_image_data(reply),
                                 std::size_t(xcb_get_image_data_length(reply)), size, m_layout);
    std::free(reply);
    return got;
}

QImage X11ScreenGrabber::grabRoot(const QRect& rootArea) {
    // The desktop grows and shrinks with its monitors, so its size is read
    // with every capture, in the same round trip as the pixels: the pixels
    // asked for within the last known size are kept when that size still
    // holds, and asked for again when it does not.
    QRect visible;
    Segment* segment = nullptr;
    QImage got;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const unsigned int geometry = xcb_get_geometry(m_conn, m_root).sequence;
        visible = rootArea & QRect(QPoint(0, 0), m_rootSize);
        const std::size_t bytes = std::size_t(visible.width()) * visible.height() * 4;
        // A small area comes as fast through an ordinary request, and would
        // take the place of a screen-sized segment among the spare ones.
        if (!visible.isEmpty() && m_shm && bytes >= kSharedFromBytes)
            segment = attachSegment(bytes);
        unsigned int pixels = 0;
        if (segment)
            pixels =
                xcb_shm_get_image(m_conn, m_root, visible.x(), visible.y(), visible.width(),
                                  visible.height(), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment->seg, 0)
                    .sequence;
        else if (!visible.isEmpty())
            pixels = xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, visible.x(),
                                   visible.y(), visible.width(), visible.height(), ~0u)
                         .sequence;
        if (attempt == 0) {
            xcb_flush(m_conn);
            runMeanwhile();
        }
        const QSize size = rootSize(geometry);
        bool answered = false;
        if (segment) {
            xcb_shm_get_image_reply_t* reply =
                xcb_shm_get_image_reply(m_conn, xcb_shm_get_image_cookie_t{pixels}, nullptr);
            answered = reply != nullptr;
            std::free(reply);
        } else if (pixels) {
            got = plainImage(pixels, visible.size());
        }
        const bool stale = size != m_rootSize;
        m_rootSize = size;
        if (segment && (!answered || stale)) {
            releaseSegment(segment);
            segment = nullptr;
        }
        if (!stale) break;
        got = QImage();
        visible = rootArea & QRect(QPoint(0, 0), m_rootSize);
    }
    if (segment) {
        // The segment becomes the picture; it is detached with its last holder.
        m_pool->held.push_back(segment);
        got = QImage(static_cast<uchar*>(segment->addr), visible.width(), visible.height(),
                     visible.width() * 4, QImage::Format_RGB32, releaseSegment, segment);
    } else if (got.isNull() && !visible.isEmpty()) {
        got = QtScreenGrabber::read(visible);
    }
    if (visible == rootArea && !got.isNull()) return got;

    // Partly off the screen: the rest is black.
    QImage out(rootArea.size().expandedTo({0, 0}), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::black);
    if (!got.isNull()) {
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(visible.topLeft() - rootArea.topLeft(), got);
    }
    return out;
}
