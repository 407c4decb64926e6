#pragma once

#include "magnifier/editor/editorboard.h"
#include "magnifier/editor/editorzoom.h"
#include "raster/surface.h"
#include "shared/mousereporting.h"

#include <QTransform>
#include <QWidget>

#include <functional>
#include <memory>

// The editor's drawing surface: it holds the picture the editor works on, in
// device pixels, and shows it at the editor's zoom and pan, or a board in
// its place. Whatever is written into the
// picture reaches the screen through `pictureChanged`, rectangle by
// rectangle; a repaint that X11, Wayland or Windows asks for draws the picture as it is
// now, edits included. Mouse positions are reported in picture pixels.
class PictureArea : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    // Raster drawing modes of the pen, by their platform numbers.
    enum DrawModes { MaskPen = 9, NotXorPen = 10, CopyPen = 13 };

    explicit PictureArea(QWidget* parent = nullptr);
    ~PictureArea() override;

    // Takes the picture over as the surface everything is drawn on, and
    // sizes the area to it. A null picture leaves an empty area. Handed
    // over with nothing else holding it, it is drawn on where it lies.
    void setPicture(QImage picture, qreal devicePixelRatio);
    // The surface ("device context"); null until a picture is set.
    raster::Surface* hDC() const { return m_surface.get(); }
    // Size of the picture in device pixels.
    int pictureWidth() const;
    int pictureHeight() const;
    qreal pictureRatio() const { return m_ratio; }

    // The drawing colour is the window text colour, black; only the mode
    // changes.
    int DrawMode = CopyPen;
    QColor BackColor = Qt::white;

    // Draws the outline of the box between two corners, both included, with
    // the pen in the current drawing mode. Returns the part of the picture
    // it touched.
    QRect drawBox(QPoint a, QPoint b);
    // The colour of one picture pixel, 0x00BBGGRR; black off the picture.
    quint32 Point(QPoint p) const;

    // Schedules a repaint of picture pixels that were written.
    void pictureChanged(const QRegion& pictureArea);

    // Logical widget position to the picture pixel under it; at 1x the
    // device pixel, halves to even.
    QPoint toPicture(const QPointF& pos) const;
    // The picture point under a logical position, between pixels when
    // zoomed in; at 1x the pixel toPicture gives.
    QPointF pictureAt(const QPointF& pos) const;
    // That point, and the pixel, for the mouse report being handled.
    QPointF reportedAt() const { return m_reported; }
    QPoint reportedPixel() const { return m_reportedPixel; }
    // Picture pixels to the logical positions a painter on the area uses.
    QTransform pictureToWidget() const;

    // The zoom and pan; whoever changes them updates the area.
    EditorZoom Zoom;
    // A board hides the picture, which stays as it is beneath.
    void setBoard(Board board);
    Board board() const { return m_board; }

    // What the area shows beneath its overlay: the picture at its place
    // (null on a board) and the colour around it. Paints onto any painter
    // in the area's logical positions, in any thread, given a picture of
    // its own: the surface's pixels change in place.
    struct Base {
        QImage picture;
        quint64 revision = 0; // the surface's
        QRectF shown;
        QColor back;
    };
    Base base() const;
    static void paintBase(QPainter& painter, const QRegion& region, const Base& base);

    // Paints over the picture on every repaint, with a painter in logical
    // positions, given the part being repainted: what is drawn on the
    // picture without being part of it.
    std::function<void(QPainter&, const QRect&)> Overlay;

  signals:
    void MouseDown(int button, int shift, int x, int y);
    void MouseMove(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void DblClick();
    // The same double click with its press, for tools that take it as one.
    void DblClickAt(int button, int shift, int x, int y);
    void Paint();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void reportMouse(const MouseReport& report) override;

  private:
    QRect toLogical(const QRect& pictureRect) const;
    std::unique_ptr<raster::Surface> m_surface;
    qreal m_ratio = 1;
    Board m_board = Board::Picture;
    QPointF m_reported;
    QPoint m_reportedPixel;
};
