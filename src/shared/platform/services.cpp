#include "shared/platform/services.h"

SystemServices::SystemServices()
    : m_grabber(makeSystemScreenGrabber()), m_screen(std::make_unique<DesktopScreenInfo>()),
      m_starter(std::make_unique<DetachedProgramStarter>()), m_hotkey(makeSystemHotkeyService()),
      m_tray(std::make_unique<QtTrayIconService>()) {}

SystemServices::~SystemServices() = default;

Services SystemServices::services() const {
    return {m_grabber.get(), m_screen.get(), m_starter.get(), m_hotkey.get(), m_tray.get()};
}
