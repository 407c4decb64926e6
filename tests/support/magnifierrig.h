#pragma once

// Header-only: the tests that include it link the magnifier's library,
// which the fakes' own library does not.
#include "fakes.h"
#include "magnifier/Frmpictd.h"

#include <memory>

// The magnifier form on fake services: a monitor at `origin` of a desktop
// that reaches just past it. A rig that fakes the hotkey or the tray as
// well hands them to create().
struct MagnifierRig {
    explicit MagnifierRig(QSize pixels, double dpi = 96, QPoint origin = {})
        : screen(units::Screen::fromDpi(pixels.width(), pixels.height(), dpi, dpi), origin),
          grabber(QSize(origin.x() + pixels.width(), origin.y() + pixels.height())) {}

    void create(HotkeyService* hotkey = nullptr, TrayIconService* tray = nullptr) {
        Services s;
        s.grabber = &grabber;
        s.screen = &screen;
        s.starter = &starter;
        s.hotkey = hotkey;
        s.tray = tray;
        s.prompts = &prompts;
        form = std::make_unique<Frmpictd>(s);
        // A grab taken while the form shows is what the form draws.
        grabber.setCoveringWindow(form.get());
    }
    // As the program loads it.
    void load() {
        form->Form_Load();
        form->show();
    }

    FixedScreenInfo screen;
    FakeScreenGrabber grabber;
    RecordingStarter starter;
    FakePrompts prompts;
    std::unique_ptr<Frmpictd> form;
};
