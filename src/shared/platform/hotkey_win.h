#pragma once

#include "platform/hotkey.h"

#include <QAbstractNativeEventFilter>

#include <vector>

// The hotkey on Windows: RegisterHotKey without a window, so that the
// system posts WM_HOTKEY to this thread's message queue, where the native
// event filter takes it off Qt's dispatcher and hands it to the installed
// window procedure. A hotkey that another program holds already cannot be
// claimed.
class WinHotkeyService : public HotkeyService, public QAbstractNativeEventFilter {
  public:
    WinHotkeyService();
    ~WinHotkeyService() override;

    bool RegisterHotKey(int id, std::uint32_t modifiers, std::uint32_t virtualKey) override;
    HotkeyReach reach() const override {
        return m_ids.empty() ? HotkeyReach::None : HotkeyReach::Claimed;
    }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    std::vector<int> m_ids;
};
