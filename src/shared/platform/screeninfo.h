#pragma once

#include "units.h"

#include <QRect>

// Size and resolution of the primary screen, read afresh on each call
// because the forms never cache the screen size.
class ScreenInfo {
  public:
    virtual ~ScreenInfo() = default;
    virtual units::Screen screen() const = 0;
    // Where the primary screen lies on the virtual desktop, in pixels.
    virtual QRect geometry() const = 0;
};

class PrimaryScreenInfo : public ScreenInfo {
  public:
    units::Screen screen() const override;
    QRect geometry() const override;
};

// A screen of fixed size and resolution, for tests.
class FixedScreenInfo : public ScreenInfo {
  public:
    explicit FixedScreenInfo(units::Screen s) : m_screen(s) {}
    units::Screen screen() const override { return m_screen; }
    QRect geometry() const override { return {0, 0, m_screen.widthPx, m_screen.heightPx}; }
    void setScreen(units::Screen s) { m_screen = s; }

  private:
    units::Screen m_screen;
};
