#pragma once

#include "region/picker/captureareaowner.h"
#include "region/picker/modMain.h"
#include "shared/capture.h"
#include "shared/formlife.h"
#include "shared/mousereporting.h"

#include <QFont>
#include <QRegion>
#include <QWidget>

// The full-screen picker: the monitor frozen into a picture at load, a live
// outline and size label while the user drags, and on release the region
// copied from the frozen picture to the clipboard before its owner takes
// over (Zonara opens its magnified-region window). The mouse arrives in
// Qt's logical pixels; the region, the outlines and the size are
// device pixels of the frozen picture, so that what is taken is exactly
// what was under the drag.
class frmCaptureArea : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    explicit frmCaptureArea(CaptureAreaOwner& owner);
    ~frmCaptureArea() override;

    // Asks for the picture of the monitor; captured() follows once it is
    // in (or there is none and the owner has told the user why).
    void Form_Load();
    void Form_MouseDown(int button, int shift, double x, double y);
    void Form_MouseMove(int button, int shift, double x, double y);
    void Form_MouseUp(int button, int shift, double x, double y);
    void Form_KeyDown(int keyCode, int shift);
    void ShowModal();
    void Unload();
    bool isLoaded() const { return m_life.isLoaded(); }
    bool isDragging() const { return m_state == State::Pressed || m_state == State::Outlined; }

    // The frozen monitor, the window's background, one picture pixel to
    // each device pixel.
    const Picture& background() const { return m_background; }
    const RectL& region() const { return m_region; }
    // The size label of the current region: whether it shows, its
    // rectangle and its text.
    bool hasSizeLabel() const;
    QRect sizeLabelRect() const;
    QString sizeLabelText() const;
    // What the last move drew over the background, in logical pixels: both
    // outlines and the label, the area that the next move repaints.
    QRegion drawnArea() const;

    // The label of a region of device pixels at `ratio`: it shows when the
    // region is more than 100 logical pixels each way, and sits in logical
    // pixels over the region.
    static bool ShowsSizeLabel(const RectL& region, double ratio = 1.0);
    static QString SizeLabelText(const RectL& region);
    static QRect SizeLabelRect(const RectL& region, double ratio = 1.0);
    static QFont LabelFont();

  signals:
    void captured();
    // The picker's first paint has been handed to the X server or the compositor.
    void painted();
    void unloaded();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void reportMouse(const MouseReport& report) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Captured(const QImage& picture, const QString& why);
    void firstPaintHandedOver();
    void ClearWindow();
    QRect labelTextRect() const;
    PointL devicePoint(double x, double y) const;
    // The event's position in logical pixels, to the device pixel where the
    // window system can tell.
    QPointF pointerPosition(const QMouseEvent& event) const;
    QRectF toLogical(const QRect& device) const;

    // Pressed: dragging, nothing drawn yet; Outlined: dragging with the
    // outline and label of the last move on the screen.
    enum class State { Idle, Pressed, Outlined };
    State m_state = State::Idle;
    FormLife m_life;
    CaptureAreaOwner& m_owner;
    Picture m_background;
    double m_ratio = 1.0;
    PointL m_start;
    PointL m_end;
    RectL m_region;
    QFont m_font;
    bool m_firstPaint = true;
};
