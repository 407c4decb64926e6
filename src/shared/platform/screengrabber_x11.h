#pragma once

#include "shared/platform/screengrabber.h"
#include "shared/platform/x11pixels.h"

#include <memory>

struct xcb_connection_t;

// Reads the root window through shared memory (MIT-SHM): the server writes
// the pixels straight into a segment that becomes the picture itself, so a
// capture costs one copy on the server's side and none on ours. A released
// picture's segment is kept, mapped, for the next capture; trim() keeps only
// the latest. Small areas, and every area where the server has no MIT-SHM,
// come through an ordinary image request, in the server's own pixels, read
// by the screen's depth and visual (16, 24 and 30 bits, colour maps). A picture in a segment can be
// drawn enlarged by the server itself, from the same memory (drawStretched()).
class X11ScreenGrabber : public DirectScreenGrabber {
    Q_OBJECT
  public:
    explicit X11ScreenGrabber(xcb_connection_t* connection);
    ~X11ScreenGrabber() override;

    // The pixels of `rootArea` of the root window, at once; what
    // request() answers with.
    QImage grabRoot(const QRect& rootArea);
    void trim() override;
    bool drawStretched(WId window, const QRegion& clip, const QRectF& target, const QImage& picture,
                       const QRectF& source, const QColor& back,
                       Filter filter = Filter::Nearest) override;
    void fillOver(WId window, const QRegion& clip, const QList<QRect>& rects, QRgb colour) override;
    QImage drawableLike(const QImage& like) override;
    bool drawsOnServer() const override;
    bool drawsOnServer(const QImage& picture) const override;

    struct Segment;
    struct Pool;
    // Frees the server's pixmap over a segment, if it has one.
    static void freeServerPicture(Segment* segment);

  protected:
    QImage grabNow(const QRect& area, QString& whyNot) override;

  private:
    // The root's size from a geometry request's reply, or the last known.
    QSize rootSize(unsigned int geometryCookie);
    // The pixels of an ordinary image request's reply, `size` of them.
    QImage plainImage(unsigned int imageCookie, const QSize& size);
    // The screen's pixel layout, and for a colour map its colours now.
    void readPixelLayout();
    void readPalette();
    Segment* attachSegment(std::size_t bytes);
    // The segment a picture of this grabber's lies in, or null.
    Segment* segmentOf(const QImage& picture) const;
    // Asks the server once whether it can draw from a segment: shared
    // pixmaps and RENDER with transforms and filters.
    void queryRender();
    // The RENDER picture of a segment's pixels as `picture` lays them out.
    quint32 sourcePicture(Segment& segment, const QImage& picture);
    quint32 windowFormat(quint32 window);
    // A RENDER picture of `window` clipped to `clip`, or 0.
    quint32 windowPicture(WId window, const QRegion& clip);

    xcb_connection_t* m_conn;
    quint32 m_root = 0;
    QSize m_rootSize;
    bool m_shm = false;
    X11PixelLayout m_layout;
    // The root's colour map where pixels are colour indices, 0 otherwise.
    quint32 m_colormap = 0;
    bool m_sharedPixmaps = false;
    // 0 until queryRender() found the formats drawing needs.
    quint32 m_rgb24 = 0;
    // The format of the last window drawn on, by its visual.
    quint32 m_lastWindow = 0;
    quint32 m_lastWindowFormat = 0;
    // Shared with every picture still holding a segment, so that a picture
    // released after the grabber does not talk to a closed connection.
    std::shared_ptr<Pool> m_pool;
};
