#include "platform/hotkey_win.h"

#include <QCoreApplication>

#include <windows.h>

WinHotkeyService::WinHotkeyService() {
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

WinHotkeyService::~WinHotkeyService() {
    for (int id : m_ids) ::UnregisterHotKey(nullptr, id);
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool WinHotkeyService::RegisterHotKey(int id, std::uint32_t modifiers, std::uint32_t virtualKey) {
    // A held hotkey stands for one press; systems before Windows 7 know
    // no such flag and refuse it.
    constexpr UINT kNoRepeat = 0x4000;
    if (!::RegisterHotKey(nullptr, id, UINT(modifiers) | kNoRepeat, UINT(virtualKey)) &&
        !::RegisterHotKey(nullptr, id, UINT(modifiers), UINT(virtualKey)))
        return false;
    m_ids.push_back(id);
    return true;
}

bool WinHotkeyService::nativeEventFilter(const QByteArray& /*eventType*/, void* message,
                                         qintptr* result) {
    // Thread messages reach the filter from the dispatcher only, window
    // messages once more from the window procedure; taking WM_HOTKEY here
    // keeps it from arriving twice.
    const MSG* msg = static_cast<const MSG*>(message);
    if (!msg || msg->message != WM_HOTKEY) return false;
    const std::intptr_t r = deliver(WM_HOTKEY, std::uintptr_t(msg->wParam),
                                    std::intptr_t(msg->lParam));
    if (result) *result = qintptr(r);
    return true;
}
