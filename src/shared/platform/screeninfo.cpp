#include "shared/platform/screeninfo.h"

#include "shared/platform/monitorgeometry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <vector>

units::Screen describeScreen(const QScreen* s) {
    if (!s) return {};
    const QSize size = s->size();
    const QSize device = nativeGeometry(s).size();
    return units::Screen::fromDpi(size.width(), size.height(), s->logicalDotsPerInchX(),
                                  s->logicalDotsPerInchY(), s->devicePixelRatio(), device.width(),
                                  device.height());
}

// Qt keeps a monitor's corner in native coordinates (X11's or Windows')
// and divides only its size by the scale factor; where X11 or Windows
// cannot be asked, the size is multiplied back. The forms ask on every
// conversion, so the answer is kept while the monitor stays as it is.
QRect nativeGeometry(const QScreen* s) {
    if (!s) return {};
    struct Known {
        const QScreen* screen;
        QRect logical;
        qreal ratio;
        QRect native;
    };
    static std::vector<Known> known;
    const QRect g = s->geometry();
    const qreal ratio = s->devicePixelRatio();
    for (const Known& k : known)
        if (k.screen == s && k.logical == g && k.ratio == ratio) return k.native;
    QRect native = windowSystemGeometry(s).value_or(
        QRect(g.topLeft(),
              QSize(int(std::lround(g.width() * ratio)), int(std::lround(g.height() * ratio)))));
    std::erase_if(known, [s](const Known& k) { return k.screen == s; });
    if (known.size() >= 8) known.erase(known.begin());
    known.push_back({s, g, ratio, native});
    return native;
}

QScreen* DesktopScreenInfo::qscreen() const {
    return m_chosen ? m_chosen.data() : QGuiApplication::primaryScreen();
}

units::Screen DesktopScreenInfo::screen() const {
    return describeScreen(qscreen());
}

QRect DesktopScreenInfo::geometry() const {
    const QScreen* s = qscreen();
    return s ? s->geometry() : QRect();
}

QRect DesktopScreenInfo::nativeGeometry() const {
    return ::nativeGeometry(qscreen());
}

void DesktopScreenInfo::selectUnderPointer() {
    QScreen* under = QGuiApplication::screenAt(QCursor::pos());
    m_chosen = under ? under : QGuiApplication::primaryScreen();
}

void DesktopScreenInfo::selectPrimary() {
    m_chosen = QGuiApplication::primaryScreen();
}
