#pragma once

#include <QImage>

#include <functional>
#include <memory>

// Reads the picture another program holds on the clipboard without
// waiting for that program on the interface thread: an owner that is slow
// or never answers must not freeze the windows.
class ClipboardPictureReader {
  public:
    using Done = std::function<void(const QImage&)>;
    virtual ~ClipboardPictureReader() = default;
    // Calls `done` later, on the thread that asked, with the clipboard's
    // picture, or the empty picture when it holds none, gives none that
    // decodes, or its owner does not answer in time. Requests made while
    // one is under way share the one read after it.
    virtual void read(Done done) = 0;
};

// The reader of the window system the program runs on; null where there
// is none, and the toolkit's own clipboard is read instead.
std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader();
