// The clipboard's picture read over a connection of its own, on a thread of
// its own: the owner is asked for its types, then for the first picture
// type that is read at all (clipboardreadtypes.h), and the answer is taken
// in one piece or in the increments large pictures come in.
#include "region/picker/clipboardreadtypes.h"
#include "region/picker/platform/clipboardread_unix.h"

#include <QByteArrayList>
#include <QObject>
#include <QPointer>

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
// How long an owner may keep quiet before it counts as not answering;
// each increment of a large picture gives it that long again.
constexpr auto kAnswerTime = std::chrono::seconds(5);
constexpr qsizetype kLargestPicture = clipboardpicture::kLargestData;

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, Free>;

class Session {
  public:
    Session(const std::stop_token& stop, const QByteArrayList& types) : m_stop(stop) {
        int screenNo = 0;
        m_conn = xcb_connect(nullptr, &screenNo);
        if (xcb_connection_has_error(m_conn)) return;
        auto it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
        for (int i = 0; i < screenNo && it.rem; ++i)
            xcb_screen_next(&it);
        if (!it.rem) return;
        m_window = xcb_generate_id(m_conn);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, it.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
        m_clipboard = atom("CLIPBOARD", false);
        m_targets = atom("TARGETS", false);
        m_incr = atom("INCR", false);
        m_property = atom("PICTURE_TRANSFER", false);
        for (const QByteArray& t : types)
            m_types.push_back(atom(t, true));
        m_ok = m_clipboard && m_targets && m_incr && m_property;
    }
    ~Session() { xcb_disconnect(m_conn); }

    QImage picture(const QByteArrayList& types) {
        if (!m_ok) return {};
        const std::optional<QByteArray> offered = convert(m_targets);
        if (!offered) return {};
        const auto* atoms = reinterpret_cast<const xcb_atom_t*>(offered->constData());
        const qsizetype count = offered->size() / qsizetype(sizeof(xcb_atom_t));
        for (std::size_t i = 0; i < m_types.size(); ++i) {
            if (!m_types[i] || std::find(atoms, atoms + count, m_types[i]) == atoms + count)
                continue;
            const std::optional<QByteArray> data = convert(m_types[i]);
            if (!data) return {};
            return clipboardpicture::decode(*data, types[int(i)]);
        }
        return {};
    }

  private:
    xcb_atom_t atom(const QByteArray& name, bool onlyIfExists) {
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            m_conn, xcb_intern_atom(m_conn, onlyIfExists, std::uint16_t(name.size()), name.data()),
            nullptr));
        return r ? r->atom : XCB_NONE;
    }

    // The next event `wanted` accepts, or none once the owner has been
    // quiet too long or the reader is stopping.
    template <typename Wanted> Reply<xcb_generic_event_t> await(Wanted wanted) {
        const Clock::time_point deadline = Clock::now() + kAnswerTime;
        pollfd fd{xcb_get_file_descriptor(m_conn), POLLIN, 0};
        for (;;) {
            while (Reply<xcb_generic_event_t> ev{xcb_poll_for_event(m_conn)}) {
                if (wanted(ev.get())) return ev;
            }
            if (xcb_connection_has_error(m_conn) || m_stop.stop_requested()) return nullptr;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return nullptr;
            // Short waits, so that a reader being stopped stops soon.
            poll(&fd, 1, int(std::min<long long>(left.count(), 100)));
        }
    }

    // The whole property, deleted once read: deleting it is what asks an
    // owner sending increments for the next one.
    std::optional<QByteArray> take(xcb_atom_t& type) {
        QByteArray out;
        std::uint32_t offset = 0;
        for (;;) {
            Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
                m_conn,
                xcb_get_property(m_conn, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, offset,
                                 1u << 20),
                nullptr));
            if (!r) return std::nullopt;
            type = r->type;
            const int length = xcb_get_property_value_length(r.get());
            if (out.size() + length > kLargestPicture) return std::nullopt;
            out.append(static_cast<const char*>(xcb_get_property_value(r.get())), length);
            offset += std::uint32_t(length) / 4;
            if (r->bytes_after == 0 || length == 0) break;
        }
        xcb_delete_property(m_conn, m_window, m_property);
        xcb_flush(m_conn);
        return out;
    }

    std::optional<QByteArray> convert(xcb_atom_t target) {
        xcb_convert_selection(m_conn, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_conn);
        const auto notified = await([this](const xcb_generic_event_t* ev) {
            return (ev->response_type & 0x7F) == XCB_SELECTION_NOTIFY &&
                   reinterpret_cast<const xcb_selection_notify_event_t*>(ev)->requestor == m_window;
        });
        if (!notified ||
            reinterpret_cast<const xcb_selection_notify_event_t*>(notified.get())->property ==
                XCB_NONE)
            return std::nullopt;
        xcb_atom_t type = XCB_NONE;
        std::optional<QByteArray> data = take(type);
        if (!data || type != m_incr) return data;
        // In increments: each new value of the property is the next one,
        // an empty one the end.
        QByteArray all;
        for (;;) {
            const auto more = await([this](const xcb_generic_event_t* ev) {
                const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(ev);
                return (ev->response_type & 0x7F) == XCB_PROPERTY_NOTIFY && p->window == m_window &&
                       p->atom == m_property && p->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!more) return std::nullopt;
            const std::optional<QByteArray> part = take(type);
            if (!part || all.size() + part->size() > kLargestPicture) return std::nullopt;
            if (part->isEmpty()) return all;
            all += *part;
        }
    }

    std::stop_token m_stop;
    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = 0, m_targets = 0, m_incr = 0, m_property = 0;
    std::vector<xcb_atom_t> m_types;
    bool m_ok = false;
};

class X11ClipboardPictureReader : public QObject, public SharedClipboardPictureReader {
  public:
    X11ClipboardPictureReader() : m_types(clipboardPictureTypes()) {}
    ~X11ClipboardPictureReader() override {
        m_thread.request_stop();
        if (m_thread.joinable()) m_thread.join();
    }

  private:
    void start() override {
        if (m_thread.joinable()) m_thread.join();
        m_thread = std::jthread([this, types = m_types](std::stop_token stop) {
            QImage got = Session(stop, types).picture(types);
            QMetaObject::invokeMethod(
                this, [this, got = std::move(got)] { finish(got); }, Qt::QueuedConnection);
        });
    }

    const QByteArrayList m_types;
    std::jthread m_thread;
};
} // namespace

std::unique_ptr<ClipboardPictureReader> makeX11ClipboardPictureReader() {
    return std::make_unique<X11ClipboardPictureReader>();
}
