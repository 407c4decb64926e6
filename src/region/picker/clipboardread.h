#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <vector>

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

// A reader whose requests share reads: one that comes while a read is under
// way shares the next read, not that one's answer, since the clipboard may
// have changed since that read asked.
class SharedClipboardPictureReader : public ClipboardPictureReader {
  public:
    void read(Done done) final {
        (m_busy ? m_next : m_waiting).push_back(std::move(done));
        if (!m_busy) begin();
    }

  protected:
    // Starts a read, which ends with finish().
    virtual void start() = 0;
    void finish(const QImage& got) {
        m_busy = false;
        std::vector<Done> waiting;
        waiting.swap(m_waiting);
        m_waiting.swap(m_next);
        if (!m_waiting.empty()) begin();
        for (const Done& done : waiting)
            done(got);
    }

  private:
    void begin() {
        m_busy = true;
        start();
    }

    // Those the read under way answers, and those the next one will.
    std::vector<Done> m_waiting;
    std::vector<Done> m_next;
    bool m_busy = false;
};

// The reader of X11, Wayland or Windows, whichever the program runs on; null where there
// is none, and Qt's own clipboard is read instead.
std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader();
