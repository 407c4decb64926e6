// What the annotation editor costs on the running X display, each step
// timed until the X server has shown its result: the pencil click that
// opens the editor, a free-hand trace, the marching outline and dragging
// lifted pixels. The last three also run with every frame composed and
// repainted whole, for comparison. Prints medians in milliseconds.
#include "../support/onscreen.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/editor/picturearea.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>

#include <cmath>

namespace {

using onscreen::median;

// Paints what is pending and waits until the X server has handled it.
void shown() {
    QCoreApplication::processEvents();
    onscreen::roundTrip();
}

double medianMs(int runs, const std::function<void(int)>& step) {
    return onscreen::medianMs(runs, step, shown);
}

// Opens a view and clicks its pencil; the time runs until the editor's
// first paint has reached the server.
double pencilToEditor(Frmpictd& form) {
    form.TimKey_Timer();
    if (!QTest::qWaitForWindowExposed(&form)) return -1;
    shown();
    QElapsedTimer t;
    t.start();
    form.Command5_Click();
    frmphotoshop* editor = form.editor();
    bool painted = false;
    QObject::connect(editor->Picture1, &PictureArea::Paint, editor, [&] { painted = true; });
    QElapsedTimer limit;
    limit.start();
    while (!painted && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    shown();
    const double ms = t.nsecsElapsed() / 1e6;
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return painted ? ms : -1;
}

struct Figures {
    double trace = 0;
    double antsBox = 0;
    double antsScreen = 0;
    double liftedMove = 0;
};

void selectRect(frmphotoshop& e, QRect r) {
    e.Toolbar1_ButtonClick(QStringLiteral("ToolRect"));
    e.Picture1_MouseDown(1, 0, r.left(), r.top());
    e.Picture1_MouseMove(1, 0, r.center().x(), r.center().y());
    e.Picture1_MouseMove(1, 0, r.right(), r.bottom());
    e.Picture1_MouseUp(1, 0, r.right(), r.bottom());
    shown();
}

Figures measure(const Services& services, const QImage& picture, qreal ratio,
                Composition composition) {
    Figures f;
    QPointer<frmphotoshop> editor = new frmphotoshop(services);
    frmphotoshop& e = *editor;
    e.setComposition(composition);
    e.Form_Load();
    e.Timer1->stop(); // the benchmark ticks it itself
    e.setPicture(picture, ratio);
    e.show();
    if (!QTest::qWaitForWindowExposed(&e)) std::fprintf(stderr, "the editor was never exposed\n");
    shown();
    const int w = e.Picture1->pictureWidth();
    const int h = e.Picture1->pictureHeight();
    const QPoint c(w / 2, h / 2);

    // A free-hand spiral, a few pixels per pointer move.
    e.Toolbar1_ButtonClick(QStringLiteral("ToolAny"));
    e.Picture1_MouseDown(1, 0, c.x(), c.y());
    f.trace = medianMs(121, [&](int i) {
        const double a = i * 0.05;
        const double r = 20 + i * 1.5;
        e.Picture1_MouseMove(1, 0, c.x() + int(r * std::cos(a)), c.y() + int(r * std::sin(a)));
    });
    e.Picture1_MouseUp(1, 0, c.x(), c.y());

    const QRect box(c.x() - 400, c.y() - 300, 800, 600);
    selectRect(e, box);
    f.antsBox = medianMs(41, [&](int) { e.Timer1_Timer(); });

    e.Toolbar1_ButtonClick(QStringLiteral("ToolMove"));
    e.Picture1_MouseDown(1, 0, c.x(), c.y());
    f.liftedMove = medianMs(
        61, [&](int i) { e.Picture1_MouseMove(1, 0, c.x() + 3 * (i % 40), c.y() + 2 * (i % 40)); });
    e.Picture1_MouseUp(1, 0, c.x(), c.y());

    selectRect(e, QRect(1, 1, w - 2, h - 2));
    f.antsScreen = medianMs(41, [&](int) { e.Timer1_Timer(); });
    e.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete editor.data(); // if the deferred delete did not run at this loop level
    return f;
}

void row(const char* what, double changed, double whole) {
    std::printf("%s: median %.2f ms (whole frame %.2f ms, %.1fx)\n", what, changed, whole,
                changed > 0 ? whole / changed : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SystemServices system;
    Frmpictd form(system.services());
    if (!onscreen::openFirstView(form)) return 1;

    std::vector<double> opens;
    for (int i = 0; i < 11; ++i)
        opens.push_back(pencilToEditor(form));
    std::printf("pencil click to editor painted: median %.1f ms (min %.1f, max %.1f, %zu runs)\n",
                median(opens), *std::min_element(opens.begin(), opens.end()),
                *std::max_element(opens.begin(), opens.end()), opens.size());
    form.hide();

    // The screen as the view's capture reads it; X11 answers at once, the
    // portal within its own deadline.
    QImage picture;
    const QObject asker;
    ScreenGrabber& grabber = *system.services().grabber;
    QObject::connect(&grabber, &ScreenGrabber::grabbed, &asker,
                     [&](const QObject* who, const QImage& p) {
                         if (who == &asker) picture = p;
                     });
    grabber.request(system.services().screen->nativeGeometry(), &asker);
    for (QDeadlineTimer limit(10000); picture.isNull() && !limit.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qreal ratio = form.devicePixelRatioF();
    const Figures part = measure(system.services(), picture, ratio, Composition::ChangedArea);
    const Figures whole = measure(system.services(), picture, ratio, Composition::WholeFrame);
    row("free-hand trace, pointer move to change on screen", part.trace, whole.trace);
    row("outline animation frame, 800x600 selection", part.antsBox, whole.antsBox);
    row("outline animation frame, full-screen selection", part.antsScreen, whole.antsScreen);
    row("dragging lifted 800x600 pixels, one move", part.liftedMove, whole.liftedMove);
    return 0;
}
