// Repaint costs of the magnified view on the running X display: one
// stretched 2x repaint with its flush, and (when built) the per-tick work
// of scrolling and push-pull. Prints medians in milliseconds.
#include "Frmpictd.h"
#include "picturebox.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
xcb_connection_t* connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Waits until the X server has handled everything sent so far.
void roundTrip() {
    if (xcb_connection_t* c = connection())
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

double medianMs(int runs, const std::function<void()>& step) {
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        step();
        roundTrip();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SystemServices system;
    Frmpictd form(system.services());
    form.Form_Load();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the view was never exposed\n");
        return 1;
    }
    const QSize size = form.size();
    std::printf("screen %dx%d\n", size.width(), size.height());

    const double paint = medianMs(50, [&] { form.repaint(); });
    std::printf("repaint of the 2x view (paint + flush): median %.2f ms\n", paint);

    const double capture = medianMs(20, [&] { form.mnbuhuo_Click(); });
    std::printf("capture of the whole screen: median %.2f ms\n", capture);

    form.mnshangxiagd_Click();
    const double scroll = medianMs(100, [&] {
        form.Timgund_Timer();
        form.repaint();
    });
    std::printf("scrolling tick with its repaint: median %.2f ms\n", scroll);
    form.mnshangxiagd_Click();

    form.mntiulaxg_Click();
    const double pushPull = medianMs(100, [&] {
        form.Timtiula_Timer();
        form.P1->repaint();
    });
    std::printf("push-pull tick with its repaint: median %.2f ms\n", pushPull);
    return 0;
}
