#pragma once

#include "shared/platform/hotkey.h"
#include "shared/platform/programstarter.h"
#include "shared/platform/screengrabber.h"
#include "shared/platform/screeninfo.h"
#include "shared/platform/trayicon.h"

#include <memory>

class Prompts;

// The platform services a form uses, handed to it at construction so that
// a test can hand it fakes instead.
struct Services {
    ScreenGrabber* grabber = nullptr;
    ScreenInfo* screen = nullptr;
    ProgramStarter* starter = nullptr;
    // The system-wide hotkey and the notification-area icon. Either may be
    // missing (null): the form then runs without it.
    HotkeyService* hotkey = nullptr;
    TrayIconService* tray = nullptr;
    // The menus and boxes the user answers; Qt's own when null.
    Prompts* prompts = nullptr;
};

// Owns the real services of the running platform.
class SystemServices {
  public:
    SystemServices();
    ~SystemServices();
    Services services() const;

  private:
    std::unique_ptr<ScreenGrabber> m_grabber;
    std::unique_ptr<ScreenInfo> m_screen;
    std::unique_ptr<ProgramStarter> m_starter;
    std::unique_ptr<HotkeyService> m_hotkey;
    std::unique_ptr<TrayIconService> m_tray;
};
