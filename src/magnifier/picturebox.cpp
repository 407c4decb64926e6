#include "magnifier/picturebox.h"

#include "shared/stretch.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : MouseReporting(parent) {
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

void PictureBox::reportMouse(const MouseReport& r) {
    switch (r.kind) {
    case MouseReport::Kind::Down:
        m_pressed = true;
        emit mouseDown(r.button, r.shift, r.position().x(), r.position().y());
        break;
    case MouseReport::Kind::Up:
        if (m_pressed && rect().contains(r.position().toPoint())) emit clicked();
        m_pressed = false;
        break;
    case MouseReport::Kind::DoubleClick:
        emit doubleClicked();
        break;
    case MouseReport::Kind::Move:
        // Moves belong to the form beneath, which keeps the pointer's shape.
        r.event.ignore();
        break;
    }
}
