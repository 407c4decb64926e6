#pragma once

#include "shared/units.h"

#include <QPointer>
#include <QRect>

class QScreen;

// The monitor the forms work on: "the screen" of a view, a pick or an
// editor. It is read afresh on each call, because the forms never cache the
// screen size, and it changes only when a form asks for another monitor.
class ScreenInfo {
  public:
    virtual ~ScreenInfo() = default;
    virtual units::Screen screen() const = 0;
    // Where the monitor lies on the desktop, in Qt's logical pixels.
    virtual QRect geometry() const = 0;
    // The monitor's own pixels in native coordinates (X11's or Windows'): what a
    // capture of it reads.
    virtual QRect nativeGeometry() const {
        const units::Screen s = screen();
        return {geometry().topLeft(), QSize(s.deviceWidthPx, s.deviceHeightPx)};
    }
    // The monitor to put a window on; null where there is none to name.
    virtual QScreen* qscreen() const { return nullptr; }
    // From now on, the monitor under the pointer, or the primary one.
    virtual void selectUnderPointer() {}
    virtual void selectPrimary() {}
};

// A real monitor of the desktop, the primary one until another is chosen;
// one that goes away hands over to the primary one.
class DesktopScreenInfo : public ScreenInfo {
  public:
    units::Screen screen() const override;
    QRect geometry() const override;
    QRect nativeGeometry() const override;
    QScreen* qscreen() const override;
    void selectUnderPointer() override;
    void selectPrimary() override;

  private:
    QPointer<QScreen> m_chosen;
};

// Always the primary monitor.
class PrimaryScreenInfo : public DesktopScreenInfo {
  public:
    void selectUnderPointer() override {}
};

// A monitor of fixed size and resolution, at the desktop's origin unless
// told otherwise, for tests.
class FixedScreenInfo : public ScreenInfo {
  public:
    explicit FixedScreenInfo(units::Screen s, QPoint origin = {}) : m_screen(s), m_origin(origin) {}
    units::Screen screen() const override { return m_screen; }
    QRect geometry() const override {
        return {m_origin, QSize(m_screen.widthPx, m_screen.heightPx)};
    }
    void setScreen(units::Screen s) { m_screen = s; }

  private:
    units::Screen m_screen;
    QPoint m_origin;
};

// What a QScreen is to the forms.
units::Screen describeScreen(const QScreen* screen);
// Its own pixels in native coordinates (X11's or Windows').
QRect nativeGeometry(const QScreen* screen);
