// Times the three moments a user feels in a pick, in-process on the display
// it runs on: click to the frozen screen shown in the picker, a pointer move
// to the outline and label redrawn, and the release to the magnified-region
// window painted. "Shown" means painted, flushed, and processed by the X
// server (a one-pixel read-back follows the flush).
#include "region/Fortdck.h"
#include "region/frmMainwn.h"
#include "region/picker/frmCaptureArea.h"
#include "region/picker/regionclipboard.h"
#include "shared/platform/services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double maxOf(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

class BenchMain : public frmMainwn {
  public:
    using frmMainwn::frmMainwn;
    std::function<void(frmCaptureArea&)> whilePicking;

    // Waits until `counter` has seen a paint beyond `before`, then makes
    // sure the server has the flushed pixels.
    void waitForPaint(PaintCounter& counter, int before) {
        QElapsedTimer guard;
        guard.start();
        while (counter.paints <= before && guard.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        // X11 answers at once: a round trip that the flushed pixels precede.
        services().grabber->request(QRect(0, 0, 1, 1), nullptr);
    }

  protected:
    void RunModal(frmCaptureArea& picker) override {
        PaintCounter counter;
        picker.installEventFilter(&counter);
        picker.ShowModal();
        waitForPaint(counter, 0);
        whilePicking(picker);
        picker.removeEventFilter(&counter);
        if (picker.isLoaded()) picker.Unload();
        ++picks;
    }

  public:
    int picks = 0;
    // A click runs through its states (the button hidden, the screen beneath
    // repainted, the picture taken) from the event loop: returns once the
    // picker it brings has run.
    void pick() {
        const int before = picks;
        Comzdy_Click();
        QElapsedTimer guard;
        guard.start();
        while (picks == before && guard.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QCoreApplication::processEvents();
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zonara"));
    QApplication::setQuitOnLastWindowClosed(false);
    SystemServices system;
    SystemClipboard clipboard;
    BenchMain main(system.services(), clipboard);
    main.Form_Load();
    main.show();
    QCoreApplication::processEvents();
    const QSize size = QGuiApplication::primaryScreen()->size();
    std::printf("screen %dx%d\n", size.width(), size.height());

    // Click to the frozen screen shown.
    std::vector<double> open;
    QElapsedTimer clock;
    for (int i = 0; i < 21; ++i) {
        main.whilePicking = [&](frmCaptureArea&) { open.push_back(clock.nsecsElapsed() / 1e6); };
        clock.start();
        main.pick();
    }
    open.erase(open.begin()); // the first start pays for fonts and caches
    std::printf("click to picker shown: median %.1f ms, max %.1f ms (%zu picks)\n", median(open),
                maxOf(open), open.size());

    // Pointer moves in a drag over most of the screen, label included.
    std::vector<double> moves;
    main.whilePicking = [&](frmCaptureArea& picker) {
        PaintCounter counter;
        picker.installEventFilter(&counter);
        picker.Form_MouseDown(1, 0, 40, 30);
        for (int i = 0; i < 200; ++i) {
            const int before = counter.paints;
            QElapsedTimer t;
            t.start();
            picker.Form_MouseMove(1, 0, size.width() / 2 + i * 3, size.height() / 2 + i * 2);
            main.waitForPaint(counter, before);
            moves.push_back(t.nsecsElapsed() / 1e6);
        }
        picker.removeEventFilter(&counter);
    };
    main.pick();
    std::printf("pointer move to outline redrawn: median %.2f ms, max %.2f ms (%zu moves)\n",
                median(moves), maxOf(moves), moves.size());

    // Release to the magnified-region window painted.
    std::vector<double> release;
    for (int i = 0; i < 11; ++i) {
        main.whilePicking = [&](frmCaptureArea& picker) {
            picker.Form_MouseDown(1, 0, 200, 150);
            picker.Form_MouseMove(1, 0, 520, 390);
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            picker.Form_MouseUp(1, 0, 520, 390);
            Fortdck* f = main.fortdck();
            if (!f) return;
            PaintCounter counter;
            f->installEventFilter(&counter);
            main.waitForPaint(counter, 0);
            f->removeEventFilter(&counter);
            release.push_back(t.nsecsElapsed() / 1e6);
        };
        main.pick();
    }
    release.erase(release.begin());
    std::printf("release to magnified window painted (320x240 region): median %.1f ms, max "
                "%.1f ms (%zu picks)\n",
                median(release), maxOf(release), release.size());
    main.UnloadFortdck();
    return 0;
}
