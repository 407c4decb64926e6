#pragma once

// What the benchmarks that run on a real X display share: waiting until the
// server has shown what was sent, medians, and the first view of zuz.
#include "magnifier/Frmpictd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace onscreen {

inline xcb_connection_t* connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Waits until the X server has handled everything sent so far.
inline void roundTrip() {
    if (xcb_connection_t* c = connection())
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

inline double median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The median time of `runs` steps, each timed until `settle` returns.
inline double medianMs(int runs, const std::function<void(int)>& step,
                       const std::function<void()>& settle = roundTrip) {
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        step(i);
        settle();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

// Loads the view as the program does and waits until it is on the screen.
inline bool openFirstView(Frmpictd& form) {
    form.Form_Load();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the view was never exposed\n");
        return false;
    }
    std::printf("screen %dx%d\n", form.width(), form.height());
    return true;
}

} // namespace onscreen
