#include "shared/platform/hotkey_win.h"

#include "shared/platform/virtualkey.h"

#include <QCoreApplication>

#include <windows.h>

WinHotkeyService::WinHotkeyService() {
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

WinHotkeyService::~WinHotkeyService() {
    if (m_claimed) ::UnregisterHotKey(nullptr, kId);
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool WinHotkeyService::claim(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const UINT virtualKey = virtualkey::fromQtKey(key);
    if (m_claimed || !virtualKey) return false;
    UINT mods = 0;
    if (modifiers & Qt::AltModifier) mods |= MOD_ALT;
    if (modifiers & Qt::ControlModifier) mods |= MOD_CONTROL;
    if (modifiers & Qt::ShiftModifier) mods |= MOD_SHIFT;
    if (modifiers & Qt::MetaModifier) mods |= MOD_WIN;
    // A held hotkey stands for one press; systems before Windows 7 know
    // no such flag and refuse it.
    constexpr UINT kNoRepeat = 0x4000;
    if (!::RegisterHotKey(nullptr, kId, mods | kNoRepeat, virtualKey) &&
        !::RegisterHotKey(nullptr, kId, mods, virtualKey))
        return false;
    m_claimed = true;
    return true;
}

bool WinHotkeyService::nativeEventFilter(const QByteArray& /*eventType*/, void* message,
                                         qintptr* result) {
    // Thread messages reach the filter from the dispatcher only, window
    // messages once more from the window procedure; taking WM_HOTKEY here
    // keeps it from arriving twice.
    const MSG* msg = static_cast<const MSG*>(message);
    if (!msg || msg->message != WM_HOTKEY || msg->wParam != WPARAM(kId)) return false;
    if (result) *result = 0;
    emit activated();
    return true;
}
