// The aids to reading in the magnified view, on the running X display: a
// colour aid's key to the changed picture on the screen, a pan key, a
// pointer move with the reading band on, and a scrolling tick with the
// band on and off. Each step is timed until the X server has handled what
// it was sent. Prints medians in milliseconds.
#include "../support/onscreen.h"

#include <QKeyEvent>
#include <QMouseEvent>

using onscreen::medianMs;

namespace {
// Counts the paints of the widget the picture is drawn in.
struct Paints : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};
Paints paints;
QWidget* watched = nullptr;

// Until the paint the step asked for has run, as the event loop runs it,
// and the server has handled what it was sent.
void settle() {
    const int before = paints.count;
    QTest::qWaitFor([before] { return paints.count > before; }, 1000);
    onscreen::roundTrip();
}

void watch(QWidget* w) {
    if (watched) watched->removeEventFilter(&paints);
    watched = w;
    w->installEventFilter(&paints);
}

void key(Frmpictd& form, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QCoreApplication::sendEvent(&form, &press);
}

void moveTo(Frmpictd& form, QPoint pos) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), form.mapToGlobal(QPointF(pos)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &e);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SystemServices system;
    Frmpictd form(system.services());
    if (!onscreen::openFirstView(form)) return 1;
    watch(form.pictureWidget());
    QTest::qWait(200);
    std::printf("the picture is drawn by %s\n",
                form.pictureWidget() == &form ? "zuz into its paint buffer" : "the X server");

    // Each press flips the aid: half the steps make the changed copy, half
    // go back to the capture.
    const auto aidKey = [&](int k, const char* what) {
        const double ms = medianMs(
            40, [&](int) { key(form, k); }, settle);
        std::printf("%s key to the changed picture on screen: median %.2f ms\n", what, ms);
    };
    aidKey(Qt::Key_I, "inversion (I)");
    aidKey(Qt::Key_G, "greyscale (G)");
    aidKey(Qt::Key_S, "smoothing (S)");
    const double contrast = medianMs(
        30, [&](int) { key(form, Qt::Key_C); }, settle);
    std::printf("contrast (C, round the three) to the picture on screen: median %.2f ms\n",
                contrast);

    const auto pan = [&](const char* what) {
        const double ms = medianMs(
            40, [&](int i) { key(form, i % 2 ? Qt::Key_Left : Qt::Key_Right); }, settle);
        std::printf("pan key to the moved picture, %s: median %.2f ms\n", what, ms);
    };
    pan("no aid");
    form.aids.setInversion(ColourAids::Switch::On);
    form.aids.setBand(ColourAids::Switch::On);
    form.aids.setCrosshairs(ColourAids::Switch::On);
    settle();
    watch(form.pictureWidget());
    pan("inverted, band and crosshairs on");

    const QPoint a(form.width() / 3, form.height() / 2);
    const double band = medianMs(
        60, [&](int i) { moveTo(form, a + QPoint(i % 2 * 7, i % 2 ? 9 : -9)); }, settle);
    std::printf("pointer move to the band and crosshairs redrawn: median %.2f ms\n", band);
    form.aids.setCrosshairs(ColourAids::Switch::Off);
    settle();
    const double bandOnly = medianMs(
        60, [&](int i) { moveTo(form, a + QPoint(0, i % 2 ? 9 : -9)); }, settle);
    std::printf("pointer move to the band redrawn: median %.2f ms\n", bandOnly);
    form.aids.setInversion(ColourAids::Switch::Off);

    form.mnshangxiagd_Click();
    const auto tick = [&](const char* what) {
        const double ms = medianMs(
            100, [&](int) { form.Timgund_Timer(); }, settle);
        std::printf("scrolling tick with its repaint, band %s: median %.2f ms\n", what, ms);
        return ms;
    };
    const double withBand = tick("on");
    form.aids.setBand(ColourAids::Switch::Off);
    const double without = tick("off");
    std::printf("scrolling tick, band on / off: %.2f\n", withBand / without);
    form.mnshangxiagd_Click();
    return 0;
}
