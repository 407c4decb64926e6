// The clipboard's picture read through a data device of this reader's own
// on Qt's connection to the compositor: Qt's clipboard
// waits on the owner's pipe on the interface thread, this reader lets the
// event loop tell it when the pipe has something, and gives up on an owner
// that keeps quiet.
//
// The compositor tells a program about the clipboard only while one of its
// windows has the keyboard focus, and tells every data device of that
// program then: the device is made before the first window shows. Without
// the focus the reader knows the clipboard as it was when the program last
// had it; an owner that has given the clipboard up since answers nothing,
// and that read ends empty at once or at the deadline.
#include "region/picker/clipboardreadtypes.h"
#include "region/picker/platform/clipboardread_unix.h"
#include "shared/platform/qtwayland.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <wayland-client.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {
// How long an owner may keep quiet before it counts as not answering;
// each piece of a large picture gives it that long again.
constexpr int kAnswerMs = 5000;
constexpr qsizetype kLargestPicture = clipboardpicture::kLargestData;

class WaylandClipboardPictureReader : public QObject, public SharedClipboardPictureReader {
  public:
    explicit WaylandClipboardPictureReader(wl_display* display)
        : m_display(display), m_types(clipboardPictureTypes()) {
        m_queue = wl_display_create_queue(display);
        auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), m_queue);
        m_registry = wl_display_get_registry(wrapper);
        wl_proxy_wrapper_destroy(wrapper);
        wl_registry_add_listener(m_registry, &kRegistryListener, this);
        wl_display_roundtrip_queue(display, m_queue);
        if (m_seat && m_manager) {
            m_device = wl_data_device_manager_get_data_device(m_manager, m_seat);
            wl_data_device_add_listener(m_device, &kDeviceListener, this);
            wl_display_flush(display);
        }
        m_deadline.setSingleShot(true);
        m_deadline.setInterval(kAnswerMs);
        connect(&m_deadline, &QTimer::timeout, this, [this] { endTransfer(false); });
        // The compositor tells Qt's device and this one together:
        // the offers it withdraws meanwhile are let go then rather than
        // kept until the next read.
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                [this] { wl_display_dispatch_queue_pending(m_display, m_queue); });
    }

    ~WaylandClipboardPictureReader() override {
        closePipe();
        for (const auto& [offer, types] : m_offers)
            wl_data_offer_destroy(offer);
        if (m_device) wl_data_device_destroy(m_device);
        if (m_manager) wl_data_device_manager_destroy(m_manager);
        if (m_seat) wl_seat_destroy(m_seat);
        wl_registry_destroy(m_registry);
        wl_display_flush(m_display);
        wl_event_queue_destroy(m_queue);
    }

    bool usable() const { return m_device != nullptr; }

  private:
    void start() override {
        // What the compositor said up to the press that asked.
        wl_display_dispatch_queue_pending(m_display, m_queue);
        const auto offered = m_offers.find(m_selection);
        const auto type =
            offered == m_offers.end()
                ? m_types.cend()
                : std::find_if(m_types.cbegin(), m_types.cend(),
                               [&](const QByteArray& t) { return offered->second.contains(t); });
        int fds[2];
        if (type == m_types.cend() || pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            QTimer::singleShot(0, this, [this] { finish(QImage()); });
            return;
        }
        wl_data_offer_receive(m_selection, type->constData(), fds[1]);
        wl_display_flush(m_display);
        close(fds[1]);
        m_pipe = fds[0];
        m_type = *type;
        m_data.clear();
        m_notifier = std::make_unique<QSocketNotifier>(m_pipe, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this,
                &WaylandClipboardPictureReader::drain);
        m_deadline.start();
    }

    void drain() {
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(m_pipe, buffer, sizeof buffer);
            if (n > 0) {
                if (m_data.size() + n > kLargestPicture) return endTransfer(false);
                m_data.append(buffer, n);
                m_deadline.start();
            } else if (n == 0) {
                return endTransfer(true);
            } else if (errno != EINTR) {
                if (errno != EAGAIN) endTransfer(false);
                return;
            }
        }
    }

    void endTransfer(bool whole) {
        closePipe();
        m_deadline.stop();
        QImage got;
        if (whole) got = clipboardpicture::decode(m_data, m_type);
        m_data.clear();
        finish(got);
    }

    void closePipe() {
        m_notifier.reset();
        if (m_pipe >= 0) close(m_pipe);
        m_pipe = -1;
    }

    void forget(wl_data_offer* offer) {
        if (!offer || offer == m_selection || offer == m_dragged) return;
        wl_data_offer_destroy(offer);
        m_offers.erase(offer);
    }

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* self = static_cast<WaylandClipboardPictureReader*>(data);
        if (!self->m_seat && std::strcmp(interface, wl_seat_interface.name) == 0)
            self->m_seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (!self->m_manager &&
                 std::strcmp(interface, wl_data_device_manager_interface.name) == 0)
            self->m_manager = static_cast<wl_data_device_manager*>(wl_registry_bind(
                registry, name, &wl_data_device_manager_interface, std::min(version, 3u)));
    }
    static void globalRemoved(void*, wl_registry*, uint32_t) {}

    static void dataOffer(void* data, wl_data_device*, wl_data_offer* offer) {
        auto* self = static_cast<WaylandClipboardPictureReader*>(data);
        self->m_offers[offer];
        wl_data_offer_add_listener(offer, &kOfferListener, self);
    }
    static void enter(void* data, wl_data_device*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t,
                      wl_data_offer* offer) {
        auto* self = static_cast<WaylandClipboardPictureReader*>(data);
        wl_data_offer* before = std::exchange(self->m_dragged, offer);
        self->forget(before);
    }
    static void leave(void* data, wl_data_device*) {
        auto* self = static_cast<WaylandClipboardPictureReader*>(data);
        self->forget(std::exchange(self->m_dragged, nullptr));
    }
    static void motion(void*, wl_data_device*, uint32_t, wl_fixed_t, wl_fixed_t) {}
    static void drop(void*, wl_data_device*) {}
    static void selection(void* data, wl_data_device*, wl_data_offer* offer) {
        auto* self = static_cast<WaylandClipboardPictureReader*>(data);
        // A read under way keeps its pipe: the old offer may go.
        self->forget(std::exchange(self->m_selection, offer));
    }

    static void offerType(void* data, wl_data_offer* offer, const char* type) {
        static_cast<WaylandClipboardPictureReader*>(data)->m_offers[offer] << QByteArray(type);
    }
    static void sourceActions(void*, wl_data_offer*, uint32_t) {}
    static void action(void*, wl_data_offer*, uint32_t) {}

    static constexpr wl_registry_listener kRegistryListener{&global, &globalRemoved};
    static constexpr wl_data_device_listener kDeviceListener{&dataOffer, &enter, &leave,
                                                             &motion,    &drop,  &selection};
    static constexpr wl_data_offer_listener kOfferListener{&offerType, &sourceActions, &action};

    wl_display* m_display;
    const QByteArrayList m_types;
    wl_event_queue* m_queue = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    wl_data_device_manager* m_manager = nullptr;
    wl_data_device* m_device = nullptr;
    // Every offer the compositor has made and not yet withdrawn, with the
    // types it offers.
    std::map<wl_data_offer*, QByteArrayList> m_offers;
    wl_data_offer* m_selection = nullptr;
    wl_data_offer* m_dragged = nullptr;

    // The transfer under way.
    int m_pipe = -1;
    QByteArray m_type;
    QByteArray m_data;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_deadline;
};
} // namespace

std::unique_ptr<ClipboardPictureReader> makeWaylandClipboardPictureReader() {
    wl_display* display = qtWaylandDisplay();
    if (!display) return nullptr;
    auto reader = std::make_unique<WaylandClipboardPictureReader>(display);
    if (!reader->usable()) return nullptr;
    return reader;
}
