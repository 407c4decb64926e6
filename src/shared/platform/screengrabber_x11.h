#pragma once

#include "screengrabber.h"

struct xcb_connection_t;

// Reads the root window through a shared-memory segment (MIT-SHM), which
// is an order of magnitude faster than a plain GetImage round trip. Falls
// back to Qt's grabber where the server has no MIT-SHM.
class X11ScreenGrabber : public ScreenGrabber {
public:
    explicit X11ScreenGrabber(xcb_connection_t* connection);
    ~X11ScreenGrabber() override;

    WId desktopWindow() override;
    QImage grab(WId window, bool client, const QRect& area) override;

private:
    bool ensureSegment(std::size_t bytes);
    void releaseSegment();
    QPoint originOnRoot(WId window, bool client);
    QImage grabRoot(const QRect& rootArea);

    xcb_connection_t* m_conn;
    quint32 m_root = 0;
    QSize m_rootSize;
    bool m_shm = false;
    quint32 m_seg = 0;
    int m_shmId = -1;
    void* m_shmAddr = nullptr;
    std::size_t m_shmSize = 0;
};
