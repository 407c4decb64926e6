#pragma once

#include "shared/speed.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

// Adds an item whose caption is translated and whose handler is a member of
// `form`. A checkable item has flipped its own mark by the time the handler
// runs, as Qt does; the handler sets the mark from the form's state, so
// that calling it directly shows the same.
template <class Form>
QAction* addMenuItem(Form* form, QMenu* menu, const char* caption, void (Form::*handler)()) {
    QAction* a = menu->addAction(QCoreApplication::translate("zuz", caption));
    QObject::connect(a, &QAction::triggered, form, handler);
    return a;
}

// The speed submenu both programs' menus have: its items are the form's
// own controls, with the form's handlers of the same names.
template <class Form> QMenu* addSpeedMenu(Form* form, QMenu* menu) {
    QMenu* speed = menu->addMenu(QCoreApplication::translate("zuz", "速度"));
    form->mnkuai = addMenuItem(form, speed, QT_TRANSLATE_NOOP("zuz", "快=1"), &Form::mnkuai_Click);
    form->mnzhong =
        addMenuItem(form, speed, QT_TRANSLATE_NOOP("zuz", "中=100"), &Form::mnzhong_Click);
    form->mnman = addMenuItem(form, speed, QT_TRANSLATE_NOOP("zuz", "慢=500"), &Form::mnman_Click);
    form->mnquesheng =
        addMenuItem(form, speed, QT_TRANSLATE_NOOP("zuz", "缺省=50"), &Form::mnquesheng_Click);
    form->mnzidingyi =
        addMenuItem(form, speed, QT_TRANSLATE_NOOP("zuz", "自定义"), &Form::mnzidingyi_Click);
    // Not exclusive to Qt, which would draw radio buttons for check marks:
    // the form's speed object keeps one ticked and shows it.
    auto* group = new QActionGroup(speed);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* a :
         {form->mnkuai, form->mnzhong, form->mnman, form->mnquesheng, form->mnzidingyi}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    return speed;
}

// Ticks the speed item of `speed`'s choice and no other.
template <class Form> void showSpeed(Form* form, const ScrollSpeed& speed) {
    using C = ScrollSpeed::Choice;
    form->mnkuai->setChecked(speed.isTicked(C::Fast));
    form->mnzhong->setChecked(speed.isTicked(C::Medium));
    form->mnman->setChecked(speed.isTicked(C::Slow));
    form->mnquesheng->setChecked(speed.isTicked(C::Default));
    form->mnzidingyi->setChecked(speed.isTicked(C::Custom));
}
