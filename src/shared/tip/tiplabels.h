#pragma once

#include "shared/mousereporting.h"
#include "shared/units.h"

#include <QLabel>
#include <QPixmap>

class QMouseEvent;

// A label as the forms know it: windowless in spirit, it keeps its own
// mouse events (a press on it never reaches the window beneath) and
// reports them in twips relative to itself.
class TipLabel : public MouseReporting<QLabel> {
    Q_OBJECT
  public:
    using MouseReporting::MouseReporting;
  signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void clicked();

  protected:
    void reportMouse(const MouseReport& report) override;
};

// The hint label: word-wrapped text whose lines are one em apart, as the
// SimSun, the font the layout is made for, has them (its line height is its em). Substitute fonts
// usually ask for more, and the five pieces would then overflow the label.
class TipHintLabel : public TipLabel {
    Q_OBJECT
  public:
    using TipLabel::TipLabel;
    // The height the text needs at the label's width.
    int textHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int layoutText(class QPainter* painter) const;
};

// An image control: draws its picture stretched over itself.
class TipImage : public TipLabel {
    Q_OBJECT
  public:
    explicit TipImage(QWidget* parent = nullptr);
    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap m_picture;
};

namespace tiplabels {
// The screen the dialog is laid out for: the primary one.
units::Screen screenNow();
// Where the pointer is relative to `widget`, in logical pixels.
QPointF localPosition(const QWidget& widget, const QMouseEvent& e);
} // namespace tiplabels
