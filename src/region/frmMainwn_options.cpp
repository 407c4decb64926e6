// The settings of the menu: enlargement ratio, automatic scrolling and its
// speed. They act on the magnified-region window that is open, if any.
#include "region/frmMainwn.h"

#include "region/Fortdck.h"
#include "shared/menuitem.h"
#include "shared/units.h"

#include <QAction>
#include <QCoreApplication>

#include <optional>

// The open window keeps its size; the next one uses the new ratio.
void frmMainwn::mn1x2_Click() {
    m_ratio.choose(RatioChoice::Ratio::Two);
}
void frmMainwn::mn1x4_Click() {
    m_ratio.choose(RatioChoice::Ratio::Four);
}
void frmMainwn::mn1x6_Click() {
    m_ratio.choose(RatioChoice::Ratio::Six);
}

void frmMainwn::showRatio(RatioChoice::Ratio ratio) {
    mn1x2->setChecked(ratio == RatioChoice::Ratio::Two);
    mn1x4->setChecked(ratio == RatioChoice::Ratio::Four);
    mn1x6->setChecked(ratio == RatioChoice::Ratio::Six);
}

// The open window, if any, follows the switch by itself.
void frmMainwn::mnshifougd_Click() {
    m_scrollSwitch.toggle();
}

void frmMainwn::showScrollSwitch(ScrollSwitch::State state) {
    mnshifougd->setChecked(state == ScrollSwitch::State::On);
}

void frmMainwn::chooseSpeed(ScrollSpeed::Choice choice) {
    const std::optional<int> ms =
        m_speed.choose(choice, [this] { return ScrollSpeed::ask(prompts(), nullptr); });
    showSpeed(this, m_speed);
    if (ms) setScrollIntervals(*ms);
}

void frmMainwn::setScrollIntervals(int ms) {
    if (!m_fortdck) return;
    m_fortdck->Timgund->setInterval(ms);
    m_fortdck->Timgund2->setInterval(ms);
}

void frmMainwn::mnkuai_Click() {
    chooseSpeed(ScrollSpeed::Choice::Fast);
}
void frmMainwn::mnzhong_Click() {
    chooseSpeed(ScrollSpeed::Choice::Medium);
}
void frmMainwn::mnman_Click() {
    chooseSpeed(ScrollSpeed::Choice::Slow);
}
void frmMainwn::mnquesheng_Click() {
    chooseSpeed(ScrollSpeed::Choice::Default);
}
void frmMainwn::mnzidingyi_Click() {
    chooseSpeed(ScrollSpeed::Choice::Custom);
}
