#include "shared/tip/tipartwork.h"

#include "shared/cursorcache.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tipartwork {

namespace {
QPixmap canvas(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}
} // namespace

QPixmap buttonPicture(bool pressed) {
    QPixmap pm = canvas(38, 38);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Dark rim.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 70, 0));
    p.drawEllipse(QRectF(1, 1, 36, 36));
    // Body: lit from the top left when raised, from the bottom right when
    // pressed in.
    QRadialGradient body(pressed ? QPointF(23, 24) : QPointF(14, 13), 22);
    if (pressed) {
        body.setColorAt(0, QColor(40, 150, 40));
        body.setColorAt(1, QColor(0, 80, 0));
    } else {
        body.setColorAt(0, QColor(170, 255, 150));
        body.setColorAt(0.5, QColor(40, 200, 40));
        body.setColorAt(1, QColor(0, 120, 0));
    }
    p.setBrush(body);
    const QRectF face = pressed ? QRectF(4, 4, 31, 31) : QRectF(3, 3, 31, 31);
    p.drawEllipse(face);
    // Highlight.
    if (!pressed) {
        p.setBrush(QColor(255, 255, 255, 110));
        p.drawEllipse(QRectF(9, 6, 14, 8));
    }
    return pm;
}

QPixmap exclamationIcon() {
    QPixmap pm = canvas(32, 32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tri;
    tri.moveTo(16, 2);
    tri.lineTo(30.5, 28);
    tri.lineTo(1.5, 28);
    tri.closeSubpath();
    p.setPen(QPen(QColor(60, 40, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 220, 0));
    p.drawPath(tri);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath bar;
    bar.moveTo(14, 10);
    bar.lineTo(18, 10);
    bar.lineTo(17, 20);
    bar.lineTo(15, 20);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawEllipse(QPointF(16, 24), 1.8, 1.8);
    return pm;
}

QPixmap pointingHandPicture() {
    QPixmap pm = canvas(32, 32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    QPainterPath hand;
    // Index finger pointing up, its tip at (9, 1).
    hand.moveTo(7, 3);
    hand.quadTo(9, 0, 11, 3);
    hand.lineTo(11, 13);
    // Knuckles of the folded fingers.
    hand.quadTo(13, 11, 15, 13);
    hand.quadTo(17, 12, 19, 14);
    hand.quadTo(21, 13, 23, 15);
    hand.lineTo(23, 22);
    hand.quadTo(22, 27, 19, 29);
    hand.lineTo(10, 29);
    hand.quadTo(7, 26, 3, 19);
    // Thumb.
    hand.quadTo(3, 16, 6, 17);
    hand.lineTo(7, 19);
    hand.closeSubpath();
    p.drawPath(hand);
    p.drawLine(QPointF(15, 13), QPointF(15, 18));
    p.drawLine(QPointF(19, 14), QPointF(19, 18));
    return pm;
}

QCursor pointingHandCursor() {
    return programCursor("pointingHand", [] { return QCursor(pointingHandPicture(), 9, 1); });
}

QPixmap notificationAreaPicture() {
    QPixmap pm(100, 51);
    pm.fill(QColor(212, 208, 200));
    QPainter p(&pm);
    // The taskbar: a raised strip with a sunken notification area.
    p.setPen(Qt::white);
    p.drawLine(0, 12, 99, 12);
    p.fillRect(QRect(0, 13, 100, 38), QColor(212, 208, 200));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(QRect(30, 17, 68, 28));
    p.setPen(Qt::white);
    p.drawLine(31, 45, 98, 45);
    p.drawLine(98, 18, 98, 45);
    // The magnifier's button: a small raised button captioned zuz.
    const QRect button(33, 20, 28, 22);
    p.fillRect(button, QColor(212, 208, 200));
    p.setPen(Qt::white);
    p.drawLine(button.topLeft(), button.topRight());
    p.drawLine(button.topLeft(), button.bottomLeft());
    p.setPen(QColor(64, 64, 64));
    p.drawLine(button.bottomLeft(), button.bottomRight());
    p.drawLine(button.topRight(), button.bottomRight());
    QFont f(QStringLiteral("Sans"));
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 160));
    p.drawText(button, Qt::AlignCenter, QStringLiteral("zuz"));
    // The clock.
    f.setBold(false);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(62, 20, 36, 22), Qt::AlignCenter, QStringLiteral("12:00"));
    // An arrow pointing at the button.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(QPointF(12, 4), QPointF(38, 18));
    p.setBrush(QColor(200, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(41, 20), QPointF(31, 19), QPointF(36, 12)}));
    return pm;
}

} // namespace tipartwork
