// The Windows hotkey service on the system's own message queue: the
// WM_HOTKEY of the claimed hotkey is one activation, through Qt's event
// loop; other messages are left to Qt; a hotkey that is held already is
// refused until its holder lets it go.
#include "magnifier/viewsummons.h"
#include "shared/platform/hotkey_win.h"

#include <QTest>

// After the project headers: its macros shadow the names they declare.
#include <windows.h>

namespace {
void post(UINT message, WPARAM wParam, LPARAM lParam) {
    QVERIFY(::PostThreadMessageW(::GetCurrentThreadId(), message, wParam, lParam));
}
} // namespace

class TstHotkeyWin : public QObject {
    Q_OBJECT
  private slots:
    void theHotkeyIsActivatedOncePerPress();
    void aHeldHotkeyIsRefusedUntilReleased();
};

void TstHotkeyWin::theHotkeyIsActivatedOncePerPress() {
    WinHotkeyService service;
    int activations = 0;
    connect(&service, &HotkeyService::activated, this, [&activations] { ++activations; });
    QVERIFY(service.claim(ViewSummons::HotkeyKey, ViewSummons::HotkeyModifiers));
    QCOMPARE(service.reach(), HotkeyReach::Claimed);

    // What the system posts for Ctrl+Z, behind a message that is not ours
    // and one of a hotkey registered under another id.
    post(WM_APP + 7, 0, 0);
    post(WM_HOTKEY, WPARAM(WinHotkeyService::kId + 1), MAKELPARAM(MOD_CONTROL, 'Z'));
    post(WM_HOTKEY, WPARAM(WinHotkeyService::kId), MAKELPARAM(MOD_CONTROL, 'Z'));
    QTRY_COMPARE(activations, 1);
    // A second press is a second message, and nothing else came through.
    post(WM_HOTKEY, WPARAM(WinHotkeyService::kId), MAKELPARAM(MOD_CONTROL, 'Z'));
    QTRY_COMPARE(activations, 2);
    QTest::qWait(50);
    QCOMPARE(activations, 2);
}

void TstHotkeyWin::aHeldHotkeyIsRefusedUntilReleased() {
    auto holder = std::make_unique<WinHotkeyService>();
    QVERIFY(holder->claim(Qt::Key_Z, Qt::ControlModifier));
    // One key a service.
    QVERIFY(!holder->claim(Qt::Key_Y, Qt::ControlModifier));
    WinHotkeyService second;
    QVERIFY(!second.claim(Qt::Key_Z, Qt::ControlModifier));
    QCOMPARE(second.reach(), HotkeyReach::None);
    WinHotkeyService third;
    // Another combination is free.
    QVERIFY(third.claim(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier));
    holder.reset();
    QVERIFY(second.claim(Qt::Key_Z, Qt::ControlModifier));
}

QTEST_MAIN(TstHotkeyWin)
#include "tst_hotkey_win.moc"
