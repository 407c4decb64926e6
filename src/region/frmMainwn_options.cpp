// The settings of the menu: enlargement ratio, automatic scrolling and its
// speed. They act on the magnified-region window that is open, if any.
#include "frmMainwn.h"

#include "Fortdck.h"
#include "menuitem.h"
#include "units.h"

#include <QAction>
#include <QCoreApplication>

#include <optional>

void frmMainwn::chooseRatio(QAction* item) {
    // The open window keeps its size; the next one uses the new ratio. Qt
    // has flipped the item's own mark.
    for (QAction* other : {mn1x2, mn1x4, mn1x6})
        if (other != item) other->setChecked(false);
}

void frmMainwn::mn1x2_Click() {
    chooseRatio(mn1x2);
}
void frmMainwn::mn1x4_Click() {
    chooseRatio(mn1x4);
}
void frmMainwn::mn1x6_Click() {
    chooseRatio(mn1x6);
}

void frmMainwn::mnshifougd_Click() {
    if (m_fortdck) m_fortdck->ScrollSwitchChanged(mnshifougd->isChecked());
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
