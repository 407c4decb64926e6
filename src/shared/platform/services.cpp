#include "platform/services.h"

SystemServices::SystemServices()
    : m_grabber(makeSystemScreenGrabber()), m_screen(std::make_unique<PrimaryScreenInfo>()),
      m_starter(std::make_unique<DetachedProgramStarter>())
{
}

SystemServices::~SystemServices() = default;

Services SystemServices::services() const
{
    return {m_grabber.get(), m_screen.get(), m_starter.get()};
}
