#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

class QPainter;

// What the user draws over the frozen picture: objects in the picture's
// device pixels, so that every zoom and pan takes them along and a copy or a
// file gets them at the picture's own resolution. No widgets here: the
// editor owns one Drawing and shows it through `render`.
namespace drawing {

// One value per kind; the kinds after Ellipse have data of their own in
// Shape.
enum class Kind : quint8 {
    Pen,         // free-hand, through every point
    Highlighter, // free-hand or straight, blended so that what lies below stays readable
    Line,        // from the first point to the last
    Arrow,       // a line with its head on the last point
    Box,         // the outline of the box spanned by the first and the last point
    Ellipse,     // the ellipse inside that box
    Number,      // a step number in a filled circle centred on the one point
    Pixelate,    // the picture in the box between the two points, in blocks
    Text,        // lines of text, the first line's top-left on the one point
};

constexpr qreal MinWidth = 1;
constexpr qreal MaxWidth = 40;
qreal clampWidth(qreal width);
// A step number's circle grows with the width: 12 picture pixels across at
// width 1, 168 at 40.
qreal numberRadius(qreal width);
// Black on light colours, white on dark ones: the number stays readable on
// its circle.
QColor contrasting(const QColor& colour);
// Text follows the width as the pens do: letters 12 + 3 x width picture
// pixels high (15 at width 1, 24 at the first 4, 132 at 40), the font
// unhinted so that it keeps its shape at every scale.
qreal textPixelSize(qreal width);
QFont textFont(qreal width);

// A pixelated box's blocks are this many device pixels square, or less where
// the box ends: too coarse for text to be read back.
constexpr int PixelBlock = 12;

struct Shape {
    Kind kind = Kind::Pen;
    QColor colour = Qt::red;
    qreal width = 4; // picture pixels
    // Free-hand kinds: the traced points; step numbers and text: the one
    // point they are placed at; the others: the drag's start and end.
    std::vector<QPointF> points;
    int number = 0; // Number: the step it shows
    // Pixelate: one pixel per block, the first at the box's top-left; null
    // while the box is still being dragged.
    QImage blocks;
    QString text; // Text: its lines, split by '\n'

    // The outline the stroke follows, before the pen's width.
    QPainterPath path() const;
    // Every picture pixel the shape can colour.
    QRectF bounds() const;
    // Whether `p` lies on the stroke or within `tolerance` of it.
    bool touches(QPointF p, qreal tolerance) const;
    // The head of an arrow, a closed triangle whose tip is the last point.
    QPolygonF arrowHead() const;
    // The box the points span, before the pen's width: what resizing
    // stretches. Step numbers and text have no size to drag and give none.
    QRectF frame() const;
    bool resizable() const { return kind != Kind::Number && kind != Kind::Text; }
};

// `shape` with its frame stretched onto `to`: the frame's top-left goes to
// `to`'s top-left and its bottom-right to `to`'s bottom-right, so that a
// negative width or height mirrors it. A side of no length moves along
// with the frame. Shapes that are not resizable move by the top-left. A
// pixelated box takes its blocks anew from `picture` where one is given.
Shape resized(const Shape& shape, const QRectF& to, const QImage& picture = QImage());

// Makes `shape`, a Pixelate whose points span its box, the blocks of
// `picture` in that box: the box goes to whole pixels within the picture,
// and each block takes the average colour of its pixels. A box without
// pixels is left without blocks.
void pixelate(Shape& shape, const QImage& picture);

// Draws one shape; `painter` maps picture pixels to wherever it paints.
void renderShape(QPainter& painter, const Shape& shape);
// The shapes, bottom first, through `pictureToScreen`, antialiased; with
// `screenArea`, only those that reach into it.
void render(QPainter& painter, const std::vector<Shape>& shapes, const QTransform& pictureToScreen,
            const QRectF& screenArea = QRectF());
// The shapes drawn onto `image` through `pictureToImage`, in `bands` of
// rows side by side, a thread each (0: as many as there are cores). The
// pixels are those of a single pass.
void renderInBands(QImage& image, const std::vector<Shape>& shapes,
                   const QTransform& pictureToImage, int bands = 0);

// The objects on one picture, bottom first, with their undo history.
class Drawing {
  public:
    // Steps kept for undo; older ones are forgotten.
    static constexpr std::size_t HistoryDepth = 200;

    const std::vector<Shape>& shapes() const { return m_shapes; }
    bool isEmpty() const { return m_shapes.empty(); }
    // Differs after every change of the shapes from what it was before,
    // and from that of every other Drawing's shapes.
    quint64 revision() const { return m_revision; }

    // Each edit is one step of the history and drops what could be redone.
    void add(Shape shape);
    // False, and no step, when the edit would change nothing.
    bool remove(std::size_t index);
    bool move(std::size_t index, QPointF by);
    bool recolour(std::size_t index, const QColor& colour);
    // The shape stretched onto `to`, as `resized` does.
    bool resize(std::size_t index, const QRectF& to, const QImage& picture = QImage());
    bool clear();

    // The number a new step number shows: one more than the highest on the
    // picture, so that an undone number is given again.
    int nextNumber() const;

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Take back the last step, or make the last one taken back again; false
    // when there is none.
    bool undo();
    bool redo();

    // The topmost shape within `tolerance` picture pixels of `p`.
    std::optional<std::size_t> hitTest(QPointF p, qreal tolerance) const;
    // The same for a point on the screen, `tolerance` in screen pixels
    // whatever the zoom.
    std::optional<std::size_t> hitTestOnScreen(QPointF screenPoint,
                                               const QTransform& pictureToScreen,
                                               qreal tolerance = 4) const;

    // All shapes onto `painter`, through `pictureToScreen`, antialiased;
    // with `screenArea`, only those that reach into it.
    void render(QPainter& painter, const QTransform& pictureToScreen,
                const QRectF& screenArea = QRectF()) const;
    // A copy of `picture` with every shape on it at the picture's size,
    // drawn in `bands` of rows side by side (0: as many as there are cores).
    QImage flattened(const QImage& picture, int bands = 0) const;

  private:
    struct Step {
        enum class Op : quint8 { Add, Remove, Move, Recolour, Clear, Resize } op;
        std::size_t index = 0;
        // Add, Remove: the one shape; Clear: all of them; Resize: the shape
        // before and after.
        std::vector<Shape> shapes;
        QPointF by;
        QColor before, after;
    };
    void record(Step step);
    void apply(const Step& step, bool forward);

    std::vector<Shape> m_shapes;
    quint64 m_revision = nextRevision();
    static quint64 nextRevision();
    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
};

} // namespace drawing
