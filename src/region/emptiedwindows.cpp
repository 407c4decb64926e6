#include "region/emptiedwindows.h"

#include "shared/platform/windowplacement.h"

#include <QEvent>
#include <QWidget>

namespace {
// A compositor answers a round trip within a frame; one that does not is
// not waited on for longer than this.
constexpr int kTakenInWithinMs = 250;
} // namespace

EmptiedWindows::EmptiedWindows(std::unique_ptr<CompositorSync> sync, QObject* parent)
    : QObject(parent), m_sync(std::move(sync)) {
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kTakenInWithinMs);
    connect(&m_deadline, &QTimer::timeout, this, &EmptiedWindows::finish);
    if (m_sync) connect(m_sync.get(), &CompositorSync::reached, this, &EmptiedWindows::reached);
}

void EmptiedWindows::prepare(QWidget& window) {
    if (!placement::picturesShowClosingWindows()) return;
    // A window that paints its own background keeps doing so; any other
    // gets the background an opaque window would have.
    const bool ownBackground = window.testAttribute(Qt::WA_NoSystemBackground);
    window.setAttribute(Qt::WA_TranslucentBackground);
    if (!ownBackground) window.setAutoFillBackground(true);
}

bool EmptiedWindows::emptiable(const QWidget& window) const {
    return m_sync && window.testAttribute(Qt::WA_TranslucentBackground) && window.isVisible() &&
           window.windowHandle();
}

void EmptiedWindows::start(const QList<QWidget*>& windows) {
    stop();
    for (QWidget* widget : windows) {
        if (!widget) continue;
        if (!emptiable(*widget)) {
            widget->hide();
            continue;
        }
        m_windows.append({widget, widget->autoFillBackground()});
        // Its paints and its children's swallowed: the backing store
        // starts each paint from transparent.
        widget->setAutoFillBackground(false);
        widget->installEventFilter(this);
        m_quiet.append(widget);
        for (QWidget* child : widget->findChildren<QWidget*>()) {
            child->installEventFilter(this);
            m_quiet.append(child);
        }
        // Drawn and handed to the compositor now, ahead of the round trip.
        widget->repaint();
        widget->setUpdatesEnabled(false);
    }
    if (m_windows.isEmpty()) {
        QMetaObject::invokeMethod(this, &EmptiedWindows::gone, Qt::QueuedConnection);
        return;
    }
    ++m_asked;
    m_sync->ask();
    m_deadline.start();
}

bool EmptiedWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) return true;
    return QObject::eventFilter(watched, event);
}

void EmptiedWindows::reached() {
    // Answers come in the order asked: the last is this emptying's.
    if (m_asked > 0 && --m_asked == 0) finish();
}

void EmptiedWindows::finish() {
    if (m_windows.isEmpty()) return;
    m_deadline.stop();
    emit gone();
}

void EmptiedWindows::stop() {
    m_deadline.stop();
    // Hidden first, so that what the compositor last drew of each, and may
    // fade out, is the empty window.
    for (const Emptied& e : std::as_const(m_windows))
        if (e.widget) e.widget->hide();
    for (const QPointer<QWidget>& widget : std::as_const(m_quiet))
        if (widget) widget->removeEventFilter(this);
    for (const Emptied& e : std::as_const(m_windows)) {
        if (!e.widget) continue;
        e.widget->setUpdatesEnabled(true);
        e.widget->setAutoFillBackground(e.autoFill);
    }
    m_windows.clear();
    m_quiet.clear();
}
