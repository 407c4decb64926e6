#include "screengrabber_x11.h"
#include "screengrabber_qt.h"

#include <QGuiApplication>
#include <QPainter>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection())
        return std::make_unique<X11ScreenGrabber>(x11->connection());
    return std::make_unique<QtScreenGrabber>();
}

X11ScreenGrabber::X11ScreenGrabber(xcb_connection_t* connection) : m_conn(connection)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data;
    m_root = screen->root;
    m_rootSize = QSize(screen->width_in_pixels, screen->height_in_pixels);
    if (screen->root_depth != 24 && screen->root_depth != 32)
        return;
    xcb_shm_query_version_reply_t* v =
        xcb_shm_query_version_reply(m_conn, xcb_shm_query_version(m_conn), nullptr);
    m_shm = v != nullptr;
    std::free(v);
}

X11ScreenGrabber::~X11ScreenGrabber() { releaseSegment(); }

WId X11ScreenGrabber::desktopWindow() { return m_root; }

bool X11ScreenGrabber::ensureSegment(std::size_t bytes)
{
    if (m_shmAddr && m_shmSize >= bytes)
        return true;
    releaseSegment();
    m_shmId = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (m_shmId < 0)
        return false;
    m_shmAddr = shmat(m_shmId, nullptr, 0);
    if (m_shmAddr == reinterpret_cast<void*>(-1)) {
        m_shmAddr = nullptr;
        shmctl(m_shmId, IPC_RMID, nullptr);
        return false;
    }
    m_seg = xcb_generate_id(m_conn);
    xcb_generic_error_t* err =
        xcb_request_check(m_conn, xcb_shm_attach_checked(m_conn, m_seg, m_shmId, 0));
    // Marked for removal at once: the kernel frees it when both sides detach,
    // even if this process dies.
    shmctl(m_shmId, IPC_RMID, nullptr);
    if (err) {
        std::free(err);
        shmdt(m_shmAddr);
        m_shmAddr = nullptr;
        return false;
    }
    m_shmSize = bytes;
    return true;
}

void X11ScreenGrabber::releaseSegment()
{
    if (!m_shmAddr)
        return;
    xcb_shm_detach(m_conn, m_seg);
    xcb_flush(m_conn);
    shmdt(m_shmAddr);
    m_shmAddr = nullptr;
    m_shmSize = 0;
}

QPoint X11ScreenGrabber::originOnRoot(WId window, bool client)
{
    xcb_window_t w = xcb_window_t(window);
    if (w == 0 || w == m_root)
        return {0, 0};
    if (!client) {
        // The outer frame is the ancestor that is a direct child of the root.
        for (;;) {
            xcb_query_tree_reply_t* t =
                xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, w), nullptr);
            if (!t)
                break;
            const xcb_window_t parent = t->parent;
            std::free(t);
            if (parent == m_root || parent == 0)
                break;
            w = parent;
        }
    }
    xcb_translate_coordinates_reply_t* r = xcb_translate_coordinates_reply(
        m_conn, xcb_translate_coordinates(m_conn, w, m_root, 0, 0), nullptr);
    if (!r)
        return {0, 0};
    const QPoint p(r->dst_x, r->dst_y);
    std::free(r);
    return p;
}

QImage X11ScreenGrabber::grab(WId window, bool client, const QRect& area)
{
    const QRect rootArea = area.translated(originOnRoot(window, client));
    return grabRoot(rootArea);
}

QImage X11ScreenGrabber::grabRoot(const QRect& rootArea)
{
    QImage out(rootArea.size().expandedTo({0, 0}), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const QRect visible = rootArea & QRect(QPoint(0, 0), m_rootSize);
    if (visible != rootArea || visible.isEmpty())
        out.fill(Qt::black);
    if (visible.isEmpty())
        return out;

    const std::size_t bytes = std::size_t(visible.width()) * visible.height() * 4;
    if (!m_shm || !ensureSegment(bytes)) {
        QtScreenGrabber fallback;
        const QImage got = fallback.grab(0, true, visible);
        QPainter(&out).drawImage(visible.topLeft() - rootArea.topLeft(), got);
        return out;
    }
    xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(
        m_conn,
        xcb_shm_get_image(m_conn, m_root, visible.x(), visible.y(), visible.width(),
                          visible.height(), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, m_seg, 0),
        nullptr);
    if (!reply)
        return out;
    std::free(reply);

    const auto* src = static_cast<const uchar*>(m_shmAddr);
    const int rowBytes = visible.width() * 4;
    const QPoint at = visible.topLeft() - rootArea.topLeft();
    if (at.isNull() && out.bytesPerLine() == rowBytes && visible.size() == out.size()) {
        std::memcpy(out.bits(), src, bytes);
    } else {
        for (int y = 0; y < visible.height(); ++y)
            std::memcpy(out.scanLine(at.y() + y) + at.x() * 4, src + y * rowBytes, rowBytes);
    }
    return out;
}
