#pragma once

#include "Frmpictd.h"
#include "fakes.h"

#include <QMenu>

#include <memory>

// A form on a fake screen of the given size and resolution, loaded as the
// program loads it.
struct FormRig {
    // A monitor at `origin` of a desktop that reaches just past it.
    FormRig(QSize pixels, double dpi = 96, QPoint origin = {})
        : screen(units::Screen::fromDpi(pixels.width(), pixels.height(), dpi, dpi), origin),
          grabber(QSize(origin.x() + pixels.width(), origin.y() + pixels.height())) {
        Services s;
        s.grabber = &grabber;
        s.screen = &screen;
        s.starter = &starter;
        s.prompts = &prompts;
        form = std::make_unique<Frmpictd>(s);
        grabber.setCoveringWindow(form.get());
        form->Form_Load();
        form->show();
    }

    // The coded-pattern coordinates that the view shows at a window pixel.
    QPoint shownAt(QPoint windowPx) const {
        return decodePattern(form->grab(QRect(windowPx, QSize(1, 1))).toImage().pixel(0, 0));
    }

    FixedScreenInfo screen;
    FakeScreenGrabber grabber;
    RecordingStarter starter;
    FakePrompts prompts;
    std::unique_ptr<Frmpictd> form;
};
