#include "magnifier/editor/clspotoshop.h"
#include "raster/surface.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

struct Operation {
    const char* name;
    const char* target; // what the operation should stay under at 4K
    double changed = 0;
    double whole = 0;
};

std::unique_ptr<raster::Surface> screen(QSize size) {
    auto s = raster::Surface::create(size);
    QRandomGenerator rng(1);
    for (int y = 0; y < size.height(); y += 16)
        for (int x = 0; x < size.width(); x += 16)
            s->fillRect(QRect(x, y, 16, 16), rng.generate() & 0xFFFFFF);
    return s;
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Op> double timeEach(int count, Op op) {
    std::vector<double> samples;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        op(i);
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(samples);
}

void trace(clspotoshop& sel, raster::Surface* target, const std::vector<QPoint>& points) {
    sel.OpenRgn(target, target->width(), target->height());
    for (size_t i = 0; i < points.size(); ++i)
        sel.addPoint(points[i].x(), points[i].y(), i == 0);
    sel.endSel();
}

void traceRectangle(clspotoshop& sel, raster::Surface* target, QRect r) {
    trace(sel, target, {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft(), r.topLeft()});
}

// A wavy loop nearly as large as the screen, a point every few pixels, which
// gives the marching outline the most pieces to redraw.
std::vector<QPoint> freeHandLoop(QSize size) {
    std::vector<QPoint> points;
    const int count = (size.width() + size.height()) / 2;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        const double wave = 0.9 + 0.08 * std::sin(11 * a);
        points.emplace_back(int(size.width() / 2 * (1 + wave * std::cos(a))),
                            int(size.height() / 2 * (1 + wave * std::sin(a))));
    }
    return points;
}

// How many rectangles the editor is asked to repaint for one outline frame:
// 800x600, full-screen rectangle, free-hand full screen.
int g_pieces[3];

// One engine of each composition runs the same gestures; returns the medians
// in milliseconds in the order of `ops`.
std::vector<double> measure(QSize size, Composition composition) {
    std::vector<double> out;
    const int samples = size.width() > 2000 ? 41 : 61;
    const QPoint centre(size.width() / 2, size.height() / 2);

    {
        auto target = screen(size);
        clspotoshop sel(composition);
        sel.OpenRgn(target.get(), size.width(), size.height());
        sel.addPoint(centre.x(), centre.y(), true);
        sel.addPoint(centre.x() + 2, centre.y(), false);
        sel.addPoint(centre.x() + 4, centre.y() + 1, false);
        // A free-hand spiral, a few pixels per mouse move, as a trace grows.
        out.push_back(timeEach(samples * 3, [&](int i) {
            const double a = i * 0.05;
            const double r = 20 + i * 1.5;
            sel.addPoint(centre.x() + int(r * std::cos(a)), centre.y() + int(r * std::sin(a)),
                         false);
        }));
    }

    // The editor takes the written area after every call, so the figures
    // include that.
    auto target = screen(size);
    clspotoshop sel(composition);
    traceRectangle(sel, target.get(), QRect(centre - QPoint(400, 300), QSize(800, 600)));
    out.push_back(timeEach(samples, [&](int) {
        sel.Display();
        g_pieces[0] = sel.takeWritten().rectCount();
    }));
    sel.MoveStart(centre.x(), centre.y());
    out.push_back(timeEach(samples, [&](int i) {
        sel.MoveClipTo(centre.x() + 3 * (i + 1), centre.y() + 2 * (i + 1));
        sel.takeWritten();
    }));
    out.push_back(timeEach(samples, [&](int) {
        sel.Display();
        sel.takeWritten();
    }));

    clspotoshop full(composition);
    traceRectangle(full, target.get(), QRect(QPoint(0, 0), size - QSize(1, 1)));
    out.push_back(timeEach(samples, [&](int) {
        full.Display();
        g_pieces[1] = full.takeWritten().rectCount();
    }));
    {
        clspotoshop wavy(composition);
        trace(wavy, target.get(), freeHandLoop(size));
        out.push_back(timeEach(samples, [&](int) {
            wavy.Display();
            g_pieces[2] = wavy.takeWritten().rectCount();
        }));
        wavy.Paste();
    }
    // A new back colour rebuilds the selection and nothing else.
    out.push_back(timeEach(9, [&](int i) { full.BackColor(raster::Colour(i * 0x10203)); }));
    return out;
}

// Opening the editor hands it the captured picture; a copy of it at 4K would
// cost more than a frame.
void reportAdoption(QSize size) {
    auto capture = [size] {
        const qsizetype bytes = qsizetype(size.width()) * size.height() * 4;
        auto* pixels = static_cast<uchar*>(std::malloc(bytes));
        std::memset(pixels, 0x40, bytes);
        return QImage(pixels, size.width(), size.height(), size.width() * 4, QImage::Format_RGB32,
                      std::free, pixels);
    };
    std::vector<double> adopted;
    std::vector<double> copied;
    QElapsedTimer timer;
    for (int i = 0; i < 11; ++i) {
        QImage picture = capture();
        timer.start();
        auto surface = raster::Surface::adopt(std::move(picture));
        adopted.push_back(timer.nsecsElapsed() / 1e6);
        QImage shared = capture();
        QImage holder = shared;
        timer.start();
        surface = raster::Surface::adopt(shared);
        copied.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-32s %13.3f %13s %9s %14s\n", "adopt capture, moved in", median(adopted), "-",
                "-", "-");
    std::printf("%-32s %13.3f %13s %9s %14s\n", "adopt capture, held elsewhere", median(copied),
                "-", "-", "-");
}

void report(QSize size) {
    std::vector<Operation> ops{
        {"addPoint, free-hand trace", "<= 2 ms"},     {"Display, selected 800x600", "<= 4 ms"},
        {"MoveClipTo, 800x600", "<= 4 ms"},           {"Display, lifted 800x600", "<= 4 ms"},
        {"Display, selected full screen", "<= 8 ms"}, {"Display, free-hand full screen", "<= 8 ms"},
        {"MakeRgn, full-screen rectangle", "-"},
    };
    const auto whole = measure(size, Composition::WholeFrame);
    const auto changed = measure(size, Composition::ChangedArea);
    std::printf("\n%dx%d, median milliseconds per operation\n", size.width(), size.height());
    std::printf("%-32s %13s %13s %9s %14s\n", "operation", "changed area", "whole frame", "ratio",
                "target at 4K");
    for (size_t i = 0; i < ops.size(); ++i)
        std::printf("%-32s %13.3f %13.3f %8.1fx %14s\n", ops[i].name, changed[i], whole[i],
                    whole[i] / changed[i], ops[i].target);
    reportAdoption(size);
    std::printf("rectangles per outline frame: 800x600 %d, full screen %d, free-hand %d\n",
                g_pieces[0], g_pieces[1], g_pieces[2]);
    std::fflush(stdout);
}

} // namespace

// Sizes may be given as WIDTHxHEIGHT arguments; full HD and 4K otherwise.
int main(int argc, char** argv) {
    std::vector<QSize> sizes;
    for (int i = 1; i < argc; ++i) {
        const QStringList wh = QString::fromLocal8Bit(argv[i]).split(u'x');
        if (wh.size() == 2 && wh[0].toInt() > 0 && wh[1].toInt() > 0)
            sizes.emplace_back(wh[0].toInt(), wh[1].toInt());
    }
    if (sizes.empty()) sizes = {QSize(1920, 1080), QSize(3840, 2160)};
    for (QSize size : sizes)
        report(size);
    return 0;
}
