#pragma once

#include "Fortdck.h"
#include "fakes.h"
#include "frmCaptureArea.h"
#include "frmMainwn.h"
#include "regionclipboard.h"

#include <QMenu>
#include <QUrl>

#include <functional>
#include <memory>

// The control window with its dialogs, menus and modal picker recorded or
// scripted instead of run.
class TestMain : public frmMainwn {
  public:
    using frmMainwn::frmMainwn;

    int popups = 0;
    QMenu* lastMenu = nullptr;
    QStringList answers; // what the input box answers next, in order
    QStringList prompts;
    QStringList messages;
    bool markerExists = true;
    int tipShown = 0;
    int tipUnloaded = 0;
    QList<QUrl> links;
    // Runs while the picker is "modal"; by default the user presses Esc.
    std::function<void(frmCaptureArea&)> onPick;
    bool visibleDuringPick = true;

    void PopupMenu(QMenu* menu) override {
        ++popups;
        lastMenu = menu;
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& def) override {
        prompts << prompt + QLatin1Char('|') + title + QLatin1Char('|') + def;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void InformationBox(const QString& text) override { messages << text; }

  protected:
    bool TipMarkerExists() const override { return markerExists; }
    void ShowTipDialog() override { ++tipShown; }
    void UnloadTipDialog() override { ++tipUnloaded; }
    void OpenMailLink(const QUrl& link) override { links << link; }
    void RunModal(frmCaptureArea& picker) override {
        visibleDuringPick = isVisible();
        if (onPick)
            onPick(picker);
        else
            picker.Form_KeyDown(27, 0);
    }
};

// The program on a fake screen showing the coded pattern, its control
// window loaded as the program loads it.
struct RegionRig {
    explicit RegionRig(QSize pixels = {1024, 768}, double dpi = 96)
        : screen(units::Screen::fromDpi(pixels.width(), pixels.height(), dpi, dpi)),
          grabber(pixels) {
        Services s;
        s.grabber = &grabber;
        s.screen = &screen;
        s.starter = &starter;
        main = std::make_unique<TestMain>(s, clipboard);
        grabber.setCoveringWindow(main.get());
        main->Form_Load();
        main->show();
    }

    // Opens a magnified-region window on `picture`, as the picker does.
    Fortdck* open(const QImage& picture) {
        clipboard.setBitmap(picture);
        main->LoadFortdck();
        return main->fortdck();
    }

    // A drag in the picker from `a` to `b`, released at `b`.
    static void drag(frmCaptureArea& picker, QPoint a, QPoint b) {
        picker.Form_MouseDown(1, 0, a.x(), a.y());
        picker.Form_MouseMove(1, 0, b.x(), b.y());
        picker.Form_MouseUp(1, 0, b.x(), b.y());
    }

    FixedScreenInfo screen;
    FakeScreenGrabber grabber;
    RecordingStarter starter;
    MemoryClipboard clipboard;
    std::unique_ptr<TestMain> main;
};
