// The Windows hotkey service on the system's own message queue: the
// WM_HOTKEY of a claimed hotkey reaches the installed window procedure
// once, through Qt's event loop, with the values the system sends; other
// messages are left to Qt; a hotkey that is held already is refused until
// its holder lets it go.
#include "Frmpictd.h"
#include "platform/hotkey_win.h"

#include <QTest>

#include <vector>

// After the project headers: its macros shadow the names they declare.
#include <windows.h>

namespace {
struct Delivered {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

void post(UINT message, WPARAM wParam, LPARAM lParam) {
    QVERIFY(::PostThreadMessageW(::GetCurrentThreadId(), message, wParam, lParam));
}
} // namespace

class TstHotkeyWin : public QObject {
    Q_OBJECT
  private slots:
    void theHotkeyReachesTheWindowProcOnce();
    void aHeldHotkeyIsRefusedUntilReleased();
};

void TstHotkeyWin::theHotkeyReachesTheWindowProcOnce() {
    WinHotkeyService service;
    std::vector<Delivered> delivered;
    service.SetWindowProc([&delivered](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
        delivered.push_back({m, w, l});
        return std::intptr_t(0);
    });
    QVERIFY(
        service.RegisterHotKey(Frmpictd::HotkeyId, Frmpictd::HotkeyModifiers, Frmpictd::HotkeyKey));

    // What the system posts for Ctrl+Z, behind a message that is not ours.
    post(WM_APP + 7, 0, 0);
    post(WM_HOTKEY, WPARAM(Frmpictd::HotkeyId), MAKELPARAM(MOD_CONTROL, 'Z'));
    QTRY_COMPARE(delivered.size(), std::size_t(1));
    QCOMPARE(delivered[0].message, std::uint32_t(WM_HOTKEY));
    QCOMPARE(delivered[0].wParam, std::uintptr_t(Frmpictd::HotkeyId));
    QCOMPARE(delivered[0].lParam, HotkeyService::MakeHotkeyLParam(Frmpictd::HotkeyModifiers,
                                                                   Frmpictd::HotkeyKey));
    // A second press is a second message, and nothing else came through.
    post(WM_HOTKEY, WPARAM(Frmpictd::HotkeyId), MAKELPARAM(MOD_CONTROL, 'Z'));
    QTRY_COMPARE(delivered.size(), std::size_t(2));
    QCoreApplication::processEvents();
    QCOMPARE(delivered.size(), std::size_t(2));
}

void TstHotkeyWin::aHeldHotkeyIsRefusedUntilReleased() {
    auto holder = std::make_unique<WinHotkeyService>();
    QVERIFY(holder->RegisterHotKey(1, MOD_CONTROL, 'Z'));
    WinHotkeyService second;
    QVERIFY(!second.RegisterHotKey(2, MOD_CONTROL, 'Z'));
    // Another combination is free.
    QVERIFY(second.RegisterHotKey(3, MOD_CONTROL | MOD_SHIFT, 'Z'));
    holder.reset();
    QVERIFY(second.RegisterHotKey(2, MOD_CONTROL, 'Z'));
}

QTEST_MAIN(TstHotkeyWin)
#include "tst_hotkey_win.moc"
