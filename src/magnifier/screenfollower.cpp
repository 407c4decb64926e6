#include "magnifier/screenfollower.h"

#include "shared/platform/screeninfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

ScreenFollower::ScreenFollower(ScreenInfo& screens, QWidget& view)
    : QObject(&view), m_screens(screens), m_view(view) {
    watch();
}

void ScreenFollower::watch() {
    // Queued: Qt reports a new layout monitor by monitor, and a monitor
    // that goes is still listed while it is reported.
    const auto follow = [this] {
        QMetaObject::invokeMethod(this, &ScreenFollower::changed, Qt::QueuedConnection);
    };
    const auto watchOne = [this, follow](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, follow);
        connect(s, &QScreen::logicalDotsPerInchChanged, this, follow);
    };
    for (QScreen* s : QGuiApplication::screens())
        watchOne(s);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watchOne, follow](QScreen* s) {
        watchOne(s);
        follow();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, follow);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, follow);
}

std::optional<QSizeF> ScreenFollower::followPointer() {
    m_screens.selectUnderPointer();
    return layOut();
}

std::optional<QSizeF> ScreenFollower::layOut() {
    if (QScreen* monitor = m_screens.qscreen()) m_view.setScreen(monitor);
    return moveTo(m_screens.screen());
}

std::optional<QSizeF> ScreenFollower::moveTo(const units::Screen& now) {
    const units::Screen was = std::exchange(m_laidOut, now);
    if (was.widthPx == 0 || now == was || was.Width() <= 0 || was.Height() <= 0) return {};
    return QSizeF(now.Width() / was.Width(), now.Height() / was.Height());
}
