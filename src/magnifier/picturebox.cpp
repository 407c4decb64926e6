#include "picturebox.h"

#include "mouseargs.h"
#include "stretch.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const Picture& picture) {
    m_picture = picture;
    m_stretched = {};
    update();
}

void PictureBox::setBackColor(const QColor& color) {
    m_back = color;
    update();
}

void PictureBox::setStretchedSource(const Picture& picture, const QRectF& source) {
    m_stretched = picture;
    m_source = source;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (!m_stretched.isNull() && !m_source.isEmpty()) {
        stretch::paintStretched(p, event->region(), QRectF(rect()), m_stretched, m_source);
        return;
    }
    p.fillRect(event->rect(), m_back);
    if (!m_picture.isNull()) {
        p.drawImage(0, 0, m_picture);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    m_pressed = true;
    const QPointF at = event->position();
    emit mouseDown(mouseargs::button(event->button()), mouseargs::shift(event->modifiers()), at.x(),
                   at.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pressed && rect().contains(event->position().toPoint())) emit clicked();
    m_pressed = false;
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the left button double-clicks; a second right press soon after
    // the first is a press that opens the menu again.
    if (event->button() != Qt::LeftButton) return mousePressEvent(event);
    emit doubleClicked();
}
