#pragma once

#include "shared/capture.h"
#include "shared/mousereporting.h"

#include <QWidget>

// A picture box: a child window that shows a picture at its own size, or a
// source rectangle of it stretched over the whole box, and reports mouse
// presses and clicks to its form.
class PictureBox : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    const Picture& picture() const { return m_picture; }
    void setPicture(const Picture& picture);
    void setBackColor(const QColor& color);
    // Draws `source` of `picture` stretched over the whole box; an empty
    // source draws only the back colour.
    void setStretchedSource(const Picture& picture, const QRectF& source);
    const QRectF& stretchedSource() const { return m_source; }

  signals:
    void mouseDown(int button, int shift, double x, double y);
    void clicked();
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void reportMouse(const MouseReport& report) override;

  private:
    Picture m_picture;
    Picture m_stretched;
    QRectF m_source;
    QColor m_back;
    bool m_pressed = false;
};
