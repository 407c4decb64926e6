#pragma once

#include "magnifier/imagecontrol.h"
#include "magnifier/viewcapture.h"
#include "magnifier/viewoverlay.h"
#include "shared/colouraids.h"
#include "shared/units.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QPaintEvent;
class QWidget;
class ScreenGrabber;
class ServerSurface;

// Where the view's picture is painted: through a child window that X11
// draws straight from the capture where it can, in the view's own paint
// buffer otherwise. It also keeps that buffer no longer than views in a row
// need it.
class ViewCanvas : public QObject {
    Q_OBJECT
  public:
    // `picture` is the view's picture control, placed in twips of `screen`;
    // `aids` say how it is shown.
    ViewCanvas(QWidget& view, ScreenGrabber& grabber, const ColourAids& aids,
               const ImageControl& picture, std::function<units::Screen()> screen);

    // Whether X11 draws the picture; native buttons must then lie above it.
    bool onServer() const { return m_surface != nullptr; }
    // The widget the picture is painted in now.
    QWidget* widget() const;
    // Where the picture control lies, in the view's logical pixels.
    QRectF pictureRect() const;

    // The picture as the view shows it: the capture, or while a colour aid
    // is on a changed copy of it, made once per capture and aid, in memory
    // the server path can draw from.
    const Picture& shownPicture();
    // The pointer moved over the view (its logical pixels): the overlays
    // that follow it are drawn again where they change.
    void pointerMoved(QPoint pos, colouraids::PictureMotion motion);
    // A picture of the screen would show the aids where the view's own
    // picture is wanted without them: drawn here instead, its buttons
    // included, in device pixels. Magnified again, the view is drawn
    // without its aids, which would otherwise apply twice; for the editor,
    // with its colours but without the crosshairs and the band, which help
    // to read it and are not part of it. None where a capture will do.
    std::optional<Picture> drawnInstead(ViewCapture::Purpose purpose);

    // Repaints the picture on whichever path can draw it now.
    void refresh();
    // Paints at once, so that a capture taken next sees the view whole.
    void repaintNow();
    void paint(QPaintEvent* event);
    void resized();

    // Grows the paint buffer to `size` before the view is shown, its pages
    // made resident while the capture is under way.
    void readyPaintBuffer(const QSize& size);
    // The buffers are given back a while after the view hides, unless the
    // next view came first.
    void viewShown() { m_release.stop(); }
    void viewHidden() { m_release.start(); }
    bool releasePending() const { return m_release.isActive(); }
    // Gives back the paint buffer and all but one capture buffer.
    void releaseBuffers();

  private:
    void paintPicture(QPainter& painter, const QRegion& region, const Picture& pic);
    bool drawOnServer(const QRegion& devicePixels);
    void aidChanged(ColourAids::Aspect aspect);

    const ColourAids& m_aids;
    ViewOverlay m_overlay{m_aids};
    Picture m_shown;
    qint64 m_shownKey = 0;
    colouraids::ColourRule m_shownRule;
    // The shown picture under the band's shade, while the band is on: the
    // server draws the shade from it as plainly as the picture itself.
    const Picture& dimmedPicture(const Picture& shown);
    Picture m_dimmed;
    qint64 m_dimmedKey = 0;

    QWidget& m_view;
    ScreenGrabber& m_grabber;
    const ImageControl& m_picture;
    std::function<units::Screen()> m_screen;
    ServerSurface* m_surface = nullptr;
    // The paint buffer outlives a view by this long, so that views in a row
    // come up fast, and no longer, so that a program waiting in the tray
    // holds one screen-sized buffer only: the capture's, which stays
    // resident for the next view.
    QTimer m_release;
};
