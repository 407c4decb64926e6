#include "region/regionaids.h"

#include "shared/colouraids.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace regionaids {

Key key(std::uint32_t virtualKey, bool shift, bool otherModifiers) {
    if (otherModifiers) return Key::None;
    if (virtualKey == 'C') return shift ? Key::ContrastDown : Key::ContrastUp;
    if (shift) return Key::None;
    switch (virtualKey) {
    case 'I':
        return Key::Inversion;
    case 'G':
        return Key::Greyscale;
    case 'S':
        return Key::Smoothing;
    case 'H':
        return Key::Crosshairs;
    default:
        return Key::None;
    }
}

bool press(ColourAids& aids, Key key) {
    switch (key) {
    case Key::None:
        return false;
    case Key::Inversion:
        aids.flipInversion();
        break;
    case Key::ContrastUp:
        aids.stepContrast(+1);
        break;
    case Key::ContrastDown:
        aids.stepContrast(-1);
        break;
    case Key::Greyscale:
        aids.flipGreyscale();
        break;
    case Key::Smoothing:
        aids.flipSmoothing();
        break;
    case Key::Crosshairs:
        aids.flipCrosshairs();
        break;
    }
    return true;
}

} // namespace regionaids

RegionAidsMenu::RegionAidsMenu(QMenu& parent, ColourAids& aids) : QObject(&parent), m_aids(aids) {
    using Contrast = colouraids::Contrast;
    menu = parent.addMenu(QCoreApplication::translate("zuz", "视觉辅助"));
    const auto item = [this](const char* caption) {
        QAction* a = menu->addAction(QCoreApplication::translate("zuz", caption));
        a->setCheckable(true);
        return a;
    };
    inversion = item(QT_TRANSLATE_NOOP("zuz", "反色\tI"));
    contrast = {item(QT_TRANSLATE_NOOP("zuz", "正常对比度")),
                item(QT_TRANSLATE_NOOP("zuz", "高对比度\tC")),
                item(QT_TRANSLATE_NOOP("zuz", "更高对比度\tShift+C"))};
    greyscale = item(QT_TRANSLATE_NOOP("zuz", "灰度\tG"));
    smoothing = item(QT_TRANSLATE_NOOP("zuz", "平滑放大\tS"));
    crosshairs = item(QT_TRANSLATE_NOOP("zuz", "十字线\tH"));
    // The contrasts are one choice; Qt would draw an exclusive group's
    // marks as radio buttons, so the ticks are set here.
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* a : contrast)
        group->addAction(a);

    connect(inversion, &QAction::triggered, this, [&aids] { aids.flipInversion(); });
    for (int i = 0; i < 3; ++i)
        connect(contrast[std::size_t(i)], &QAction::triggered, this,
                [&aids, i] { aids.setContrast(Contrast(i)); });
    connect(greyscale, &QAction::triggered, this, [&aids] { aids.flipGreyscale(); });
    connect(smoothing, &QAction::triggered, this, [&aids] { aids.flipSmoothing(); });
    connect(crosshairs, &QAction::triggered, this, [&aids] { aids.flipCrosshairs(); });
    connect(&aids, &ColourAids::changed, this, &RegionAidsMenu::showTicks);
    // An item flips its own tick before its handler runs: an unchanged
    // state (a tick on the contrast already chosen) is shown again.
    connect(menu, &QMenu::triggered, this, &RegionAidsMenu::showTicks);
    showTicks();
}

void RegionAidsMenu::showTicks() {
    using Switch = colouraids::Switch;
    const colouraids::ColourRule& rule = m_aids.rule();
    inversion->setChecked(rule.inversion == Switch::On);
    for (std::size_t i = 0; i < contrast.size(); ++i)
        contrast[i]->setChecked(rule.contrast == colouraids::Contrast(int(i)));
    greyscale->setChecked(rule.greyscale == Switch::On);
    smoothing->setChecked(m_aids.smoothing() == colouraids::Smoothing::Smooth);
    crosshairs->setChecked(m_aids.crosshairs() == Switch::On);
}
