#include "programstart.h"

#include "singleinstance.h"

#include <QApplication>
#include <QMessageBox>

namespace programstart {

void prepare(const QString& programName) {
    QApplication::setApplicationName(programName);
    QApplication::setQuitOnLastWindowClosed(false);
}

QString joinPieces(const QStringList& pieces) {
    // Qt's line break is LF on every platform it draws text on.
    return pieces.join(QStringLiteral("\n\n"));
}

bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text) {
    if (instance.tryAcquire()) return true;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
    return false;
}

} // namespace programstart
