// The monitors as RandR lays them out on the root window.
#include "shared/platform/monitorgeometry.h"
#include "shared/platform/x11connection.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>

std::optional<QRect> windowSystemGeometry(const QScreen* screen) {
    xcb_connection_t* conn = x11Connection();
    if (!screen || !conn) return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    xcb_randr_get_monitors_reply_t* reply =
        xcb_randr_get_monitors_reply(conn, xcb_randr_get_monitors(conn, root, 1), nullptr);
    if (!reply) return std::nullopt;
    // Qt keeps each monitor's corner in these coordinates, which
    // names the monitor.
    const QPoint corner = screen->geometry().topLeft();
    std::optional<QRect> found;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t* m = it.data;
        if (QPoint(m->x, m->y) == corner) {
            found = QRect(m->x, m->y, m->width, m->height);
            break;
        }
    }
    std::free(reply);
    return found;
}
