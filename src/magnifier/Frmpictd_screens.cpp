// The monitor a view is laid out for, and monitors that change while a
// view is up.
#include "magnifier/Frmpictd.h"

#include <QGuiApplication>
#include <QScreen>

void Frmpictd::watchScreens() {
    // Queued: Qt reports a new layout monitor by monitor, and a
    // monitor that goes is still listed while it is reported.
    const auto follow = [this] {
        QMetaObject::invokeMethod(this, &Frmpictd::followScreenChange, Qt::QueuedConnection);
    };
    const auto watch = [this, follow](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, follow);
        connect(s, &QScreen::logicalDotsPerInchChanged, this, follow);
    };
    for (QScreen* s : QGuiApplication::screens())
        watch(s);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watch, follow](QScreen* s) {
        watch(s);
        follow();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, follow);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, follow);
}

void Frmpictd::followScreenChange() {
    // Between views nothing is shown; the next view lays itself out for
    // the monitor under the pointer as it is then.
    if (!isVisible()) return;
    layOutForScreen();
    FitWindowToPicture();
}

void Frmpictd::placeCornerButtons() {
    const units::Screen s = screen();
    placeButton(Command5, s.Width() - 375, 0, 375, 375);
    const double qxWidth = 300, qxHeight = 255;
    placeButton(Comqxbcfd, s.Width() - qxWidth - 20, (s.Height() - qxHeight) / 1.2, qxWidth,
                qxHeight);
}

// A view belongs to the monitor under the pointer when it starts. On a
// monitor of another size the picture keeps its enlargement and its place
// relative to the screen, and the corner buttons follow the corner.
void Frmpictd::followPointerScreen() {
    m_services.screen->selectUnderPointer();
    layOutForScreen();
}

void Frmpictd::layOutForScreen() {
    if (QScreen* monitor = m_services.screen->qscreen()) setScreen(monitor);
    const units::Screen now = screen();
    const units::Screen was = m_laidOut;
    m_laidOut = now;
    if (was.widthPx == 0 || now == was || was.Width() <= 0 || was.Height() <= 0) return;
    const double fx = now.Width() / was.Width();
    const double fy = now.Height() / was.Height();
    Imadpic.Left *= fx;
    Imadpic.Width *= fx;
    Imadpic.Top *= fy;
    Imadpic.Height *= fy;
    placeCornerButtons();
    refreshView();
}
