#pragma once

#include "shared/mouseargs.h"

#include <QMouseEvent>
#include <QPointF>

// One mouse event as the form handlers take it.
struct MouseReport {
    enum class Kind { Down, Move, Up, DoubleClick };
    Kind kind;
    // The button that went down or up; on a move, the buttons held.
    int button;
    int shift;
    QMouseEvent& event;

    QPointF position() const { return event.position(); }
    QPointF globalPosition() const { return event.globalPosition(); }
};

// A widget's four mouse handlers as one, so that every form and control
// turns Qt's events into the handlers' bit sets the same way.
// Only the left button double-clicks: a second press of another button
// soon after the first is a press again, so that a second right press
// opens the menu again.
template <class Widget> class MouseReporting : public Widget {
  public:
    using Widget::Widget;

  protected:
    // Each user converts the position to its handlers' units here. An
    // event the widget leaves to its parent is ignored here.
    virtual void reportMouse(const MouseReport& report) = 0;

    void mousePressEvent(QMouseEvent* e) final { send(MouseReport::Kind::Down, e->button(), e); }
    void mouseMoveEvent(QMouseEvent* e) final { send(MouseReport::Kind::Move, e->buttons(), e); }
    void mouseReleaseEvent(QMouseEvent* e) final { send(MouseReport::Kind::Up, e->button(), e); }
    void mouseDoubleClickEvent(QMouseEvent* e) final {
        send(e->button() == Qt::LeftButton ? MouseReport::Kind::DoubleClick
                                           : MouseReport::Kind::Down,
             e->button(), e);
    }

  private:
    void send(MouseReport::Kind kind, Qt::MouseButtons buttons, QMouseEvent* e) {
        reportMouse({kind, mouseargs::button(buttons), mouseargs::shift(e->modifiers()), *e});
    }
};
