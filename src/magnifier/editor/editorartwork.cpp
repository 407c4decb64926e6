#include "magnifier/editor/editorartwork.h"

#include "shared/cursorcache.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace editorartwork {

QPixmap canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

namespace {

// Each drawing fills a 16 x 16 cell with its top-left corner at the origin.
void dashedRectangle(QPainter& p) {
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawRect(QRectF(1.5, 3.5, 12, 9));
}

void lasso(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 64, 0), 1.4));
    p.drawEllipse(QRectF(2, 1.5, 12, 7));
    QPainterPath tail;
    tail.moveTo(5, 8);
    tail.cubicTo(3, 11, 7, 12, 5, 15);
    p.drawPath(tail);
}

void arrowWithCross(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({QPointF(0.5, 0.5), QPointF(0.5, 11.5), QPointF(3.5, 8.5), QPointF(6, 13),
                   QPointF(7.5, 12), QPointF(5.5, 7.5), QPointF(9, 7.5)}));
    // The four-way cross beside the arrow.
    p.setBrush(Qt::black);
    p.drawLine(QPointF(12.5, 6), QPointF(12.5, 15));
    p.drawLine(QPointF(8, 10.5), QPointF(15, 10.5));
    p.drawPolygon(QPolygonF({QPointF(12.5, 5), QPointF(11, 7), QPointF(14, 7)}));
    p.drawPolygon(QPolygonF({QPointF(12.5, 16), QPointF(11, 14), QPointF(14, 14)}));
    p.drawPolygon(QPolygonF({QPointF(16, 10.5), QPointF(14, 9), QPointF(14, 12)}));
}

void eyedropper(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0, 128, 255));
    p.drawRect(QRectF(-1.5, -1, 3, 8)); // glass tube
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(-3, -7, 6, 5), 1.5, 1.5); // bulb
    p.drawLine(QPointF(0, 7), QPointF(0, 9));          // tip
}

void curvedArrow(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 160), 2));
    QPainterPath arc;
    arc.moveTo(4, 6);
    arc.cubicTo(10, 3, 15, 8, 11, 13);
    p.drawPath(arc);
    p.setBrush(QColor(0, 0, 160));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(7, 2), QPointF(7, 10)}));
}

// The drawing tools show what they draw, in the pen's red.
const QColor kInk(220, 0, 0);

void pen(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath stroke;
    stroke.moveTo(2, 12);
    stroke.cubicTo(5, 4, 8, 14, 14, 3);
    p.drawPath(stroke);
}

void highlighter(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 0));
    p.drawRect(QRectF(1, 5, 14, 6));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(3, 8.5), QPointF(13, 8.5));
}

void line(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2, 14), QPointF(14, 2));
}

void arrow(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2, 14), QPointF(10, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(14.5, 1.5), QPointF(7, 4), QPointF(12, 9)}));
}

void box(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.drawRect(QRectF(2, 3, 12, 10));
}

void ellipse(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6));
    p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
}

// The undo arrow turned the other way.
void curvedArrowForward(QPainter& p) {
    p.translate(16, 0);
    p.scale(-1, 1);
    curvedArrow(p);
}

// A step number: a filled disc with a light 1.
void numberDisc(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8.5, 4), QPointF(8.5, 12));
    p.drawLine(QPointF(8.5, 4), QPointF(6, 6.5));
}

// Pixelate: a grid of grey blocks.
void blocks(QPainter& p) {
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            p.fillRect(QRect(x * 4, y * 4, 4, 4),
                       (x + y) % 2 ? QColor(70, 70, 70) : QColor(190, 190, 190));
}

// Text: a serif-less capital T.
void letterT(QPainter& p) {
    p.fillRect(QRectF(2, 2, 12, 2.5), kInk);
    p.fillRect(QRectF(6.75, 2, 2.5, 12), kInk);
}

// The select tool: a pointer on a frame with its corner grips, the frame
// unbroken so that the picture is one piece across.
void pointerOnGrips(QPainter& p) {
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.drawRect(QRectF(5.5, 5.5, 9, 9));
    for (const QPointF& c :
         {QPointF(5.5, 5.5), QPointF(14.5, 5.5), QPointF(5.5, 14.5), QPointF(14.5, 14.5)})
        p.fillRect(QRectF(c - QPointF(1.5, 1.5), QSizeF(3, 3)), Qt::black);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(0.5, 0.5), QPointF(0.5, 10.5), QPointF(3, 8), QPointF(5, 11.5),
                             QPointF(6.5, 10.5), QPointF(4.5, 7.5), QPointF(7.5, 7.5)}));
}

using Drawing = void (*)(QPainter&);
constexpr std::array<Drawing, 16> drawings{
    dashedRectangle, lasso,  arrowWithCross, eyedropper,    curvedArrow, pen,
    highlighter,     line,   arrow,          box,           ellipse,     curvedArrowForward,
    numberDisc,      blocks, letterT,        pointerOnGrips};

// A plain pointer arrow with its tip at (0, 0).
void pointer(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({QPointF(0.5, 0.5), QPointF(0.5, 16.5), QPointF(4.5, 12.5), QPointF(7.5, 18.5),
                   QPointF(10, 17.5), QPointF(7, 11.5), QPointF(12, 11.5)}));
}

// A thin cross whose centre is the hot spot, so that the user sees exactly
// which pixel a press takes.
void crossAt(QPainter& p, QPoint c) {
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(c.x() - 6, c.y(), c.x() - 2, c.y());
    p.drawLine(c.x() + 2, c.y(), c.x() + 6, c.y());
    p.drawLine(c.x(), c.y() - 6, c.x(), c.y() - 2);
    p.drawLine(c.x(), c.y() + 2, c.x(), c.y() + 6);
}

constexpr std::array<QPoint, 5> hotSpots{QPoint(9, 8), QPoint(12, 21), QPoint(11, 8), QPoint(9, 23),
                                         QPoint(11, 8)};

QPixmap cursorPicture(int index) {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    const QPoint hot = hotSpots[index];
    switch (index) {
    case 0: // rectangle tool: a cross on the hot spot, a dashed box below right
        crossAt(p, hot);
        p.translate(hot + QPoint(4, 4));
        dashedRectangle(p);
        break;
    case 1: // free-hand tool: the lasso's tail ends on the hot spot
        p.translate(hot - QPoint(5, 15));
        lasso(p);
        break;
    case 2: // move tool: the arrow's tip on the hot spot
        p.translate(hot);
        arrowWithCross(p);
        break;
    case 3: // colour-pick tool: the dropper's tip on the hot spot
        p.translate(hot - QPoint(2, 14));
        eyedropper(p);
        break;
    default: // over a selection: an arrow with a small rectangle
        p.translate(hot);
        pointer(p);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(QRectF(9.5, 13.5, 9, 6));
        break;
    }
    return pm;
}

} // namespace

QIcon toolbarImage(int index) {
    QPixmap pm = canvas(16);
    QPainter p(&pm);
    drawings[std::size_t(index)](p);
    p.end();
    return QIcon(pm);
}

QPoint toolCursorHotSpot(int index) {
    return hotSpots[std::size_t(index)];
}

QCursor toolCursor(int index) {
    static const char* const names[] = {"tool0", "tool1", "tool2", "tool3", "tool4"};
    Q_ASSERT(std::size_t(index) < std::size(names));
    return programCursor(names[index], [index] {
        const QPoint hot = hotSpots[std::size_t(index)];
        return QCursor(cursorPicture(index), hot.x(), hot.y());
    });
}

} // namespace editorartwork
