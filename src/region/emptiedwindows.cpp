#include "region/emptiedwindows.h"

#include "shared/platform/windowplacement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
// A compositor draws within a frame or two; one that tells of no frame
// (for a window it deems unseen) is not waited on for longer than this.
constexpr int kDrawnWithinMs = 250;
} // namespace

EmptiedWindows::EmptiedWindows(QObject* parent) : QObject(parent) {
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kDrawnWithinMs);
    connect(&m_deadline, &QTimer::timeout, this, &EmptiedWindows::finish);
}

void EmptiedWindows::prepare(QWidget& window) {
    if (!placement::picturesShowClosingWindows()) return;
    // A window that paints its own background keeps doing so; any other
    // gets the background an opaque window would have.
    const bool ownBackground = window.testAttribute(Qt::WA_NoSystemBackground);
    window.setAttribute(Qt::WA_TranslucentBackground);
    if (!ownBackground) window.setAutoFillBackground(true);
}

bool EmptiedWindows::emptiable(const QWidget& window) {
    return window.testAttribute(Qt::WA_TranslucentBackground) && window.isVisible() &&
           window.windowHandle() && placement::picturesShowClosingWindows();
}

void EmptiedWindows::start(const QList<QWidget*>& windows) {
    stop();
    for (QWidget* widget : windows) {
        if (!widget) continue;
        if (!emptiable(*widget)) {
            widget->hide();
            continue;
        }
        m_windows.append({widget, widget->windowHandle(), widget->autoFillBackground()});
        // Its paints and its children's swallowed: the backing store
        // starts each paint from transparent.
        widget->setAutoFillBackground(false);
        widget->installEventFilter(this);
        m_quiet.append(widget);
        for (QWidget* child : widget->findChildren<QWidget*>()) {
            child->installEventFilter(this);
            m_quiet.append(child);
        }
        // Drawn and handed to the compositor now: the next frame it tells
        // of, which Qt delivers as the update asked for here, shows it
        // empty.
        widget->repaint();
        widget->windowHandle()->installEventFilter(this);
        widget->windowHandle()->requestUpdate();
    }
    if (m_windows.isEmpty()) {
        QMetaObject::invokeMethod(this, &EmptiedWindows::gone, Qt::QueuedConnection);
        return;
    }
    m_deadline.start();
}

bool EmptiedWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) return true;
    if (event->type() == QEvent::UpdateRequest) {
        for (Emptied& e : m_windows)
            if (e.window == watched) e.drawn = true;
        // Out of Qt's delivery of the frame: what follows opens a picker.
        if (std::all_of(m_windows.cbegin(), m_windows.cend(),
                        [](const Emptied& e) { return e.drawn || !e.window; }))
            QMetaObject::invokeMethod(this, &EmptiedWindows::finish, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void EmptiedWindows::finish() {
    if (m_windows.isEmpty()) return;
    restore();
    emit gone();
}

void EmptiedWindows::stop() {
    restore();
}

void EmptiedWindows::restore() {
    m_deadline.stop();
    // Hidden first, so that what the compositor last drew of each, and may
    // fade out, is the empty window.
    for (const Emptied& e : std::as_const(m_windows))
        if (e.widget) e.widget->hide();
    for (const QPointer<QWidget>& widget : std::as_const(m_quiet))
        if (widget) widget->removeEventFilter(this);
    for (const Emptied& e : std::as_const(m_windows)) {
        if (e.window) e.window->removeEventFilter(this);
        if (e.widget) e.widget->setAutoFillBackground(e.autoFill);
    }
    m_windows.clear();
    m_quiet.clear();
}
