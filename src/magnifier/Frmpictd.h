#pragma once

#include "magnifier/customsize.h"
#include "magnifier/editorslot.h"
#include "magnifier/imagecontrol.h"
#include "magnifier/pushpull.h"
#include "magnifier/pushpullstage.h"
#include "magnifier/screenfollower.h"
#include "magnifier/viewbuttons.h"
#include "magnifier/viewcanvas.h"
#include "magnifier/viewcapture.h"
#include "magnifier/viewkeys.h"
#include "magnifier/viewmenu.h"
#include "magnifier/viewmotion.h"
#include "magnifier/viewmouse.h"
#include "magnifier/viewsummons.h"
#include "magnifier/viewzoom.h"
#include "magnifier/wheelzoom.h"
#include "shared/colouraids.h"
#include "shared/mousereporting.h"
#include "shared/platform/services.h"
#include "shared/prompts.h"
#include "shared/speed.h"
#include "shared/tip/tiptext.h"
#include "shared/vbtimer.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class PictureBox;
class QAction;
class QMenu;
class QPushButton;

// The magnifier's one window: it freezes the screen into Imadpic and shows
// it enlarged over the whole desktop. Created once at start, hidden between
// views, closed only by quitting. Geometry is kept in twips throughout.
class Frmpictd : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    explicit Frmpictd(const Services& services, QWidget* parent = nullptr);
    ~Frmpictd() override;

    // Start-up and shutdown.
    void Form_Load();
    void ApplyTipMarker();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload(bool& cancel);
    // Shows the first view once its picture is in: at once on X11 and
    // Windows, when the portal answers on Wayland.
    void showStartView();

    // The buffers a view leaves, given back a while after it ends.
    void releaseViewBuffers() { m_canvas->releaseBuffers(); }
    bool viewBuffersReleasePending() const { return m_canvas->releasePending(); }

    // The view.
    void FitWindowToPicture();
    void CenterPicture(ImageControl& p);
    void Form_Resize() { CenterPicture(Imadpic); }
    void EndView();
    void mnbuhuo_Click() { mnzaicifd_Click(); }
    // Taken while the view is up, the picture is the view itself: enlarged
    // once more, with size and place kept.
    void mnzaicifd_Click() { requestCapture(ViewCapture::Purpose::Again); }
    void mnhiufuquesheng_Click();
    void mnsuoxiao_Click() { applyZoom(zoom.toggleEnlarge(screenSize())); }
    void mnzongxiangfd_Click() { applyZoom(zoom.toggleVertical(screenSize())); }
    void mnexit_Click() { EndView(); }
    void mnexit2_Click();
    void Comqxbcfd_Click() { EndView(); }

    // Mouse and keys.
    void Imadpic_MouseDown(int button, int shift, double x, double y);
    void Imadpic_MouseMove(int button, int shift, double x, double y);
    void Imadpic_MouseUp(int button, int shift, double x, double y);
    void Imadpic_DblClick();
    // Zooms by whole wheel notches about the window pixel `posPx`.
    void Imadpic_Wheel(int notches, const QPointF& posPx);
    void Form_MouseDown(int button, int /*shift*/, double /*x*/, double /*y*/) {
        if (button == 2) prompts().PopupMenu(mnkz);
    }
    void Form_DblClick();
    void Form_KeyDown(int keyCode, int shift);
    void P1_MouseDown(int button, int shift, double x, double y) {
        Form_MouseDown(button, shift, x, y);
    }
    void P1_Click() { Timtiula->setEnabled(false); }
    void P1_DblClick() { Form_DblClick(); }

    // Scrolling, push-pull and speed.
    void mnshangxiagd_Click() { toggleScrolling(ScrollStart::FromTop); }
    void mnxunhuang_Click();
    void mntiulaxg_Click();
    void mnkuai_Click() { chooseSpeed(ScrollSpeed::Choice::Fast); }
    void mnzhong_Click() { chooseSpeed(ScrollSpeed::Choice::Medium); }
    void mnman_Click() { chooseSpeed(ScrollSpeed::Choice::Slow); }
    void mnquesheng_Click() { chooseSpeed(ScrollSpeed::Choice::Default); }
    void mnzidingyi_Click() { chooseSpeed(ScrollSpeed::Choice::Custom); }
    void Timgund_Timer();
    void Timtiula_Timer() { m_stage->tick(screen()); }
    void StartPushPull();
    void ResetPushPull();
    void StopPushPull() { Timtiula->setEnabled(false); }
    void showPushPull();

    // Custom size.
    void mnshougong_Click();
    void Command1_Click() { resizePicture(CustomSize::Step::Narrower); }
    void Command2_Click() { resizePicture(CustomSize::Step::Shorter); }
    void Command3_Click() { resizePicture(CustomSize::Step::Wider); }
    void Command4_Click() { resizePicture(CustomSize::Step::Taller); }

    // A monitor changed: a view that is up covers its monitor as it is
    // now, or the primary one where its own has gone.
    void followScreenChange();

    // Tray icon and hotkey.
    void AddTrayIcon();
    void InstallHotkey();
    void Timer1_Timer() { m_summons.nextFrame(); }
    void TimKey_Timer();
    // Shows the view of a picture just taken of the screen: where TimKey's
    // capture ends, whenever its answer comes.
    void ShowView(Picture shot);
    // Where the hotkey, the icon and a later start's request arm TimKey.
    void RequestView();
    // What the user did on the icon.
    void Pictubiao_MouseMove(QSystemTrayIcon::ActivationReason reason);
    // A press of the hotkey that InstallHotkey claimed: the active editor's undo, or a view.
    void HotkeyWindowProc() {
        if (!m_editor.takesHotkey()) RequestView();
    }
    ViewSummons& summons() { return m_summons; }
    // Run when the view has gone: where nothing could bring the next view
    // (WaysBack), the user is told and the program ends.
    void CheckStillReachable();
    // Whether the user holds a way of their own (icon or key) to the next view.
    bool HasWayBack() const { return m_summons.ways().reachable(); }

    // Companion programs, editor and tip dialog.
    void mnqufd_Click() {
        m_services.starter->start(QStringLiteral("Zonara"), ProgramStarter::Show::Normal);
    }
    void mnwanneng_Click();
    void Command5_Click();
    // Shows the one tip dialog; a dialog that is open already comes to the
    // front instead of a second one.
    void mnabuot_Click() { ShowTipDialog(); }
    // The open annotation editor, or null.
    frmphotoshop* editor() const { return m_editor.editor(); }
    // This window, or the child window X11 paints the picture in.
    QWidget* pictureWidget() { return m_canvas->widget(); }
    ViewCanvas& canvas() { return *m_canvas; }

    // Screen size and the window's client area, in twips.
    units::Screen screen() const { return m_services.screen->screen(); }
    QSizeF screenSize() const { return {screen().Width(), screen().Height()}; }
    double ScaleWidth() const { return screen().toTwipsX(width()); }
    double ScaleHeight() const { return screen().toTwipsY(height()); }
    double WindowTop() const;

    // Controls.
    ImageControl Imadpic, Imagls, Imagxs1, Imagxs2;
    QPixmap Imatbiao;
    PictureBox *P1 = nullptr, *P2 = nullptr;
    std::array<QPixmap, 2> Pictubiao;
    QPushButton *Command5 = nullptr, *Comqxbcfd = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr;
    VbTimer *Timer1 = nullptr, *Timgund = nullptr, *Timtiula = nullptr, *TimKey = nullptr;

    // The menu, group by group, and its separators.
    QMenu* mnkz = nullptr;
    QAction *mnexit = nullptr, *mnzaicifd = nullptr, *mnexit2 = nullptr;
    QAction *mnzongxiangfd = nullptr, *mnshougong = nullptr, *mnhiufuquesheng = nullptr;
    QAction* mnsuoxiao = nullptr;
    QAction *mnshangxiagd = nullptr, *mnxunhuang = nullptr, *mntiulaxg = nullptr;
    QMenu* mnsudu = nullptr;
    QAction *mnkuai = nullptr, *mnzhong = nullptr, *mnman = nullptr, *mnquesheng = nullptr;
    QAction* mnzidingyi = nullptr;
    QAction *mnqufd = nullptr, *mnwanneng = nullptr, *mnabuot = nullptr, *mnbuhuo = nullptr;
    QAction *mnzaicifdxx = nullptr, *mnexitxx = nullptr, *mnhfqsxx = nullptr, *mnshxgdxx = nullptr;
    QAction *mnsxgdxx = nullptr, *mnqueshengxx = nullptr, *mnquxbcfd = nullptr;

    // The view's state; the menu's captions and ticks show it.
    ViewZoom zoom;
    CustomSize customSize;
    ColourAids aids; // for the whole run, every view
    ViewMotion motion;
    PushPull pushPull;
    ScrollSpeed speed{ScrollSpeed::Choice::Medium, ScrollSpeed::Reading::WholeNumber};
    std::int32_t DragStartX = 0, DragStartY = 0;

  protected:
    void paintEvent(QPaintEvent* event) override { m_canvas->paint(event); }
    void resizeEvent(QResizeEvent* event) override;
    void reportMouse(const MouseReport& report) override { m_mouse.report(report); }
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override { m_keys.press(*event); }
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent*) override { m_canvas->viewShown(); }

  private:
    friend class ViewKeys;
    void buildControls();
    Prompts& prompts() const { return promptsOf(m_services); }
    // Owned by the view: it stays above it whatever the window manager does
    // with a focused full-screen window.
    void ShowTipDialog() {
        prompts().ShowTipDialog(TipVariant::Magnifier, this, m_summons.ways().tip());
    }
    // A view belongs to the monitor under the pointer when it starts.
    void followPointerScreen() { rescaleView(m_screens->followPointer()); }
    // On a monitor of another size the picture keeps its enlargement and
    // its place relative to the screen; the corner buttons follow the corner.
    void rescaleView(const std::optional<QSizeF>& scale);
    void refreshView() { m_canvas->refresh(); }
    void showPicture(Picture picture);
    // Asks for a picture of the monitor; pictureTaken() gets the answer.
    void requestCapture(ViewCapture::Purpose purpose);
    void pictureTaken(ViewCapture::Purpose purpose, const Picture& picture);
    void openEditor(const Picture& picture);
    void finishLoad();
    void clearPictures();
    void applyZoom(const ViewZoom::Step& step);
    void showCustomSize();
    void resizePicture(CustomSize::Step step);
    void chooseSpeed(ScrollSpeed::Choice choice);
    enum class ScrollStart { FromTop, Resume };
    void toggleScrolling(ScrollStart start);

    Services m_services;
    ViewSummons m_summons{m_services, Pictubiao};
    ViewCanvas* m_canvas = nullptr;
    ViewCapture* m_capture = nullptr;
    ScreenFollower* m_screens = nullptr;
    ViewMenu m_menu{*this};
    std::optional<ViewButtons> m_buttons;
    std::optional<PushPullStage> m_stage;
    EditorSlot m_editor;
    bool m_quitting = false;
    ViewMouse m_mouse{*this};
    ViewKeys m_keys{*this};
};
