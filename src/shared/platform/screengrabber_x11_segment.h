#pragma once

// What a grabber keeps of its shared segments; for its own source files.
#include "shared/platform/screengrabber_x11.h"

#include <QSize>

#include <memory>
#include <vector>

struct xcb_connection_t;

// Segments of released pictures stay attached to the server for the next
// capture, which then costs no set-up round trips and writes into pages that
// are mapped already; trim() gives back all but the latest. A kept segment
// is never madvise'd or unmapped, so its pages stay resident on both sides:
// a new segment costs a page fault per 4 KiB, about 25 ms for a 4K screen.
struct X11ScreenGrabber::Pool {
    xcb_connection_t* conn = nullptr;
    bool alive = true;
    std::vector<Segment*> spare;
    // Segments that pictures hold now.
    std::vector<Segment*> held;
};

struct X11ScreenGrabber::Segment {
    quint32 seg = 0;
    void* addr = nullptr;
    std::size_t bytes = 0;
    std::shared_ptr<Pool> pool;
    // A shared pixmap over the segment and its RENDER picture, while a
    // picture in it is drawn; the size they were made for.
    quint32 pixmap = 0;
    quint32 picture = 0;
    QSize drawnSize;
};
