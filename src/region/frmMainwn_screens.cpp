// Monitors that come, go or change while the program runs.
#include "region/frmMainwn.h"

#include "region/Fortdck.h"
#include "region/picker/frmCaptureArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

void frmMainwn::watchScreens() {
    for (QScreen* s : QGuiApplication::screens())
        watchScreen(s);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) {
        watchScreen(s);
        scheduleScreensCheck();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &frmMainwn::scheduleScreensCheck);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this,
            &frmMainwn::scheduleScreensCheck);
}

void frmMainwn::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &frmMainwn::scheduleScreensCheck);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &frmMainwn::scheduleScreensCheck);
}

void frmMainwn::scheduleScreensCheck() {
    if (m_screensCheckPending) return;
    m_screensCheckPending = true;
    // Once Qt has taken in the whole change: X11, Wayland and Windows
    // report a new layout one monitor at a time.
    QTimer::singleShot(0, this, &frmMainwn::ScreensChanged);
}

QList<QRect> frmMainwn::MonitorAreas() const {
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas << s->geometry();
    return areas;
}

void frmMainwn::ScreensChanged() {
    m_screensCheckPending = false;
    const QList<QRect> monitors = MonitorAreas();
    const auto shown = [&monitors](const QRect& window) {
        return std::any_of(monitors.cbegin(), monitors.cend(),
                           [&window](const QRect& m) { return m.intersects(window); });
    };
    // The user may park the button half off the desktop; a button whose
    // middle no monitor shows is brought back, also where a window manager
    // has already pushed a sliver of it back onto the desktop.
    const QPoint middle = geometry().center();
    if (std::none_of(monitors.cbegin(), monitors.cend(),
                     [&middle](const QRect& m) { return m.contains(middle); }))
        PlaceInCorner();
    // A pick on a monitor that went away could neither be seen nor ended
    // but by Esc, with the button hidden meanwhile.
    if (m_picker && m_picker->isLoaded() && !shown(m_picker->geometry())) m_picker->Unload();
    if (!m_fortdck) return;
    const bool lost = m_fortdck->LostItsMonitor() || !shown(m_fortdck->geometry());
    if (lost) m_services.screen->selectPrimary();
    // A monitor with a new size or scale needs a new layout for its device
    // pixels, even where the window is still shown.
    if (lost || m_fortdck->MonitorChangedSinceLayout()) m_fortdck->ReturnToScreen();
}
