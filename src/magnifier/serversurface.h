#pragma once

#include <QWidget>

#include <functional>

// A native child window that X11 paints itself: Qt keeps no paint buffer
// for it. It covers the view under the view's
// buttons, which are native windows too so that they stay above it; mouse
// events fall through to the view.
class ServerSurface : public QWidget {
    Q_OBJECT
  public:
    // `draw` paints a region of the surface (its device pixels) and says
    // whether it could; when it could not, `failed` runs, once per paint.
    ServerSurface(QWidget* parent, std::function<bool(const QRegion&)> draw,
                  std::function<void()> failed);

    QPaintEngine* paintEngine() const override { return nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::function<bool(const QRegion&)> m_draw;
    std::function<void()> m_failed;
};
