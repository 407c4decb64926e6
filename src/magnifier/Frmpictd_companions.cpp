// Leaving the view for the region magnifier, the capture program, the
// annotation editor or the tip dialog.
#include "Frmpictd.h"

#include "tip/Frmzdydhc.h"

#include <QInputDialog>

void Frmpictd::mnqufd_Click() {
    m_services.starter->start(QStringLiteral("Zonara"), ProgramStarter::Show::Normal);
}

void Frmpictd::mnwanneng_Click() {
    m_services.starter->start(QStringLiteral("Derudovudi"), ProgramStarter::Show::Minimized);
}

void Frmpictd::Command5_Click() {}

// Shows the one tip dialog; a dialog that is open already comes to the
// front instead of a second one.
void Frmpictd::mnabuot_Click() {
    ShowTipDialog();
}

// Owned by the view: it stays above it whatever the window manager does
// with a focused full-screen window.
void Frmpictd::ShowTipDialog() {
    ::ShowTipDialog(TipVariant::Magnifier, this);
}

QString Frmpictd::InputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}
