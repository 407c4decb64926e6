#include "windowsystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {
template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* connection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Whether the outermost window holding `window` (its frame, or itself) is
// still on the screen.
bool stillShown(xcb_connection_t* c, xcb_window_t window) {
    xcb_window_t top = window;
    for (;;) {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr),
                                           &std::free);
        if (!tree) return false;
        if (tree->parent == tree->root || tree->parent == XCB_NONE) break;
        top = tree->parent;
    }
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, top), nullptr), &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}
} // namespace

std::optional<QPoint> nativePointerPosition() {
    xcb_connection_t* c = connection();
    if (!c) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return std::nullopt;
    Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(c, xcb_query_pointer(c, screen->root), nullptr), &std::free);
    if (!reply || !reply->same_screen) return std::nullopt;
    return QPoint(reply->root_x, reply->root_y);
}

void awaitHidden(const QWidget& window) {
    xcb_connection_t* c = connection();
    const auto id = xcb_window_t(window.internalWinId());
    if (!c || !id) return;
    QElapsedTimer waited;
    waited.start();
    while (stillShown(c, id) && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}
