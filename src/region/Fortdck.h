#pragma once

#include "region/scrollswitch.h"
#include "shared/capture.h"
#include "shared/colouraids.h"
#include "shared/formlife.h"
#include "shared/keyoverlay.h"
#include "shared/mousereporting.h"
#include "shared/units.h"
#include "shared/vbtimer.h"

#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <cstdint>

class frmMainwn;
class QPainter;
class QScreen;
struct FortdckMemory;

// A windowless image of the form: place and size in twips, relative to the
// client area. With Stretch on, the picture is drawn scaled to that size
// while the form paints; the enlarged picture never exists in memory.
struct RegionImage {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    bool Stretch = false;
    Picture picture;
};

// The magnified-region window: the clipboard's bitmap enlarged 2, 4 or 6
// times, sized to it but never beyond the screen, centred. It is dragged
// with edge snapping when it fits the screen and pans its picture when it
// does not; it scrolls by itself when asked. Geometry is in twips, relative
// to the monitor of the pick; the picture is drawn in device pixels, each of
// its pixels as a whole square of them.
class Fortdck : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    explicit Fortdck(frmMainwn& main);
    ~Fortdck() override;

    void Form_Load();
    void Form_Resize();
    void Form_DblClick();
    void Form_MouseDown(int button, int shift, double x, double y);
    void Imayulanpic_MouseDown(int button, int shift, double x, double y);
    void Imayulanpic_MouseMove(int button, int shift, double x, double y);
    void Imayulanpic_DblClick();
    void Timer1_Timer();
    void Timgund_Timer();
    void Timgund2_Timer();
    void Unload();

    void LayoutEnlargedPicture();
    void FitWindowToPicture(RegionImage& picture);
    void CenterPicture(RegionImage& picture);
    void ChooseScrollTimer();
    // Has Timer1 choose the scroll timer again at its next tick, when
    // scrolling is on.
    void AskForScrollTimer();
    // Turns automatic scrolling on or off for this window.
    void ScrollSwitchChanged(ScrollSwitch::State state);

    // Whether the monitor the window was laid out for went away or is no
    // longer what it was.
    bool LostItsMonitor() const;
    bool MonitorChangedSinceLayout() const;
    // Laid out afresh for the screen's monitor as it is now, and centred
    // on it; the picture keeps its device pixels and its enlargement.
    void ReturnToScreen();

    units::Screen screen() const;
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    double ScaleWidth() const;
    double ScaleHeight() const;
    void setLeft(double twips);
    void setTop(double twips);
    bool PictureFitsScreen() const;

    RegionImage Imayulanpic;
    RegionImage Imagls;
    VbTimer* Timer1 = nullptr;
    VbTimer* Timgund = nullptr;
    VbTimer* Timgund2 = nullptr;

    float PixToHook = 0;
    float OrigX = 0;
    float OrigY = 0;
    std::int32_t GrabX = 0;
    std::int32_t GrabY = 0;
    FortdckMemory& memory;

    static constexpr int kBorderPx = 1;
    // The image's own size while it has no picture: 100 x 75 pixels at 96
    // dots per inch, enlarged like a picture.
    static constexpr QSizeF kEmptyImageTwips{1500, 1125};

  signals:
    void unloaded();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reportMouse(const MouseReport& report) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // F1 lists the window's keys; Shift+F10 and the Menu key open its menu.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ReloadPicture();
    // The reloaded picture, once the clipboard has answered.
    void ShowReloaded(const QImage& picture);
    void LoadNaturalPicture();
    void ShowNaturalPicture(const QImage& picture);
    QSizeF naturalSize() const;
    void placeOnMonitor();
    QRect monitor() const;
    double ratio() const;
    int windowSpanPx(double pictureDevicePx, int borderDevicePx, int limitPx) const;
    int borderDevicePx() const;
    QSize deviceSize() const;
    QRect clientDeviceRect() const;
    QRect pictureDeviceRect() const;
    QRectF toLogical(const QRect& device) const;
    void drawEnlarged(QPainter& p, const QRect& visible, const QRect& target);
    // The picture as the colour aids make it: the picture itself, or a
    // changed copy made once for each picture and rule.
    const Picture& shownPicture();
    void drawCrosshairs(QPainter& p, const QRect& visible);
    void aidsChanged(ColourAids::Aspect aspect);
    QRectF pictureRectPx() const;
    QPointF clientPx(const QPointF& globalPx) const;
    QPointF pictureTwips(const QPointF& globalPx) const;
    bool overPicture(const QPointF& globalPx) const;
    // Hands a press to the picture or the form, whichever the drag began on.
    void routePress(const MouseReport& report);

    enum class Target { None, Picture, Background };
    frmMainwn& m_main;
    Target m_target = Target::None;
    FormLife m_life;
    // How many times the picture's own size it is shown, each way.
    int m_enlargement = 2;
    units::Screen m_layoutScreen;
    QPointer<QScreen> m_monitor;
    bool m_hadMonitor = false;
    // The shown part of the enlarged picture, kept from one paint to the
    // next.
    QImage m_enlarged;
    Picture m_coloured;
    qint64 m_colouredFrom = 0;
    colouraids::ColourRule m_colouredRule;
    QPointer<KeyOverlay> m_keyList;
};
