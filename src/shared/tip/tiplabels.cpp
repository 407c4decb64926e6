// The dialog's controls: labels that keep their own mouse events and
// report them in twips, the hint label and the image controls.
#include "shared/tip/tiplabels.h"

#include "shared/platform/screeninfo.h"
#include "shared/units.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace tiplabels {

units::Screen screenNow() {
    return PrimaryScreenInfo().screen();
}

// Where the pointer is relative to `widget`, in logical pixels, measured
// from where its window was last put rather than from where the window
// system reports it: while a move of the dragged window is still on its way
// to the window manager, the event's own position would count it twice.
QPointF localPosition(const QWidget& widget, const QMouseEvent& e) {
    const QWidget& top = *widget.window();
    return e.globalPosition() - QPointF(top.pos()) - QPointF(widget.mapTo(&top, QPoint(0, 0)));
}

} // namespace tiplabels

void TipLabel::reportMouse(const MouseReport& r) {
    const units::Screen s = tiplabels::screenNow();
    const QPointF at = tiplabels::localPosition(*this, r.event);
    const double x = s.toTwipsX(at.x());
    const double y = s.toTwipsY(at.y());
    switch (r.kind) {
    case MouseReport::Kind::Down:
    case MouseReport::Kind::DoubleClick:
        emit mouseDown(r.button, r.shift, x, y);
        break;
    case MouseReport::Kind::Move:
        emit mouseMove(r.button, r.shift, x, y);
        break;
    case MouseReport::Kind::Up:
        emit mouseUp(r.button, r.shift, x, y);
        if (r.event.button() == Qt::LeftButton && rect().contains(r.position().toPoint()))
            emit clicked();
        break;
    }
}

int TipHintLabel::layoutText(QPainter* painter) const {
    const QFontInfo info(font());
    const int lineHeight = std::max(1, info.pixelSize());
    const QFontMetricsF fm(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int y = contentsRect().top();
    const int width = contentsRect().width();
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            // Baseline one descent above the bottom of an em-high line.
            line.setPosition(QPointF(0, y + lineHeight - fm.descent() - line.ascent()));
            y += lineHeight;
            any = true;
        }
        layout.endLayout();
        if (!any) y += lineHeight;
        if (painter) layout.draw(painter, QPointF(contentsRect().left(), 0));
    }
    return y - contentsRect().top();
}

int TipHintLabel::textHeight() const {
    return layoutText(nullptr);
}

void TipHintLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setClipRect(rect());
    layoutText(&p);
}

TipImage::TipImage(QWidget* parent) : TipLabel(parent) {}

void TipImage::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void TipImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}
