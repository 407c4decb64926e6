// Which adapters serve the program on Windows: the system's own, unless
// the user asks for Qt's.
#include "shared/platform/compositorsync.h"
#include "shared/platform/hotkey_win.h"
#include "shared/platform/screengrabber_qt.h"
#include "shared/platform/screengrabber_win.h"
#include "shared/platform/systemchoice.h"

#include <QDebug>
#include <QGuiApplication>

namespace systemchoice {

SystemChoice decide(const SessionFacts& facts) {
    SystemChoice choice;
    // Under another Qt platform (offscreen) a window id is no window handle.
    if (facts.qtPlatform == QLatin1String("windows")) choice.windows = WindowSystem::Windows;
    switch (namedServiceFamily(facts.services)) {
    case NamedFamily::Toolkit:
        choice.family = ServiceFamily::Toolkit;
        return choice;
    case NamedFamily::X11:
    case NamedFamily::Portal:
        qWarning() << "ZUZ_SERVICES: Windows knows only toolkit beside its own ways; ignored";
        break;
    case NamedFamily::Unnamed:
        break;
    }
    choice.family = ServiceFamily::Windows;
    return choice;
}

} // namespace systemchoice

const SystemChoice& systemChoice() {
    static const SystemChoice choice = systemchoice::decide(
        {QGuiApplication::platformName(), false, false, qgetenv("ZUZ_SERVICES")});
    return choice;
}

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    if (systemChoice().family == ServiceFamily::Toolkit) return std::make_unique<QtScreenGrabber>();
    return std::make_unique<WinScreenGrabber>();
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    if (systemChoice().family == ServiceFamily::Toolkit)
        return std::make_unique<NullHotkeyService>();
    return std::make_unique<WinHotkeyService>();
}

// Windows draws what a program hands it at once: nothing to wait for.
std::unique_ptr<CompositorSync> makeSystemCompositorSync() {
    return nullptr;
}
