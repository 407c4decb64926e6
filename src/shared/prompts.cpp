#include "shared/prompts.h"

#include "shared/platform/services.h"
#include "shared/tip/Frmzdydhc.h"

#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

void DialogPrompts::PopupMenu(QMenu* menu) {
    menu->exec(QCursor::pos());
}

QString DialogPrompts::InputBox(QWidget* parent, const QString& prompt, const QString& title,
                                const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void DialogPrompts::MessageBox(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.exec();
}

bool DialogPrompts::TipMarkerExists(TipVariant variant) {
    // The program folder's marker, or the one in the user's configuration
    // folder that is written when the program folder cannot be.
    return ::TipMarkerExists(variant);
}

void DialogPrompts::ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack) {
    ::ShowTipDialog(variant, owner, wayBack);
}

void DialogPrompts::UnloadTipDialog(TipVariant variant) {
    ::UnloadTipDialog(variant);
}

Prompts& promptsOf(const Services& services) {
    static DialogPrompts dialogs;
    return services.prompts ? *services.prompts : dialogs;
}

TipWayBack wayBackOf(const Services& services) {
    return {services.hotkey ? services.hotkey->reach() : HotkeyReach::None,
            services.tray && services.tray->hostAvailable()};
}
