#include "region/pickstart.h"

#include "region/picker/windowsystem.h"
#include "shared/platform/screengrabber.h"
#include "shared/platform/termination.h"
#include "shared/platform/windowplacement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {
// A window manager usually takes the frame away within a few milliseconds:
// asked again about as soon as the event loop allows, each question being a
// round trip, for at most this long.
constexpr int kHiddenWithinMs = 500;
constexpr int kAskHiddenEveryMs = 1;
// A compositor draws within a frame or two; one that tells of no frame
// (a window it deems unseen) is not waited on for longer than this.
constexpr int kShownEmptyWithinMs = 250;
} // namespace

PickStart::PickStart(QWidget& button, ScreenGrabber& grabber, QObject* parent)
    : QObject(parent), m_button(button), m_repaint(grabber) {
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(kAskHiddenEveryMs);
    connect(&m_poll, &QTimer::timeout, this, &PickStart::checkHidden);
    connect(&m_repaint, &RepaintWait::finished, this, &PickStart::repainted);
    m_emptyDeadline.setSingleShot(true);
    m_emptyDeadline.setInterval(kShownEmptyWithinMs);
    connect(&m_emptyDeadline, &QTimer::timeout, this, &PickStart::shownEmpty);
}

void PickStart::prepare(QWidget& button) {
    if (!placement::picturesShowClosingWindows()) return;
    button.setAttribute(Qt::WA_TranslucentBackground);
    // Its face as before: the window's own colour around the control.
    button.setAutoFillBackground(true);
}

void PickStart::begin() {
    capturetiming::mark("pick begins");
    if (m_button.testAttribute(Qt::WA_TranslucentBackground) && m_button.isVisible() &&
        m_button.windowHandle()) {
        empty();
        return;
    }
    // What the button looks like on the screen, to tell when the screen
    // beneath shows it no more; only where X11 says where it lies.
    m_area = nativeWindowArea(m_button);
    m_looks = m_area ? m_button.grab().toImage() : QImage();
    m_button.hide();
    m_step = Step::Hiding;
    m_hiding.start();
    if (!stillShown(m_button)) {
        hidden();
        return;
    }
    m_poll.start();
}

void PickStart::empty() {
    m_step = Step::Emptying;
    m_emptied.clear();
    for (QWidget* child : m_button.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisibleTo(&m_button)) continue;
        m_emptied.append(child);
        child->hide();
    }
    m_button.setAutoFillBackground(false);
    // Drawn and handed to the compositor now: the next frame it tells of,
    // which Qt delivers as the update asked for here, shows it empty.
    m_button.repaint();
    QWindow* window = m_button.windowHandle();
    window->installEventFilter(this);
    window->requestUpdate();
    m_emptyDeadline.start();
}

bool PickStart::eventFilter(QObject* watched, QEvent* event) {
    // Out of Qt's delivery of the frame: the pick goes on to a modal picker.
    if (event->type() == QEvent::UpdateRequest && m_step == Step::Emptying)
        QMetaObject::invokeMethod(this, &PickStart::shownEmpty, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void PickStart::shownEmpty() {
    if (m_step != Step::Emptying) return;
    capturetiming::mark("pick button shown empty");
    refill();
    m_step = Step::Repainting;
    repainted();
}

void PickStart::refill() {
    m_emptyDeadline.stop();
    if (QWindow* window = m_button.windowHandle()) window->removeEventFilter(this);
    // Hidden first, so that what the compositor last drew of it, and may
    // fade out, is the empty window.
    m_button.hide();
    for (const QPointer<QWidget>& child : std::as_const(m_emptied))
        if (child) child->show();
    m_emptied.clear();
    m_button.setAutoFillBackground(true);
}

void PickStart::abandon() {
    if (m_step == Step::Emptying) refill();
    m_poll.stop();
    m_repaint.stop();
    m_step = Step::Abandoned;
}

void PickStart::checkHidden() {
    if (m_step != Step::Hiding) return;
    if (termination::requested()) {
        abandon();
        return;
    }
    if (stillShown(m_button) && m_hiding.elapsed() < kHiddenWithinMs) return;
    m_poll.stop();
    hidden();
}

void PickStart::hidden() {
    m_step = Step::Repainting;
    if (m_area)
        m_repaint.start(*m_area, m_looks);
    else
        repainted();
}

void PickStart::repainted() {
    if (m_step != Step::Repainting) return;
    if (termination::requested()) {
        abandon();
        return;
    }
    m_step = Step::Clear;
    capturetiming::mark("pick screen clear");
    emit clear();
}
