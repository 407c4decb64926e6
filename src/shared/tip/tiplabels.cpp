// The dialog's controls: labels that keep their own mouse events and
// report them in twips, the hint label and the image controls.
#include "tip/tiplabels.h"

#include "mouseargs.h"
#include "platform/screeninfo.h"
#include "units.h"

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

void TipLabel::report(void (TipLabel::*signal)(int, int, double, double), int button,
                      QMouseEvent* e) {
    e->accept();
    const units::Screen s = tiplabels::screenNow();
    const QPointF at = tiplabels::localPosition(*this, *e);
    emit(this->*signal)(button, mouseargs::shift(e->modifiers()), s.toTwipsX(at.x()),
                        s.toTwipsY(at.y()));
}

void TipLabel::mousePressEvent(QMouseEvent* e) {
    report(&TipLabel::mouseDown, mouseargs::button(e->button()), e);
}

void TipLabel::mouseMoveEvent(QMouseEvent* e) {
    report(&TipLabel::mouseMove, mouseargs::button(e->buttons()), e);
}

void TipLabel::mouseReleaseEvent(QMouseEvent* e) {
    report(&TipLabel::mouseUp, mouseargs::button(e->button()), e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

void TipLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
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
