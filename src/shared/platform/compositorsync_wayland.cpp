#include "shared/platform/compositorsync_wayland.h"

#include "shared/platform/qtwayland.h"

#include <QList>

#include <wayland-client.h>

namespace {
class WaylandCompositorSync : public CompositorSync {
  public:
    explicit WaylandCompositorSync(wl_display* display) : m_display(display) {}

    ~WaylandCompositorSync() override {
        for (wl_callback* callback : std::as_const(m_asked))
            wl_callback_destroy(callback);
    }

    void ask() override {
        // On Qt's queue, which Qt dispatches on this thread: the answer
        // comes among its other events, not on a thread of its own.
        wl_callback* callback = wl_display_sync(m_display);
        wl_callback_add_listener(callback, &kListener, this);
        m_asked.append(callback);
        wl_display_flush(m_display);
    }

  private:
    static void done(void* data, wl_callback* callback, uint32_t) {
        auto* self = static_cast<WaylandCompositorSync*>(data);
        self->m_asked.removeOne(callback);
        wl_callback_destroy(callback);
        // Out of Qt's dispatch: what follows may ask the compositor more.
        QMetaObject::invokeMethod(self, &CompositorSync::reached, Qt::QueuedConnection);
    }
    static constexpr wl_callback_listener kListener = {&WaylandCompositorSync::done};

    wl_display* m_display;
    QList<wl_callback*> m_asked;
};
} // namespace

std::unique_ptr<CompositorSync> makeWaylandCompositorSync() {
    wl_display* display = qtWaylandDisplay();
    if (!display) return nullptr;
    return std::make_unique<WaylandCompositorSync>(display);
}
