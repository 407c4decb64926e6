#include "shared/vbtimer.h"

VbTimer::VbTimer(int intervalMs, QObject* parent) : QObject(parent), m_interval(intervalMs) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &VbTimer::Timer);
}

void VbTimer::setEnabled(bool on) {
    // Switching on a timer that runs already must not restart its period:
    // a switch polled every millisecond would otherwise never let it tick.
    if (on == m_enabled) return;
    m_enabled = on;
    sync();
}

void VbTimer::setInterval(int ms) {
    m_interval = ms;
    sync();
}

void VbTimer::sync() {
    if (m_enabled && m_interval > 0) {
        m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}
