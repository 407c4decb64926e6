#include "region/picker/cursors.h"

#include "shared/cursorcache.h"

#include <QPainter>

namespace cursors {

QCursor magnifierCursor();

QPixmap thinCrossPicture() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const int c = kThinCrossHotSpot;
    // A white rim keeps the black hair line visible over dark pixels; the
    // centre stays open so that the pixel under the hot spot can be seen.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (const QRect& r : {QRect(c - 1, 0, 3, c - 2), QRect(c - 1, c + 3, 3, 32 - c - 3),
                           QRect(0, c - 1, c - 2, 3), QRect(c + 3, c - 1, 32 - c - 3, 3)})
        p.drawRect(r);
    p.setBrush(Qt::black);
    for (const QRect& r : {QRect(c, 0, 1, c - 2), QRect(c, c + 3, 1, 32 - c - 3),
                           QRect(0, c, c - 2, 1), QRect(c + 3, c, 32 - c - 3, 1)})
        p.drawRect(r);
    p.drawRect(QRect(c, c, 1, 1));
    return pm;
}

QCursor thinCross() {
    return programCursor("thinCross", [] {
        return QCursor(thinCrossPicture(), kThinCrossHotSpot, kThinCrossHotSpot);
    });
}

QCursor magnifier() {
    return programCursor("magnifier", &magnifierCursor);
}

QCursor magnifierCursor() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(200, 230, 255, 160));
    p.drawEllipse(QPointF(11, 11), 8, 8);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(8, 11), QPointF(14, 11));
    p.drawLine(QPointF(11, 8), QPointF(11, 14));
    return QCursor(pm, 11, 11);
}

} // namespace cursors
