// The settings of the menu: enlargement ratio, automatic scrolling and its
// speed. They act on the magnified-region window that is open, if any.
#include "frmMainwn.h"

#include "Fortdck.h"
#include "units.h"

#include <QAction>
#include <QCoreApplication>
#include <QLocale>

#include <cmath>
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

void frmMainwn::chooseSpeed(QAction* item) {
    item->setChecked(!item->isChecked());
    for (QAction* other : {mnkuai, mnzhong, mnman, mnquesheng, mnzidingyi})
        if (other != item) other->setChecked(false);
}

void frmMainwn::setScrollIntervals(int ms) {
    if (!m_fortdck) return;
    m_fortdck->Timgund->setInterval(ms);
    m_fortdck->Timgund2->setInterval(ms);
}

void frmMainwn::mnkuai_Click() {
    chooseSpeed(mnkuai);
    setScrollIntervals(1);
}

void frmMainwn::mnzhong_Click() {
    chooseSpeed(mnzhong);
    setScrollIntervals(100);
}

void frmMainwn::mnman_Click() {
    chooseSpeed(mnman);
    setScrollIntervals(500);
}

void frmMainwn::mnquesheng_Click() {
    chooseSpeed(mnquesheng);
    setScrollIntervals(50);
}

namespace {
// The locale's reading of a number, rounded to the nearest integer with
// halves to even; nothing when the text is no number. Looser than zuz's
// speed box (whole numbers only): a region window scrolls a small picture,
// where a surprising interval costs little.
std::optional<double> readNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    double v = QLocale::system().toDouble(t, &ok);
    if (!ok) v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return std::nearbyint(v);
}
} // namespace

void frmMainwn::mnzidingyi_Click() {
    chooseSpeed(mnzidingyi);
    const QString answer =
        prompts().InputBox(nullptr,
                           QCoreApplication::translate("zuz", "请输入时钟频率[1000为1秒！]："),
                 QCoreApplication::translate("zuz", "时钟设置"), QStringLiteral("200"));
    const std::optional<double> value = readNumber(answer);
    // No number, or one a timer cannot take: the intervals stay as they are.
    if (!value || *value < 0 || *value > 65535) return;
    setScrollIntervals(int(*value));
}
