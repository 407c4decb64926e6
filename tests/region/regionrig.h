#pragma once

#include "fakes.h"
#include "region/Fortdck.h"
#include "region/frmMainwn.h"
#include "region/picker/frmCaptureArea.h"
#include "region/picker/regionclipboard.h"

#include <QMenu>
#include <QUrl>

#include <functional>
#include <memory>

// The control window with its dialogs, menus and modal picker recorded or
// scripted instead of run.
class TestMain : public frmMainwn {
  public:
    using frmMainwn::frmMainwn;

    QList<QUrl> links;
    // Runs while the picker is "modal"; by default the user presses Esc.
    std::function<void(frmCaptureArea&)> onPick;
    bool visibleDuringPick = true;

    // The monitors the desktop has now, as the test sets them.
    QList<QRect> monitors;
    QList<QRect> MonitorAreas() const override { return monitors; }
    // Where the window stood when it was first shown.
    QRect shownAt;

  protected:
    void showEvent(QShowEvent* e) override {
        if (shownAt.isNull()) shownAt = geometry();
        frmMainwn::showEvent(e);
    }
    void OpenMailLink(const QUrl& link) override { links << link; }
    void RunModal(frmCaptureArea& picker) override {
        visibleDuringPick = isVisible();
        if (onPick)
            onPick(picker);
        else
            picker.Form_KeyDown(27, 0);
    }
};

// A monitor of `device` pixels, each logical pixel `ratio` of them each way.
inline units::Screen scaledScreen(QSize device, double ratio = 1.0, double dpi = 96) {
    return units::Screen::fromDpi(qRound(device.width() / ratio), qRound(device.height() / ratio),
                                  dpi, dpi, ratio, device.width(), device.height());
}

// A monitor whose corner lies at `origin` of the desktop, which is also
// where its device pixels start in the window system's coordinates.
class PlacedScreenInfo : public FixedScreenInfo {
  public:
    explicit PlacedScreenInfo(units::Screen s, QPoint origin = {})
        : FixedScreenInfo(s), m_origin(origin) {}
    QRect geometry() const override {
        const units::Screen s = screen();
        return {m_origin, QSize(s.widthPx, s.heightPx)};
    }

  private:
    QPoint m_origin;
};

// Two monitors: the primary one and another, on which the pointer is when
// `pointerOnOther` says so.
class TwoMonitors : public ScreenInfo {
  public:
    TwoMonitors(PlacedScreenInfo primary, PlacedScreenInfo other)
        : primary(primary), other(other) {}
    units::Screen screen() const override { return current().screen(); }
    QRect geometry() const override { return current().geometry(); }
    void selectUnderPointer() override { m_onOther = pointerOnOther; }
    void selectPrimary() override { m_onOther = false; }

    PlacedScreenInfo primary;
    PlacedScreenInfo other;
    bool pointerOnOther = true;

  private:
    const PlacedScreenInfo& current() const { return m_onOther ? other : primary; }
    bool m_onOther = false;
};

// The program on a desktop whose monitors show the coded pattern (each
// pixel names its coordinates in the window system's), its control window
// loaded as the program loads it.
struct RegionRig {
    // One monitor of `pixels` device pixels.
    explicit RegionRig(QSize pixels = {1024, 768}, double dpi = 96, double ratio = 1.0,
                       QPoint origin = {})
        : screen(scaledScreen(pixels, ratio, dpi), origin),
          grabber(QSize(origin.x() + pixels.width(), origin.y() + pixels.height())) {
        start(screen, screen);
    }
    // Two monitors on a desktop of `desktop` device pixels.
    RegionRig(const TwoMonitors& monitors, QSize desktop)
        : screen(monitors.primary), grabber(desktop),
          desk(std::make_unique<TwoMonitors>(monitors)) {
        start(*desk, screen);
        main->monitors << desk->other.geometry();
    }

    void start(ScreenInfo& monitors, ScreenInfo& home) {
        Services s;
        s.grabber = &grabber;
        s.screen = &monitors;
        s.starter = &starter;
        s.prompts = &prompts;
        prompts.realTipDialog = false;
        main = std::make_unique<TestMain>(s, home, clipboard);
        main->monitors = {home.geometry()};
        grabber.setCoveringWindow(main.get());
        main->Form_Load();
        main->show();
    }

    // Opens a magnified-region window on `picture`, as the picker does.
    Fortdck* open(const QImage& picture) {
        clipboard.setBitmap(picture);
        main->LoadFortdck();
        return main->fortdck();
    }

    // A drag in the picker from `a` to `b`, released at `b`.
    static void drag(frmCaptureArea& picker, QPoint a, QPoint b) {
        picker.Form_MouseDown(1, 0, a.x(), a.y());
        picker.Form_MouseMove(1, 0, b.x(), b.y());
        picker.Form_MouseUp(1, 0, b.x(), b.y());
    }

    // The only monitor, or the primary one of two, home of the button.
    PlacedScreenInfo screen;
    FakeScreenGrabber grabber;
    std::unique_ptr<TwoMonitors> desk;
    RecordingStarter starter;
    FakePrompts prompts;
    MemoryClipboard clipboard;
    std::unique_ptr<TestMain> main;
};
