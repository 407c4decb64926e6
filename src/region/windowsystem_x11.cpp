#include "windowsystem.h"

#include "platform/x11connection.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QAbstractNativeEventFilter>
#include <deque>

#include <cstdlib>
#include <memory>

namespace {
template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Whether the outermost window holding `window` (its frame, or itself) is
// still on the screen.
bool frameShown(xcb_connection_t* c, xcb_window_t window) {
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
// Qt hands pointer positions over rounded to logical pixels; the
// events themselves carry the device pixel, core and XInput 2 alike.
class PointerLog : public QAbstractNativeEventFilter {
  public:
    explicit PointerLog(xcb_connection_t* c) {
        const xcb_query_extension_reply_t* xi = xcb_get_extension_data(c, &xcb_input_id);
        m_xiOpcode = xi && xi->present ? xi->major_opcode : 0;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const quint8 kind = event->response_type & 0x7F;
        if (kind == XCB_BUTTON_PRESS || kind == XCB_BUTTON_RELEASE || kind == XCB_MOTION_NOTIFY) {
            // Motion events are laid out as button events up to the root position.
            const auto* b = reinterpret_cast<const xcb_button_press_event_t*>(event);
            remember(b->time, QPoint(b->root_x, b->root_y));
        } else if (kind == XCB_GE_GENERIC && m_xiOpcode) {
            const auto* g = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            if (g->extension == m_xiOpcode &&
                (g->event_type == XCB_INPUT_BUTTON_PRESS ||
                 g->event_type == XCB_INPUT_BUTTON_RELEASE || g->event_type == XCB_INPUT_MOTION)) {
                const auto* x = reinterpret_cast<const xcb_input_button_press_event_t*>(event);
                remember(x->time, QPoint(x->root_x >> 16, x->root_y >> 16));
            }
        }
        return false;
    }

    std::vector<QPoint> at(quint64 time) const {
        std::vector<QPoint> found;
        for (const auto& [t, p] : m_events)
            if (t == quint32(time)) found.push_back(p);
        return found;
    }

  private:
    void remember(quint32 time, QPoint root) {
        m_events.emplace_back(time, root);
        if (m_events.size() > 64) m_events.pop_front();
    }

    quint8 m_xiOpcode = 0;
    std::deque<std::pair<quint32, QPoint>> m_events;
};

PointerLog* g_pointerLog = nullptr;
} // namespace

void watchPointerEvents() {
    xcb_connection_t* c = x11Connection();
    if (g_pointerLog || !c || !qApp) return;
    // Lives as long as the application, which it filters for.
    g_pointerLog = new PointerLog(c);
    qApp->installNativeEventFilter(g_pointerLog);
}

std::vector<QPoint> pointerEventPositions(quint64 time) {
    return g_pointerLog ? g_pointerLog->at(time) : std::vector<QPoint>();
}

std::optional<QPoint> nativePointerPosition() {
    xcb_connection_t* c = x11Connection();
    if (!c) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return std::nullopt;
    Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(c, xcb_query_pointer(c, screen->root), nullptr), &std::free);
    if (!reply || !reply->same_screen) return std::nullopt;
    return QPoint(reply->root_x, reply->root_y);
}

bool stillShown(const QWidget& window) {
    xcb_connection_t* c = x11Connection();
    const auto id = xcb_window_t(window.internalWinId());
    return c && id && frameShown(c, id);
}

std::optional<QRect> nativeWindowArea(const QWidget& window) {
    xcb_connection_t* c = x11Connection();
    const auto id = xcb_window_t(window.internalWinId());
    if (!c || !id) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return std::nullopt;
    const auto geometryCookie = xcb_get_geometry(c, id);
    const auto placeCookie = xcb_translate_coordinates(c, id, screen->root, 0, 0);
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr),
                                             &std::free);
    Reply<xcb_translate_coordinates_reply_t> place(
        xcb_translate_coordinates_reply(c, placeCookie, nullptr), &std::free);
    if (!geometry || !place) return std::nullopt;
    return QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
}
