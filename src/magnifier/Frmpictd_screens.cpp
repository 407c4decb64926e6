// Monitors that change while a view is up.
#include "Frmpictd.h"

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
