#pragma once

class QSize;
class QWidget;
class ScreenGrabber;

// Grows the paint buffer of `window` (which has its native window) to
// `size`, in logical pixels, before its first paint, and hands `grabber`
// the work of making the buffer's pages resident, to be done while the
// next picture is taken. A fresh buffer costs a page fault for every
// 4 KiB on its first write, some 10 ms for a 1920x1080 screen and 25 ms
// for a 4K one, which the first paint after the picture would pay.
void readyPaintBuffer(QWidget& window, const QSize& size, ScreenGrabber& grabber);
