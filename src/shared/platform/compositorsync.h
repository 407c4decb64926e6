#pragma once

#include <QObject>

#include <memory>

// Tells when the compositor has taken in everything the program has sent
// it so far, a window's last drawing among it: one round trip, where a
// window's next frame may come a desktop's busy moment later.
class CompositorSync : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // reached() follows once for each ask, in order.
    virtual void ask() = 0;

  signals:
    void reached();
};

// The running platform's: Wayland's round trip; none where the program's
// windows are on no compositor it talks to itself.
std::unique_ptr<CompositorSync> makeSystemCompositorSync();
