#pragma once

#include <QImage>
#include <QRect>

class ScreenGrabber;

// What waiting for the screen under a hidden window took.
struct RepaintWait {
    int looks = 0;        // captures of the area
    bool settled = false; // false: the time limit ended the wait
};

// Returns once `nativeArea` of the screen no longer shows `hidden` (the
// pixels of the window just taken off it) and two looks a few milliseconds
// apart agree, or after `limitMs`. A window beneath that repaints only
// when it gets to it, or a compositor that shows a frame late, would
// otherwise leave the hidden window in the next capture.
RepaintWait awaitRepainted(ScreenGrabber& grabber, const QRect& nativeArea, const QImage& hidden,
                           int limitMs = 300);
