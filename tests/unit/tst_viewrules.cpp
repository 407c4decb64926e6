// The view's rules without a window: zoom steps, custom size, scrolling
// and push-pull ticks, the keys' pans and sizes, and the speed menu's choices and typed intervals.
#include "magnifier/customsize.h"
#include "magnifier/mouseroute.h"
#include "magnifier/panning.h"
#include "magnifier/pushpull.h"
#include "magnifier/viewkeys.h"
#include "magnifier/viewmotion.h"
#include "magnifier/viewzoom.h"
#include "shared/speed.h"

#include <QTest>

using Z = ViewZoom;
Q_DECLARE_METATYPE(ViewZoom::Fit)
Q_DECLARE_METATYPE(CustomSize::Step)
Q_DECLARE_METATYPE(ScrollSpeed::Reading)

class TstViewRules : public QObject {
    Q_OBJECT
  private slots:
    void zoomSteps_data();
    void zoomSteps();
    void customSizeButtons_data();
    void customSizeButtons();
    void restoreKeepsTheCustomCaption();
    void dragAlongAnAxis_data();
    void dragAlongAnAxis();
    void aPressKeepsItsTarget();
    void keysPanAndResize_data();
    void keysPanAndResize();
    void keysByWhatTheyDo();
    void scrollingEndsOrLoops();
    void pushPullTurnsAtBothEnds();
    void speedTicks();
    void typedInterval_data();
    void typedInterval();
};

// Clicks from the start: e = enlarge item, v = vertical-only item,
// r = restore default. Screen 1000 x 800 twips.
void TstViewRules::zoomSteps_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<Z::Fit>("fit");
    QTest::addColumn<double>("left"); // NaN: not moved
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QString>("captions");
    const double keep = qQNaN();
    QTest::newRow("1.5") << "e" << Z::Fit::Before << keep << QSizeF(1500, 1200)
                         << "扩大2倍|只纵向放大";
    QTest::newRow("1.5, 2") << "ee" << Z::Fit::Before << keep << QSizeF(2000, 1600)
                            << "扩大1点5倍|只纵向放大";
    QTest::newRow("vertical") << "v" << Z::Fit::None << 0.0 << QSizeF(1000, 1600)
                              << "扩大1点5倍|横向纵向都放大";
    QTest::newRow("1.5, vertical keeps 1.5's caption")
        << "ev" << Z::Fit::None << 0.0 << QSizeF(1000, 1600) << "扩大2倍|横向纵向都放大";
    QTest::newRow("1.5, vertical, back: twice")
        << "evv" << Z::Fit::Before << keep << QSizeF(2000, 1600) << "扩大1点5倍|只纵向放大";
    QTest::newRow("vertical, 1.5: both ways")
        << "ve" << Z::Fit::Before << keep << QSizeF(1500, 1200) << "扩大2倍|只纵向放大";
    QTest::newRow("1.5, vertical, 2")
        << "eve" << Z::Fit::Before << keep << QSizeF(2000, 1600) << "扩大1点5倍|只纵向放大";
    QTest::newRow("restore after all")
        << "evr" << Z::Fit::After << keep << QSizeF(2000, 1600) << "扩大1点5倍|只纵向放大";
}

void TstViewRules::zoomSteps() {
    QFETCH(QString, clicks);
    QFETCH(Z::Fit, fit);
    QFETCH(double, left);
    QFETCH(QSizeF, size);
    QFETCH(QString, captions);
    ViewZoom zoom;
    Z::Step step;
    for (QChar c : clicks)
        step = c == 'e'   ? zoom.toggleEnlarge({1000, 800})
               : c == 'v' ? zoom.toggleVertical({1000, 800})
                          : zoom.restoreDefault({1000, 800});
    QCOMPARE(step.fit, fit);
    QCOMPARE(step.left.has_value(), !qIsNaN(left));
    if (step.left) QCOMPARE(*step.left, left);
    QCOMPARE(QSizeF(step.width, step.height), size);
    // The 0 key's size is what the mode's item gave.
    QCOMPARE(zoom.modeSize({1000, 800}), size);
    QCOMPARE(zoom.enlargeCaption() + '|' + zoom.directionsCaption(), captions);
    QCOMPARE(zoom.directions() == Z::Directions::VerticalOnly,
             captions.endsWith(QStringLiteral("横向纵向都放大")));
}

void TstViewRules::customSizeButtons_data() {
    QTest::addColumn<QSizeF>("before");
    QTest::addColumn<CustomSize::Step>("step");
    QTest::addColumn<QSizeF>("after");
    QTest::newRow("narrower") << QSizeF(1000, 800) << CustomSize::Step::Narrower
                              << QSizeF(800, 800);
    QTest::newRow("shorter") << QSizeF(1000, 800) << CustomSize::Step::Shorter << QSizeF(1000, 600);
    QTest::newRow("wider") << QSizeF(1000, 800) << CustomSize::Step::Wider << QSizeF(1200, 800);
    QTest::newRow("taller") << QSizeF(1000, 800) << CustomSize::Step::Taller << QSizeF(1000, 1000);
    QTest::newRow("narrowest keeps a step")
        << QSizeF(300, 800) << CustomSize::Step::Narrower << QSizeF(200, 800);
    QTest::newRow("shortest keeps a step")
        << QSizeF(1000, 200) << CustomSize::Step::Shorter << QSizeF(1000, 200);
}

void TstViewRules::customSizeButtons() {
    QFETCH(QSizeF, before);
    QFETCH(CustomSize::Step, step);
    QFETCH(QSizeF, after);
    QCOMPARE(CustomSize::resized(before, step), after);
}

void TstViewRules::restoreKeepsTheCustomCaption() {
    CustomSize custom;
    QCOMPARE(custom.caption(), QStringLiteral("自定义zuz"));
    custom.toggle();
    QCOMPARE(custom.buttons(), CustomSize::Buttons::Shown);
    custom.hideButtons();
    QCOMPARE(custom.caption(), QStringLiteral("结束自定义zuz"));
    custom.toggle(); // only turns the item off: the buttons are hidden already
    QCOMPARE(custom.caption(), QStringLiteral("自定义zuz"));
    QCOMPARE(custom.buttons(), CustomSize::Buttons::Hidden);
}

// A picture 3000 twips long in a window 1000 long, at -1000: 1000 of
// slack on the near side, 1000 on the far side.
void TstViewRules::dragAlongAnAxis_data() {
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("after");
    QTest::newRow("follows the pointer") << -1000 << 3000 << 400 << -600;
    QTest::newRow("both ways") << -1000 << 3000 << -400 << -1400;
    QTest::newRow("near edges meet") << -1000 << 3000 << 1500 << 0;
    QTest::newRow("far edges meet") << -1000 << 3000 << -1500 << -2000;
    QTest::newRow("at the near edge, pulled on") << 0 << 3000 << 10 << 0;
    QTest::newRow("inside the window: stays") << 15 << 3000 << -400 << 15;
    // The far-side clamp of a narrower picture is negative: it moves it on.
    QTest::newRow("narrower than the window") << -100 << 800 << -50 << 200;
    QTest::newRow("narrower, towards the edge") << -100 << 800 << 50 << -50;
}

void TstViewRules::dragAlongAnAxis() {
    QFETCH(int, pos);
    QFETCH(int, size);
    QFETCH(int, delta);
    QFETCH(int, after);
    QCOMPARE(panning::dragged(pos, size, 1000, delta), after);
}

void TstViewRules::aPressKeepsItsTarget() {
    using T = MouseRoute::Target;
    MouseRoute route;
    QCOMPARE(route.move(false, false).to, T::None);
    QCOMPARE(route.press(true), T::Picture);
    // Dragged off the picture, and a second button: still the picture's.
    QCOMPARE(route.move(true, false).to, T::Picture);
    QCOMPARE(route.press(false), T::Picture);
    QCOMPARE(route.pointerOver(false), T::Picture);
    QCOMPARE(route.release(false), T::Picture);
    QCOMPARE(route.release(true), T::Picture);
    QCOMPARE(route.pointerOver(false), T::Background);
    // A popup menu took the release: the next move delivers it first.
    QCOMPARE(route.press(false), T::Background);
    const MouseRoute::Move move = route.move(false, true);
    QCOMPARE(move.missedRelease, T::Background);
    QCOMPARE(move.to, T::Picture);
    QCOMPARE(route.doubleClick(true), T::Picture);
}

// A picture 60 twips taller than the window: four steps fit, the fifth
// would lift its bottom above the window's.
// Along one axis of a window 8000 twips wide: p = pan by `direction`
// (Shift: `whole`), r = resize to `size` about the middle.
void TstViewRules::keysPanAndResize_data() {
    QTest::addColumn<char>("kind");
    QTest::addColumn<double>("pos");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("direction"); // pan: +1 right or down; resize: the new size
    QTest::addColumn<bool>("whole");
    QTest::addColumn<double>("expected");
    QTest::newRow("right: an eighth") << 'p' << -4000.0 << 16000.0 << 1 << false << -5000.0;
    QTest::newRow("left: an eighth") << 'p' << -4000.0 << 16000.0 << -1 << false << -3000.0;
    QTest::newRow("Shift+right: a whole window, clamped at the far edge")
        << 'p' << -4000.0 << 16000.0 << 1 << true << -8000.0;
    QTest::newRow("left stops at the near edge") << 'p' << -500.0 << 16000.0 << -1 << false << 0.0;
    QTest::newRow("right stops at the far edge")
        << 'p' << -7500.0 << 16000.0 << 1 << false << -8000.0;
    QTest::newRow("a picture inside the window stays")
        << 'p' << 1000.0 << 6000.0 << 1 << false << 1000.0;
    QTest::newRow("odd window: an eighth rounds down")
        << 'p' << -100.0 << 20000.0 << 1 << false << -100.0 - 8001 / 8;
    QTest::newRow("smaller again: the middle stays")
        << 'r' << -8000.0 << 24000.0 << 16000 << false << -4000.0;
    QTest::newRow("larger again: the middle stays")
        << 'r' << -2000.0 << 12000.0 << 16000 << false << -4000.0;
    QTest::newRow("a clamp at the near edge") << 'r' << 0.0 << 32000.0 << 16000 << false << 0.0;
    QTest::newRow("a clamp at the far edge")
        << 'r' << -24000.0 << 32000.0 << 16000 << false << -8000.0;
    QTest::newRow("the screen's width exactly")
        << 'r' << -3000.0 << 16000.0 << 8000 << false << 0.0;
    QTest::newRow("smaller than the window: centred")
        << 'r' << -3000.0 << 16000.0 << 6000 << false << 1000.0;
}

void TstViewRules::keysPanAndResize() {
    QFETCH(char, kind);
    QFETCH(double, pos);
    QFETCH(double, size);
    QFETCH(int, direction);
    QFETCH(bool, whole);
    QFETCH(double, expected);
    const std::int32_t window = QByteArray(QTest::currentDataTag()).startsWith("odd") ? 8001 : 8000;
    if (kind == 'p')
        QCOMPARE(double(viewkeys::panned(std::int32_t(pos), std::int32_t(size), window, direction,
                                         whole)),
                 expected);
    else
        QCOMPARE(viewkeys::resizedAboutMiddle(pos, size, direction, window), expected);
}

// By the key's place for the digit, by Qt's key for the rest; Ctrl and Alt
// leave every key to the desktop and the hotkey.
void TstViewRules::keysByWhatTheyDo() {
    using A = viewkeys::Action;
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t virtualKey;
        A action;
    };
    const Case cases[] = {
        {Qt::Key_Left, {}, 0, A::Left},
        {Qt::Key_Down, Qt::ShiftModifier, 0, A::Down},
        {Qt::Key_Up, Qt::KeypadModifier, 0, A::Up},
        {Qt::Key_Plus, Qt::KeypadModifier, 0, A::ZoomIn},
        {Qt::Key_Plus, Qt::ShiftModifier, 0, A::ZoomIn},
        {Qt::Key_Equal, {}, 0, A::ZoomIn},
        {Qt::Key_Minus, {}, 0, A::ZoomOut},
        {Qt::Key_0, {}, '0', A::ModeSize},
        {Qt::Key_Agrave, {}, '0', A::ModeSize},
        {Qt::Key_0, Qt::KeypadModifier, 0, A::ModeSize},
        {Qt::Key_F1, {}, 0, A::Keys},
        {Qt::Key_Question, Qt::ShiftModifier, 0, A::Keys},
        {Qt::Key_F10, Qt::ShiftModifier, 0, A::Menu},
        {Qt::Key_F10, {}, 0, A::None},
        {Qt::Key_Menu, {}, 0, A::Menu},
        {Qt::Key_X, {}, 'X', A::None},
        {Qt::Key_Left, Qt::ControlModifier, 0, A::None},
        {Qt::Key_Plus, Qt::AltModifier, 0, A::None},
    };
    for (const Case& c : cases)
        QVERIFY2(viewkeys::action(c.key, c.modifiers, c.virtualKey) == c.action,
                 qPrintable(QKeySequence(c.key | c.modifiers.toInt()).toString()));
}

void TstViewRules::scrollingEndsOrLoops() {
    for (ViewMotion::Switch loop : {ViewMotion::Switch::Off, ViewMotion::Switch::On}) {
        ViewMotion motion;
        motion.loop = loop;
        QList<double> tops;
        ViewMotion::Step step;
        do {
            step = motion.tick(860, 0, 800);
            tops << step.top;
        } while (step.next == ViewMotion::Tick::Continue && tops.size() < 7);
        if (loop == ViewMotion::Switch::Off)
            QCOMPARE(tops, QList<double>({0, -15, -30, -45, -60}));
        else
            QCOMPARE(tops, QList<double>({0, -15, -30, -45, -60, 0, -15}));
    }
    // The menu's two motions never both show on, whichever comes second.
    using S = ViewMotion::Switch;
    ViewMotion menu;
    menu.flipScrolling();
    menu.flipPushPull();
    QCOMPARE(std::pair(menu.scrolling, menu.pushPull), std::pair(S::Off, S::On));
    menu.flipScrolling();
    QCOMPARE(std::pair(menu.scrolling, menu.pushPull), std::pair(S::On, S::Off));
    menu.flipScrolling();
    QCOMPARE(std::pair(menu.scrolling, menu.pushPull), std::pair(S::Off, S::Off));
}

void TstViewRules::pushPullTurnsAtBothEnds() {
    PushPull p;
    p.reset(15360, 11520);
    p.start();
    QCOMPARE(QPoint(p.InsetX, p.InsetY), QPoint(7680, 5760));
    // Out from the centre: each tick shows 2 % more of each side.
    QCOMPARE(p.tick(), QRect(7526, 5645, 308, 230));
    int ticks = 1;
    while (p.direction == PushPull::Direction::Out && ticks < 200) {
        p.tick();
        ++ticks;
    }
    QCOMPARE(ticks, 50);
    QCOMPARE(QPoint(p.InsetX, p.InsetY), QPoint(0, 0));
    // Back in, until the source has no extent: nothing is drawn then.
    std::optional<QRect> drawn = QRect();
    while (p.direction == PushPull::Direction::In && ticks < 400) {
        drawn = p.tick();
        ++ticks;
    }
    QVERIFY(!drawn);
    QVERIFY(p.tick().has_value());
}

void TstViewRules::speedTicks() {
    const auto never = []() -> QString {
        qFatal("asked for a preset");
        return {};
    };
    ScrollSpeed speed(ScrollSpeed::Choice::Medium, ScrollSpeed::Reading::WholeNumber);
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Fast, never), 1);
    QCOMPARE(speed.ticked(), ScrollSpeed::Choice::Fast);
    // The ticked one again: cleared, its interval set all the same.
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Fast, never), 1);
    QVERIFY(!speed.ticked());
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Slow, never), 500);
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Default, never), 50);
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Medium, never), 100);
    // Cancelled: the tick moves, the interval stays.
    QCOMPARE(speed.choose(ScrollSpeed::Choice::Custom, [] { return QString(); }), std::nullopt);
    QCOMPARE(speed.ticked(), ScrollSpeed::Choice::Custom);
}

void TstViewRules::typedInterval_data() {
    QTest::addColumn<ScrollSpeed::Reading>("reading");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("interval"); // -1: not accepted
    const auto whole = ScrollSpeed::Reading::WholeNumber;
    const auto locale = ScrollSpeed::Reading::LocaleNumber;
    QTest::newRow("whole: 1000") << whole << "1000" << 1000;
    QTest::newRow("whole: spaces") << whole << " 7 " << 7;
    QTest::newRow("whole: largest") << whole << "65535" << 65535;
    QTest::newRow("whole: too large") << whole << "65536" << -1;
    QTest::newRow("whole: fraction") << whole << "12.5" << -1;
    QTest::newRow("whole: exponent") << whole << "1e3" << -1;
    QTest::newRow("whole: negative") << whole << "-5" << -1;
    QTest::newRow("whole: cancelled") << whole << "" << -1;
    QTest::newRow("locale: fraction to even") << locale << "12.5" << 12;
    QTest::newRow("locale: fraction up") << locale << "13.5" << 14;
    QTest::newRow("locale: exponent") << locale << "1e3" << 1000;
    QTest::newRow("locale: negative") << locale << "-1" << -1;
    QTest::newRow("locale: too large") << locale << "65535.6" << -1;
    QTest::newRow("locale: text") << locale << "abc" << -1;
    QTest::newRow("locale: cancelled") << locale << "" << -1;
}

void TstViewRules::typedInterval() {
    QFETCH(ScrollSpeed::Reading, reading);
    QFETCH(QString, answer);
    QFETCH(int, interval);
    const ScrollSpeed speed(ScrollSpeed::Choice::Medium, reading);
    QCOMPARE(speed.readInterval(answer).value_or(-1), interval);
}

QTEST_APPLESS_MAIN(TstViewRules)
#include "tst_viewrules.moc"
