#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

// Adds an item whose caption is translated and whose handler is a member of
// `form`. Check marks are the forms' settings and only the handlers change
// them: a checkable item has already flipped its mark when it triggers, so
// the mark is put back before the handler runs.
template <class Form>
QAction* addMenuItem(Form* form, QMenu* menu, const char* caption, void (Form::*handler)()) {
    QAction* a = menu->addAction(QCoreApplication::translate("zuz", caption));
    QObject::connect(a, &QAction::triggered, form, [form, a, handler](bool checked) {
        if (a->isCheckable()) a->setChecked(!checked);
        (form->*handler)();
    });
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
    return speed;
}
