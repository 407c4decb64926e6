#pragma once

#include "region/picker/captureareaowner.h"
#include "region/picker/regionclipboard.h"
#include "region/pickstart.h"
#include "region/ratiochoice.h"
#include "region/regiondrag.h"
#include "region/scrollcycle.h"
#include "region/scrollswitch.h"
#include "shared/colouraids.h"
#include "shared/platform/services.h"
#include "shared/prompts.h"
#include "shared/speed.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class Fortdck;
class frmCaptureArea;
class QAction;
class QMenu;
class QPushButton;
class QScreen;
class QUrl;
class RegionAidsMenu;

// What the magnified-region window keeps from one window to the next, for
// the life of the program.
struct FortdckMemory {
    EdgeSnap snapX;
    EdgeSnap snapY;
    ScrollCycle scroll;
};

// The control window: a small always-on-top button near the bottom-right
// corner of its home monitor. A click picks a region of the monitor under
// the pointer, a drag moves the window, a right-click opens the program's
// menu, whose check marks show the program's settings. Geometry is in twips,
// relative to the home monitor.
class frmMainwn : public QWidget, public CaptureAreaOwner {
    Q_OBJECT
  public:
    // The button's home is the services' monitor.
    frmMainwn(const Services& services, RegionClipboard& clipboard, QWidget* parent = nullptr);
    // The button's home is `home`; picks and region windows use the
    // services' monitor, which each pick chooses afresh.
    frmMainwn(const Services& services, ScreenInfo& home, RegionClipboard& clipboard,
              QWidget* parent = nullptr);
    ~frmMainwn() override;

    // Start-up and exit.
    void Form_Load();
    void Form_Unload();
    void ShowTipOnFirstRun();

    // After monitors came, went or changed: windows that no monitor shows
    // any more come back, the button to its corner, the region window to
    // the middle of the primary monitor; a region window whose monitor
    // changed its size or scale is laid out afresh; a pick that no monitor
    // shows ends.
    void ScreensChanged();

    // The button.
    void Comzdy_Click();
    void Comzdy_MouseDown(int button, int shift, double x, double y);
    void Comzdy_MouseMove(int button, int shift, double x, double y);

    // Commands of the popup menu.
    void mnfangqu_Click();
    void mnwnbh_Click();
    void mnqpfd_Click();
    void mnjsbh_Click();
    void mnabut_Click();
    void mnemail_Click();
    void mn1x2_Click();
    void mn1x4_Click();
    void mn1x6_Click();
    void mnshifougd_Click();
    void mnkuai_Click();
    void mnzhong_Click();
    void mnman_Click();
    void mnquesheng_Click();
    void mnzidingyi_Click();

    // The windows the control window opens.
    Fortdck* fortdck() const;
    void LoadFortdck();
    void UnloadFortdck();
    frmCaptureArea* picker() const { return m_picker.get(); }

    const Services& services() const override { return m_services; }
    RegionClipboard& clipboard() const override { return m_clipboard; }
    // The picked region goes to the magnified-region window, the windows
    // emptied for the picture gone before it, if the picker never painted.
    void PickTaken() override {
        PickerShown();
        LoadFortdck();
    }
    FortdckMemory& fortdckMemory() { return m_memory; }
    // The settings the menu shows; region windows read them.
    RatioChoice& ratio() { return m_ratio; }
    // The colour aids of every region window of the run.
    ColourAids& aids() { return m_aids; }
    ScrollSwitch& scrollSwitch() { return m_scrollSwitch; }
    // The button's home monitor.
    units::Screen screen() const;

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    static QString ContactAddress();

    // The menus and boxes the user answers.
    Prompts& prompts() const { return promptsOf(m_services); }
    // The information message of a failed capture.
    void InformationBox(const QString& text) override;
    // Where the monitors are now, in logical pixels.
    virtual QList<QRect> MonitorAreas() const;

    QPushButton* Comzdy = nullptr;
    QMenu* mnuCaptureMain = nullptr;
    QAction* mnfangqu = nullptr;
    QMenu* mndangdabl = nullptr;
    QAction* mn1x2 = nullptr;
    QAction* mn1x4 = nullptr;
    QAction* mn1x6 = nullptr;
    QAction* mngdxx = nullptr;
    RegionAidsMenu* aidsMenu = nullptr;
    QAction* mnshifougd = nullptr;
    QMenu* mngdsd = nullptr;
    QAction* mnkuai = nullptr;
    QAction* mnzhong = nullptr;
    QAction* mnman = nullptr;
    QAction* mnquesheng = nullptr;
    QAction* mnzidingyi = nullptr;
    QAction* mnjsbhx = nullptr;
    QAction* mnwnbh = nullptr;
    QAction* mnqpfd = nullptr;
    QAction* mnqpfdxx = nullptr;
    QAction* mnjsbh = nullptr;
    QAction* mnabutx = nullptr;
    QAction* mnabut = nullptr;
    QAction* mnemail = nullptr;

    float OrigX = 0;
    float OrigY = 0;

  protected:
    virtual void OpenMailLink(const QUrl& link);
    // Shows the picker modally and returns once it has unloaded.
    virtual void RunModal(frmCaptureArea& picker);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildButton();
    void buildMenu();
    void PlaceInCorner();
    void watchScreens();
    void watchScreen(QScreen* screen);
    void scheduleScreensCheck();
    QAction* addItem(QMenu* menu, const char* caption, void (frmMainwn::*handler)());
    void showRatio(RatioChoice::Ratio ratio);
    void showScrollSwitch(ScrollSwitch::State state);
    void chooseSpeed(ScrollSpeed::Choice choice);
    void setScrollIntervals(int ms);
    QPointF buttonTwips(const QPointF& globalPx) const;
    // The steps of a pick after the button has gone.
    void ScreenClear();
    void PickerLoaded();
    void PickerShown();

    enum class Phase { Idle, Picking, Ending };
    Phase m_phase = Phase::Idle;
    bool m_screensCheckPending = false;
    Services m_services;
    RegionClipboard& m_clipboard;
    ScreenInfo* m_home = nullptr;
    FortdckMemory m_memory;
    RatioChoice m_ratio;
    ScrollSwitch m_scrollSwitch;
    ColourAids m_aids;
    QSizeF m_sizeTwips;
    QPointer<Fortdck> m_fortdck;
    std::unique_ptr<PickStart> m_pickStart;
    std::unique_ptr<frmCaptureArea> m_picker;
    ScrollSpeed m_speed{ScrollSpeed::Choice::Default, ScrollSpeed::Reading::LocaleNumber};
};
