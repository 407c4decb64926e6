#pragma once

#include "shared/platform/hotkey.h"

#include <QAbstractNativeEventFilter>

// The hotkey on Windows: RegisterHotKey without a window, so that the
// system posts WM_HOTKEY to this thread's message queue, where the native
// event filter takes it off Qt's dispatcher and says activated(). A hotkey
// that another program holds already cannot be claimed.
class WinHotkeyService : public HotkeyService, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    WinHotkeyService();
    ~WinHotkeyService() override;

    bool claim(Qt::Key key, Qt::KeyboardModifiers modifiers) override;
    HotkeyReach reach() const override {
        return m_claimed ? HotkeyReach::Claimed : HotkeyReach::None;
    }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The id the hotkey is registered under, as WM_HOTKEY names it.
    static constexpr int kId = 1;

  private:
    bool m_claimed = false;
};
