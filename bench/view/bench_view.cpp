// Repaint costs of the magnified view on the running X display: one
// stretched 2x repaint with its flush, a wheel notch, and (when built) the per-tick work
// of scrolling and push-pull. Prints medians in milliseconds.
#include "../support/onscreen.h"
#include "magnifier/picturebox.h"

#include <QAction>
#include <QWheelEvent>

using onscreen::medianMs;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SystemServices system;
    Frmpictd form(system.services());
    if (!onscreen::openFirstView(form)) return 1;

    // Until the server has drawn it: where the server scales the picture,
    // that is where the work is.
    std::printf("the picture is drawn by %s\n",
                form.pictureWidget() == &form ? "zuz into its paint buffer" : "the X server");
    const double paint = medianMs(50, [&](int) { form.pictureWidget()->repaint(); });
    std::printf("repaint of the 2x view (paint + flush): median %.2f ms\n", paint);

    // Up, up, down, down: the sizes stay between 2x and about 3x.
    const QPointF at(form.width() / 3.0, form.height() / 2.0);
    const double notch = medianMs(60, [&](int i) {
        const int delta = i % 4 < 2 ? 120 : -120;
        QWheelEvent e(at, form.mapToGlobal(at), QPoint(0, delta / 8), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&form, &e);
        form.pictureWidget()->repaint();
    });
    std::printf("wheel notch to the resized picture on screen: median %.2f ms\n", notch);

    const double capture = medianMs(20, [&](int) { form.mnbuhuo_Click(); });
    std::printf("capture of the whole screen: median %.2f ms\n", capture);

    form.mnshangxiagd_Click();
    const double scroll = medianMs(100, [&](int) {
        form.Timgund_Timer();
        form.pictureWidget()->repaint();
    });
    std::printf("scrolling tick with its repaint: median %.2f ms\n", scroll);
    form.mnshangxiagd_Click();

    form.mntiulaxg_Click();
    const double pushPull = medianMs(100, [&](int) {
        form.Timtiula_Timer();
        form.P1->repaint();
    });
    std::printf("push-pull tick with its repaint: median %.2f ms\n", pushPull);
    return 0;
}
