// Which ways back to the next view zuz sees in its services, and what it
// makes of them: the tip's hints, a second start's view, giving up.
#include "magnifier/wayback.h"
#include "trayrig.h"

#include <QTest>

class TstWayBack : public QObject {
    Q_OBJECT
  private slots:
    void waysBackOfTheServices_data();
    void waysBackOfTheServices();
};

namespace {
enum class Tray { Missing, NoHost, Host };
enum class Key { Missing, Claimed, Proposed, UserBinding, Refused };
} // namespace
Q_DECLARE_METATYPE(Tray)
Q_DECLARE_METATYPE(Key)

void TstWayBack::waysBackOfTheServices_data() {
    QTest::addColumn<Tray>("tray");
    QTest::addColumn<Key>("key");
    QTest::addColumn<bool>("iconHint");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("stranded");
    const auto row = [](const char* name, Tray tray, Key key, bool reachable, bool stranded) {
        QTest::newRow(name) << tray << key << (tray == Tray::Host) << reachable << stranded;
    };
    row("icon, key", Tray::Host, Key::Claimed, true, false);
    row("icon, key refused", Tray::Host, Key::Refused, true, false);
    row("icon, no hotkey service", Tray::Host, Key::Missing, true, false);
    row("no host, key claimed", Tray::NoHost, Key::Claimed, true, false);
    row("no host, key proposed", Tray::NoHost, Key::Proposed, true, false);
    // A key the user binds to a second start: the program waits for it.
    row("no host, key left to the user", Tray::NoHost, Key::UserBinding, false, false);
    row("no host, key refused", Tray::NoHost, Key::Refused, false, true);
    row("no host, no hotkey service", Tray::NoHost, Key::Missing, false, true);
    // Nothing known of a notification area: nobody is told to give up.
    row("no tray service, key refused", Tray::Missing, Key::Refused, false, false);
    row("no tray service, key claimed", Tray::Missing, Key::Claimed, true, false);
}

void TstWayBack::waysBackOfTheServices() {
    QFETCH(Tray, tray);
    QFETCH(Key, key);
    QFETCH(bool, iconHint);
    QFETCH(bool, reachable);
    QFETCH(bool, stranded);
    FakeTrayIconService trayService;
    trayService.hostPresent = tray == Tray::Host;
    FakeHotkeyService hotkey;
    hotkey.claimSucceeds = key != Key::Refused;
    hotkey.reached = key == Key::Proposed      ? HotkeyReach::Proposed
                     : key == Key::UserBinding ? HotkeyReach::UserBinding
                                               : HotkeyReach::Claimed;
    hotkey.claim(Qt::Key_Z, Qt::ControlModifier);
    Services services;
    services.tray = tray == Tray::Missing ? nullptr : &trayService;
    services.hotkey = key == Key::Missing ? nullptr : &hotkey;

    const WaysBack ways = WaysBack::of(services);
    QCOMPARE(ways.tip().trayIcon, iconHint);
    QCOMPARE(ways.reachable(), reachable);
    QCOMPARE(ways.stranded(), stranded);
    // The hints name the key as far as it reached.
    QCOMPARE(ways.tip().key, services.hotkey ? hotkey.reach() : HotkeyReach::None);
}

QTEST_MAIN(TstWayBack)
#include "tst_tray_wayback.moc"
