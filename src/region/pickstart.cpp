#include "region/pickstart.h"

#include "region/picker/windowsystem.h"
#include "shared/platform/screengrabber.h"
#include "shared/platform/termination.h"

#include <QWidget>

namespace {
// A window manager usually takes the frame away within a few milliseconds:
// asked again about as soon as the event loop allows, each question being a
// round trip, for at most this long.
constexpr int kHiddenWithinMs = 500;
constexpr int kAskHiddenEveryMs = 1;
} // namespace

PickStart::PickStart(QWidget& button, ScreenGrabber& grabber, QObject* parent)
    : QObject(parent), m_button(button), m_repaint(grabber) {
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(kAskHiddenEveryMs);
    connect(&m_poll, &QTimer::timeout, this, &PickStart::checkHidden);
    connect(&m_repaint, &RepaintWait::finished, this, &PickStart::repainted);
    connect(&m_emptied, &EmptiedWindows::gone, this, &PickStart::emptied);
}

void PickStart::begin(const QList<QWidget*>& alsoGoing) {
    capturetiming::mark("pick begins");
    if (m_emptied.emptiable(m_button)) {
        m_step = Step::Emptying;
        m_emptied.start(QList<QWidget*>{&m_button} + alsoGoing);
        return;
    }
    for (QWidget* window : alsoGoing)
        if (window) window->hide();
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

void PickStart::emptied() {
    if (m_step != Step::Emptying) return;
    capturetiming::mark("pick windows shown empty");
    m_step = Step::Repainting;
    repainted();
}

bool PickStart::covered() {
    if (m_step != Step::Clear) return false;
    m_step = Step::Covered;
    m_emptied.stop();
    return true;
}

void PickStart::abandon() {
    m_emptied.stop();
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
