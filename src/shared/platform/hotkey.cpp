#include "platform/hotkey.h"

HotkeyService::WindowProc HotkeyService::SetWindowProc(WindowProc proc) {
    WindowProc previous = std::move(m_proc);
    m_proc = std::move(proc);
    return previous;
}

std::intptr_t HotkeyService::CallWindowProc(const WindowProc& proc, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
    return proc ? proc(message, wParam, lParam) : 0;
}

std::intptr_t HotkeyService::deliver(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    return CallWindowProc(m_proc, message, wParam, lParam);
}
