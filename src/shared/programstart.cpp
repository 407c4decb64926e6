#include "shared/programstart.h"

#include "shared/capturecompanion.h"
#include "shared/platform/services.h"
#include "shared/platform/termination.h"
#include "shared/singleinstance.h"
#include "shared/translation.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

namespace programstart {

QStringList secondInstancePieces() {
    return {
        QCoreApplication::translate("zuz", "   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下："),
        QCoreApplication::translate("zuz", "按下“左键”拖动屏幕！按“右键”选择菜单！"),
        QCoreApplication::translate("zuz", "按“Ctrl+Z”键再次放大！"),
        QCoreApplication::translate("zuz", "或在屏幕右下角“岚”字图标上按右键！"),
        QCoreApplication::translate("zuz", "您现在可试一下！"),
    };
}

void prepare(const QString& programName) {
    QApplication::setApplicationName(programName);
    QApplication::setQuitOnLastWindowClosed(false);
    termination::quitOnRequest();
    // Qt paints no window on a screen of colour indices (8 bits
    // and fewer): the program runs, but its windows stay empty, and no box
    // could say so.
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() < 15)
        qWarning().noquote() << QCoreApplication::translate(
                                    "zuz", "%1：屏幕每像素只有 %2 位，窗口无法显示；"
                                           "请把颜色深度设为 16 位或更高。")
                                    .arg(programName)
                                    .arg(screen->depth());
}

QString joinPieces(const QStringList& pieces) {
    // Qt's line break is LF on every platform it draws text on.
    return pieces.join(QStringLiteral("\n\n"));
}

bool forwardToRunning(const QString& programName, const char* request) {
    return request &&
           SingleInstance(programName).sendToRunning(QString::fromUtf8(request)) == kTaken;
}

void endForwardedStart() {
    std::fflush(nullptr);
    std::_Exit(0);
}

int exec() {
    if (termination::requested()) return 0;
    return QApplication::exec();
}

QString lockFailureText(const QString& programName, const QString& failure) {
    return QCoreApplication::translate("zuz", "%1 无法启动：无法建立单实例锁文件。\n\n%2")
        .arg(programName, failure.isEmpty() ? QStringLiteral("?") : failure);
}

bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text) {
    const InstanceClaim claim = instance.tryAcquire();
    if (claim == InstanceClaim::Acquired) return true;
    const QString shown =
        claim == InstanceClaim::Running
            ? text
            : lockFailureText(QApplication::applicationName(), instance.failure());
    QMessageBox box(QMessageBox::Warning, title, shown, QMessageBox::Ok);
    box.exec();
    return false;
}

int run(const Program& program, int argc, char** argv, Handover handover,
        const std::function<int(SystemServices& system, SingleInstance& instance)>& open) {
    // The running instance answers a later start before this one builds
    // anything of its own: `zuz --view` is the hotkey on desktops that
    // give programs none, and must be as quick.
    if (handover == Handover::Pending && forwardToRunning(program.name, program.request))
        endForwardedStart();

    QApplication app(argc, argv);
    translation::install(app);
    prepare(program.name);
    SingleInstance instance(program.name);
    if (!claimOnlyInstance(instance, program.busyTitle(), program.busyText())) return 0;

    SystemServices system;
    capturecompanion::prepareSoon(*system.services().starter);
    return open(system, instance);
}

} // namespace programstart
