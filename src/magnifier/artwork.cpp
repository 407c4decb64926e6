#include "magnifier/artwork.h"

#include "magnifier/editor/editorartwork.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

using editorartwork::canvas;

QPixmap pencilPicture() {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 200, 40));
    p.drawRect(QRectF(-3.5, -13, 7, 19));
    p.setBrush(QColor(230, 120, 140));
    p.drawRect(QRectF(-3.5, -15, 7, 3));
    p.setBrush(QColor(240, 220, 180));
    QPainterPath tip;
    tip.moveTo(-3.5, 6);
    tip.lineTo(3.5, 6);
    tip.lineTo(0, 14);
    tip.closeSubpath();
    p.drawPath(tip);
    return pm;
}

// The view's "cancel" button and the editor's undo button share the arrow.
QPixmap undoArrowPicture() {
    return editorartwork::toolbarImage(4).pixmap(16, 16);
}

QPixmap magnifierIcon() {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.setBrush(QColor(170, 220, 255));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(QPen(QColor(120, 70, 20), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(29, 29));
    return pm;
}

QPixmap glyphIcon() {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.fillRect(QRect(1, 1, 30, 30), Qt::white);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawRect(QRect(1, 1, 30, 30));
    QFont f(QStringLiteral("SimSun"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(200, 0, 0));
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("岚"));
    return pm;
}

} // namespace artwork
