// What drawing costs in the annotation editor, on a real X display of the
// screen's size, from the event until the X server has shown the repaint
// that it causes:
//   - a pen's pointer move to its new segment painted, over a bare picture
//     and over 1,000 drawn objects, at 1x and zoomed;
//   - a wheel notch to the picture redrawn at its new zoom, over a bare
//     picture and over 1,000 objects;
//   - Ctrl+C to the clipboard holding the picture with its drawings.
// Run by run_editordraw_bench.py on private X servers at 1920x1080 and
// 3840x2160. Prints medians in milliseconds.
#include "../support/onscreen.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/editor/picturearea.h"
#include "shared/platform/screeninfo.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A desktop's worth of flat areas and edges.
QImage desktop(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator rng(1);
    for (int y = 0; y < size.height(); y += 16)
        for (int x = 0; x < size.width(); x += 16) {
            const QRgb c = rng.generate() | 0xFF000000u;
            for (int yy = y; yy < std::min(y + 16, size.height()); ++yy) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(yy));
                std::fill(line + x, line + std::min(x + 16, size.width()), c);
            }
        }
    return image;
}

using onscreen::median;

// Runs `step` and waits for the picture area's next paint; the time is
// from the event until the X server has handled the window's flush that
// follows that paint in the same repaint.
double untilPainted(frmphotoshop& e, const std::function<void()>& step) {
    bool painted = false;
    const auto c = QObject::connect(e.Picture1, &PictureArea::Paint, [&] { painted = true; });
    QElapsedTimer t;
    t.start();
    step();
    while (!painted && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    onscreen::roundTrip();
    const double ms = t.nsecsElapsed() / 1e6;
    QObject::disconnect(c);
    return painted ? ms : -1;
}

void send(QWidget* to, QEvent* e) {
    QApplication::sendEvent(to, e);
}

void mouse(frmphotoshop& e, QEvent::Type type, QPointF at, Qt::MouseButton b,
           Qt::MouseButtons held) {
    QMouseEvent m(type, at, e.Picture1->mapToGlobal(at), b, held, Qt::NoModifier);
    send(e.Picture1, &m);
}

// A pen stroke's moves, a few logical pixels apart, each timed to its paint.
double penMoves(frmphotoshop& e, QPointF centre, int runs) {
    e.Toolbar1_ButtonClick(QStringLiteral("ToolPen"));
    mouse(e, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    std::vector<double> ms;
    for (int i = 1; i <= runs; ++i) {
        const double a = i * 0.07, r = 20 + i * 0.8;
        const QPointF at = centre + QPointF(r * std::cos(a), r * std::sin(a));
        ms.push_back(untilPainted(
            e, [&] { mouse(e, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }));
    }
    mouse(e, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    // That stroke is not one of the objects the next figures count.
    e.Undo();
    QCoreApplication::processEvents();
    return median(ms);
}

struct Notches {
    double painted = 0; // the picture at its new zoom
    double sharp = 0;   // busy drawings drawn sharp at it; 0 where they were at once
};

// Wheel notches over the middle, two in and two out, each timed to the
// repaint at the new zoom, and to the repaint with the drawings sharp
// where busy drawings come from a frame drawn meanwhile.
Notches wheelNotches(frmphotoshop& e, QPointF centre, bool busy) {
    std::vector<double> painted, sharp;
    for (int i = 0; i < 41; ++i) {
        const int delta = i % 4 < 2 ? 120 : -120;
        bool ready = false;
        const auto c =
            QObject::connect(&e.frames(), &DrawingFrames::ready, [&ready] { ready = true; });
        QElapsedTimer t;
        t.start();
        painted.push_back(untilPainted(e, [&] {
            QWheelEvent w(centre, e.Picture1->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            send(e.Picture1, &w);
        }));
        // The frame on its way: wait for it and its repaint.
        if (busy && (ready || QTest::qWaitFor([&ready] { return ready; }, 5000))) {
            untilPainted(e, [] {});
            sharp.push_back(t.nsecsElapsed() / 1e6);
        } else {
            sharp.push_back(0);
        }
        QObject::disconnect(c);
    }
    return {median(painted), median(sharp)};
}

// 1,000 objects of every stroked kind and numbers, spread over the picture,
// drawn through the editor's own handlers.
void drawThousand(frmphotoshop& e) {
    QRandomGenerator rng(7);
    const int w = e.Picture1->pictureWidth(), h = e.Picture1->pictureHeight();
    const char* tools[] = {"ToolPen",  "ToolBox",    "ToolArrow", "ToolEllipse",
                           "ToolLine", "ToolMarker", "ToolNumber"};
    for (int i = 0; i < 1000; ++i) {
        e.Toolbar1_ButtonClick(QString::fromLatin1(tools[i % 7]));
        const int x = rng.bounded(w - 200), y = rng.bounded(h - 200);
        e.Picture1_MouseDown(1, 0, x, y);
        for (int k = 1; k <= 8; ++k)
            e.Picture1_MouseMove(1, 0, x + k * 20, y + int(60 * std::sin(k + i)) + 80);
        e.Picture1_MouseUp(1, 0, x + 160, y + 150);
    }
    QCoreApplication::processEvents();
}

bool measure(QSize size) {
    FixedScreenInfo screen(units::Screen::fromDpi(size.width(), size.height(), 96, 96));
    Services services;
    services.screen = &screen;
    // Closing deletes the editor later, as it does in the program.
    frmphotoshop& e = *new frmphotoshop(services);
    e.Form_Load();
    e.Timer1->stop();
    e.setPicture(desktop(size), 1);
    e.show();
    if (!QTest::qWaitForWindowExposed(&e)) {
        std::fprintf(stderr, "the editor was never exposed\n");
        return false;
    }
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const int runs = 201;

    const double bare = penMoves(e, centre, runs);
    const double bareWheel = wheelNotches(e, centre, false).painted;
    drawThousand(e);
    std::printf("%dx%d (window %dx%d), %zu objects drawn\n", size.width(), size.height(), e.width(),
                e.height(), e.drawings().shapes().size());
    const double busy = penMoves(e, centre, runs);
    e.zoomAt(6, centre);
    const double zoomedPen = penMoves(e, centre, runs);
    e.zoomAt(-6, centre);
    const Notches busyWheel = wheelNotches(e, centre, true);

    std::vector<double> copy;
    QImage held;
    for (int i = 0; i < 21; ++i) {
        QGuiApplication::clipboard()->clear();
        QElapsedTimer t;
        t.start();
        QKeyEvent c(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
        send(&e, &c);
        // The X server has been told that zuz owns the clipboard.
        onscreen::roundTrip();
        held = QGuiApplication::clipboard()->image();
        copy.push_back(t.nsecsElapsed() / 1e6);
    }
    const bool whole = held.size() == size;

    std::printf("  pen move to its segment painted, bare picture:   median %6.2f ms\n", bare);
    std::printf("  pen move to its segment painted, 1,000 objects:  median %6.2f ms\n", busy);
    std::printf("  the same zoomed 1.25^6 (3.8x):                   median %6.2f ms\n", zoomedPen);
    std::printf("  wheel notch to the picture redrawn, bare picture: median %6.2f ms\n", bareWheel);
    std::printf("  wheel notch to the picture redrawn, 1,000 objects: median %6.2f ms\n",
                busyWheel.painted);
    std::printf("    and to the drawings sharp at the new zoom:     median %6.2f ms\n",
                busyWheel.sharp);
    std::printf("  Ctrl+C to the clipboard holding the picture:     median %6.2f ms%s\n",
                median(copy), whole ? "" : " (the clipboard's picture had another size!)");
    e.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!onscreen::connection()) {
        std::fprintf(stderr, "needs an X display\n");
        return 1;
    }
    return measure(QGuiApplication::primaryScreen()->size()) ? 0 : 1;
}
