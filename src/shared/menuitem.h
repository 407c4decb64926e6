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
