// The X11 hotkey filter's decisions, on synthetic key events: Ctrl+Z with
// and without the lock keys is the hotkey; other combinations are not;
// the key follows the keyboard layout.
#include "magnifier/viewsummons.h"
#include "shared/platform/hotkey_x11.h"
#include "shared/platform/virtualkey.h"
#include "shared/platform/virtualkey_x11.h"

#include <QTest>

#include <xcb/xcb.h>

namespace {
constexpr std::uint32_t kRoot = 0x100;
constexpr std::uint8_t kZ = 52;
constexpr std::uint8_t kX = 53;
constexpr std::uint16_t kNumLock = XCB_MOD_MASK_2;

xcb_key_press_event_t keyEvent(std::uint8_t type, std::uint8_t code, std::uint16_t state,
                               std::uint32_t window = kRoot) {
    xcb_key_press_event_t ev{};
    ev.response_type = type;
    ev.detail = code;
    ev.state = state;
    ev.root = kRoot;
    ev.event = window;
    return ev;
}
} // namespace

class TstHotkeyFilter : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void decisions_data();
    void decisions();
    void releaseIsSwallowedButNotDelivered();
    void aHeldKeyIsOnePress_data();
    void aHeldKeyIsOnePress();
    void otherEventTypesPassThrough();
    void lockVariantsCoverCapsAndNumLock();
    void modifierTranslation();
    void registerRefusesUnknownAndDuplicateKeys();
    void keysFollowTheLayout_data();
    void keysFollowTheLayout();
    void theGrabFollowsAKeyboardChange();
    void keyboardChangeEvents();
    void theFormsClaimIsCtrlZ();

  private:
    std::unique_ptr<X11HotkeyService> m_service;
    int m_delivered = 0;
};

void TstHotkeyFilter::init() {
    m_service = std::make_unique<X11HotkeyService>(
        kRoot, kNumLock, X11HotkeyService::KeyMap{{'Z', {kZ}}, {'X', {kX}}});
    m_delivered = 0;
    connect(m_service.get(), &HotkeyService::activated, this, [this] { ++m_delivered; });
    QVERIFY(m_service->claim(Qt::Key_Z, Qt::ControlModifier));
}

void TstHotkeyFilter::decisions_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("window");
    QTest::addColumn<bool>("hotkey");
    const int ctrl = XCB_MOD_MASK_CONTROL, lock = XCB_MOD_MASK_LOCK, shift = XCB_MOD_MASK_SHIFT;
    const int alt = XCB_MOD_MASK_1, win = XCB_MOD_MASK_4, altgr = XCB_MOD_MASK_5;
    const int root = kRoot;
    QTest::newRow("Ctrl+Z") << int(kZ) << ctrl << root << true;
    QTest::newRow("Ctrl+Z, CapsLock on") << int(kZ) << (ctrl | lock) << root << true;
    QTest::newRow("Ctrl+Z, NumLock on") << int(kZ) << (ctrl | kNumLock) << root << true;
    QTest::newRow("Ctrl+Z, both locks on") << int(kZ) << (ctrl | lock | kNumLock) << root << true;
    QTest::newRow("Ctrl+Z, a mouse button held")
        << int(kZ) << (ctrl | XCB_BUTTON_MASK_1) << root << true;
    QTest::newRow("Ctrl+Shift+Z") << int(kZ) << (ctrl | shift) << root << false;
    QTest::newRow("Ctrl+Shift+Z, NumLock on")
        << int(kZ) << (ctrl | shift | kNumLock) << root << false;
    QTest::newRow("Alt+Z") << int(kZ) << alt << root << false;
    QTest::newRow("Ctrl+Alt+Z") << int(kZ) << (ctrl | alt) << root << false;
    QTest::newRow("Win+Ctrl+Z") << int(kZ) << (ctrl | win) << root << false;
    QTest::newRow("AltGr+Ctrl+Z") << int(kZ) << (ctrl | altgr) << root << false;
    QTest::newRow("Z") << int(kZ) << 0 << root << false;
    QTest::newRow("Z, CapsLock on") << int(kZ) << lock << root << false;
    QTest::newRow("Ctrl+X") << int(kX) << ctrl << root << false;
    QTest::newRow("Ctrl+Z on another window") << int(kZ) << ctrl << 0x200 << false;
}

void TstHotkeyFilter::decisions() {
    QFETCH(int, code);
    QFETCH(int, state);
    QFETCH(int, window);
    QFETCH(bool, hotkey);
    xcb_key_press_event_t ev =
        keyEvent(XCB_KEY_PRESS, std::uint8_t(code), std::uint16_t(state), std::uint32_t(window));
    qintptr result = 0;
    // The press always goes on to Qt, which takes its time as the user's.
    QVERIFY(!m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &ev, &result));
    QCOMPARE(m_service->isHotkey(ev.event, ev.detail, ev.state), hotkey);
    QCOMPARE(m_delivered, hotkey ? 1 : 0);
    // The synthetic flag of a sent event does not change the decision.
    xcb_key_press_event_t up = ev;
    up.response_type = XCB_KEY_RELEASE;
    m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &up, &result);
    ev.response_type = XCB_KEY_PRESS | 0x80;
    ev.time = 5000;
    m_delivered = 0;
    QVERIFY(!m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &ev, &result));
    QCOMPARE(m_delivered, hotkey ? 1 : 0);
}

void TstHotkeyFilter::releaseIsSwallowedButNotDelivered() {
    xcb_key_press_event_t ev = keyEvent(XCB_KEY_RELEASE, kZ, XCB_MOD_MASK_CONTROL);
    qintptr result = 0;
    QVERIFY(m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &ev, &result));
    QCOMPARE(m_delivered, 0);
}

void TstHotkeyFilter::aHeldKeyIsOnePress_data() {
    // Events as "p" (press) or "r" (release), "c" with Ctrl held, and the
    // server time in ms.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("delivered");
    QTest::newRow("detectable auto-repeat: presses alone")
        << QStringList{"pc100", "pc760", "pc800", "pc840", "rc900", "pc1500"} << 2;
    QTest::newRow("plain auto-repeat: release and press of one moment")
        << QStringList{"pc100", "rc760", "pc760", "rc800", "pc800", "rc900", "pc1500"} << 2;
    QTest::newRow("Ctrl let go before Z still ends the hold")
        << QStringList{"pc100", "r300", "pc400"} << 2;
    QTest::newRow("quick presses each count") << QStringList{"pc100", "rc150", "pc200"} << 2;
    QTest::newRow("a release lost to another grab holds only briefly")
        << QStringList{"pc100", "pc5000"} << 2;
}

void TstHotkeyFilter::aHeldKeyIsOnePress() {
    QFETCH(QStringList, events);
    QFETCH(int, delivered);
    for (const QString& e : events) {
        const bool ctrl = e.size() > 1 && e[1] == 'c';
        xcb_key_press_event_t ev = keyEvent(e[0] == 'p' ? XCB_KEY_PRESS : XCB_KEY_RELEASE, kZ,
                                            ctrl ? XCB_MOD_MASK_CONTROL : 0);
        ev.time = e.mid(ctrl ? 2 : 1).toUInt();
        qintptr result = 0;
        m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &ev, &result);
    }
    QCOMPARE(m_delivered, delivered);
}

void TstHotkeyFilter::otherEventTypesPassThrough() {
    xcb_key_press_event_t ev = keyEvent(XCB_BUTTON_PRESS, kZ, XCB_MOD_MASK_CONTROL);
    qintptr result = 0;
    QVERIFY(!m_service->nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &ev, &result));
    xcb_key_press_event_t key = keyEvent(XCB_KEY_PRESS, kZ, XCB_MOD_MASK_CONTROL);
    QVERIFY(!m_service->nativeEventFilter(QByteArrayLiteral("windows_generic_MSG"), &key, &result));
    QCOMPARE(m_delivered, 0);
}

void TstHotkeyFilter::lockVariantsCoverCapsAndNumLock() {
    const auto v = X11HotkeyService::lockVariants(XCB_MOD_MASK_CONTROL, kNumLock);
    const std::vector<std::uint16_t> want{
        XCB_MOD_MASK_CONTROL, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK,
        XCB_MOD_MASK_CONTROL | kNumLock, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | kNumLock};
    QCOMPARE(v, want);
    // A keyboard without NumLock: Caps Lock only.
    QCOMPARE(X11HotkeyService::lockVariants(XCB_MOD_MASK_CONTROL, 0).size(), std::size_t(2));
}

void TstHotkeyFilter::modifierTranslation() {
    const Qt::KeyboardModifiers all =
        Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    const std::uint16_t xAll =
        XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    QCOMPARE(X11HotkeyService::toXModifiers(Qt::ControlModifier),
             std::uint16_t(XCB_MOD_MASK_CONTROL));
    QCOMPARE(X11HotkeyService::toXModifiers(all), xAll);
    QCOMPARE(X11HotkeyService::fromXModifiers(xAll | XCB_MOD_MASK_LOCK, kNumLock), all);
    QCOMPARE(X11HotkeyService::fromXModifiers(XCB_MOD_MASK_CONTROL | kNumLock, kNumLock),
             Qt::KeyboardModifiers(Qt::ControlModifier));
    QVERIFY(!X11HotkeyService::fromXModifiers(XCB_MOD_MASK_3, kNumLock));
}

void TstHotkeyFilter::registerRefusesUnknownAndDuplicateKeys() {
    // One key a service: the second claim leaves the first in force.
    QVERIFY(!m_service->claim(Qt::Key_X, Qt::AltModifier));
    QVERIFY(!m_service->isHotkey(kRoot, kX, XCB_MOD_MASK_1));
    QVERIFY(m_service->isHotkey(kRoot, kZ, XCB_MOD_MASK_CONTROL));
    const auto fresh = [] {
        return X11HotkeyService(kRoot, kNumLock, X11HotkeyService::KeyMap{{'X', {kX}}});
    };
    QVERIFY(!fresh().claim(Qt::Key_Q, Qt::ControlModifier));  // no such key here
    QVERIFY(!fresh().claim(Qt::Key_F1, Qt::ControlModifier)); // not a letter
    auto service = fresh();
    QVERIFY(service.claim(Qt::Key_X, Qt::AltModifier));
    QVERIFY(service.isHotkey(kRoot, kX, XCB_MOD_MASK_1));
    QCOMPARE(service.reach(), HotkeyReach::Claimed);
    QCOMPARE(fresh().reach(), HotkeyReach::None);
}

// Keyboard maps of one group, two keysyms (plain, shifted) a key code,
// from key code 8: the keys a US keyboard labels Y (29), Z (52) and X (53).
namespace {
using Syms = std::vector<std::uint32_t>;
Syms layout(std::uint32_t y, std::uint32_t z, std::uint32_t x) {
    Syms syms(2 * 248, 0);
    const auto put = [&syms](int code, std::uint32_t sym) { syms[2 * (code - 8)] = sym; };
    put(29, y);
    put(52, z);
    put(53, x);
    return syms;
}
const Syms kUs = layout('y', 'z', 'x');
const Syms kGerman = layout('z', 'y', 'x');
// Cyrillic: the keys carry ne, ya and che.
const Syms kRussian = layout(0x6ce, 0x6d1, 0x6de);
// Greek: upsilon, zeta, chi.
const Syms kGreek = layout(0x7f5, 0x7e6, 0x7f7);
} // namespace

void TstHotkeyFilter::keysFollowTheLayout_data() {
    QTest::addColumn<Syms>("syms");
    QTest::addColumn<int>("zCode");
    QTest::addColumn<int>("xCode");
    QTest::newRow("US") << kUs << 52 << 53;
    // Latin layouts: the key the layout labels Z.
    QTest::newRow("German") << kGerman << 29 << 53;
    // Other scripts: the key a US keyboard has Z on.
    QTest::newRow("Russian") << kRussian << 52 << 53;
    QTest::newRow("Greek") << kGreek << 52 << 53;
}

void TstHotkeyFilter::keysFollowTheLayout() {
    QFETCH(Syms, syms);
    QFETCH(int, zCode);
    QFETCH(int, xCode);
    const auto keys = X11HotkeyService::keysOf(8, 248, 2, syms.data());
    QCOMPARE(keys.at('Z'), std::vector<std::uint8_t>{std::uint8_t(zCode)});
    QCOMPARE(keys.at('X'), std::vector<std::uint8_t>{std::uint8_t(xCode)});
    // The view's keys by the same rule, from the keysym the key gives.
    const std::uint32_t xSym = syms[2 * (xCode - 8)];
    QCOMPARE(virtualkey::x11::of(xSym, std::uint8_t(xCode)), std::uint32_t('X'));
    QCOMPARE(virtualkey::x11::of(0xff1b, 9), virtualkey::VK_ESCAPE);
    // Punctuation is no letter, wherever it lies.
    QCOMPARE(virtualkey::x11::of(',', 58), std::uint32_t(0));
}

void TstHotkeyFilter::theGrabFollowsAKeyboardChange() {
    const auto ctrlZ = [this](std::uint8_t code, std::uint16_t extra = 0) {
        return m_service->isHotkey(kRoot, code, XCB_MOD_MASK_CONTROL | extra);
    };
    m_service->keyboardChanged(kNumLock, X11HotkeyService::keysOf(8, 248, 2, kGerman.data()));
    QVERIFY(ctrlZ(29));
    QVERIFY(!ctrlZ(52));
    // NumLock moved to another modifier: the new one is a lock, the old one
    // is not.
    m_service->keyboardChanged(XCB_MOD_MASK_3,
                               X11HotkeyService::keysOf(8, 248, 2, kRussian.data()));
    QVERIFY(ctrlZ(52, XCB_MOD_MASK_3));
    QVERIFY(!ctrlZ(52, kNumLock));
    QVERIFY(!ctrlZ(29));
}

void TstHotkeyFilter::keyboardChangeEvents() {
    xcb_mapping_notify_event_t mapping{};
    mapping.response_type = XCB_MAPPING_NOTIFY;
    mapping.request = XCB_MAPPING_KEYBOARD;
    QVERIFY(m_service->isKeyboardChange(&mapping));
    mapping.request = XCB_MAPPING_MODIFIER;
    QVERIFY(m_service->isKeyboardChange(&mapping));
    mapping.request = XCB_MAPPING_POINTER;
    QVERIFY(!m_service->isKeyboardChange(&mapping));
    xcb_key_press_event_t key = keyEvent(XCB_KEY_PRESS, kZ, XCB_MOD_MASK_CONTROL);
    QVERIFY(!m_service->isKeyboardChange(&key));
}

void TstHotkeyFilter::theFormsClaimIsCtrlZ() {
    X11HotkeyService service(kRoot, kNumLock, X11HotkeyService::keysOf(8, 248, 2, kGerman.data()));
    QVERIFY(service.claim(ViewSummons::HotkeyKey, ViewSummons::HotkeyModifiers));
    QVERIFY(service.isHotkey(kRoot, 29, XCB_MOD_MASK_CONTROL));
    QVERIFY(!service.isHotkey(kRoot, 29, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
    QVERIFY(!service.isHotkey(kRoot, 29, XCB_MOD_MASK_1));
}

QTEST_GUILESS_MAIN(TstHotkeyFilter)
#include "tst_hotkey_filter.moc"
