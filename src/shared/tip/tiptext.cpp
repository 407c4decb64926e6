// The tip dialog's texts and the marker file that keeps it from coming
// back: plain logic, apart from the dialog.
#include "shared/tip/tiptext.h"

#include "shared/platform/userfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

const QString kCrLf2 = QStringLiteral("\r\n\r\n");

std::map<TipVariant, TipMarkerFolders>& folderOverrides() {
    static std::map<TipVariant, TipMarkerFolders> m;
    return m;
}

} // namespace

QString TipMarkerFileName(TipVariant variant) {
    return variant == TipVariant::Magnifier ? QStringLiteral("Vivoduzivi.ini")
                                            : QStringLiteral("Vorlane.ini");
}

bool TipWayBack::reachable() const {
    return trayIcon || key == HotkeyReach::Claimed || key == HotkeyReach::Proposed;
}

QStringList TipHintPieces(TipVariant variant, const TipWayBack& wayBack, TipLanguage language) {
    const auto t = [language](const char* source) {
        return language == TipLanguage::Shown ? QCoreApplication::translate("zuz", source)
                                              : QString::fromUtf8(source);
    };
    if (variant == TipVariant::Magnifier) {
        QStringList pieces{
            t(QT_TRANSLATE_NOOP(
                "zuz", " 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！")),
            t(QT_TRANSLATE_NOOP(
                "zuz", "按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双"
                       "击取消，鼠标移到屏幕上边工具按钮！")),
            t(QT_TRANSLATE_NOOP("zuz", "按“Ctrl+Z”键再次放大！")),
            t(QT_TRANSLATE_NOOP("zuz", "或在屏幕右下角“岚”字图标上按右键！")),
            t(QT_TRANSLATE_NOOP("zuz", "您现在可试一下Ctrl+Z键！")),
        };
        if (!wayBack.reachable()) {
            // In the place of the key and the icon that are not there.
            pieces.resize(2);
            return pieces << t(QT_TRANSLATE_NOOP(
                                 "zuz", "快捷键：为命令“zuz --view”设一个（GNOME：设置→键盘→"
                                        "自定义快捷键）！"))
                          << t(QT_TRANSLATE_NOOP(
                                 "zuz", "“岚”字图标：GNOME 需启用 AppIndicator 扩展！再次启动 "
                                        "zuz 也可放大！"));
        }
        // A desktop that gives programs no key of their own: the user binds
        // one in its settings, in the place of the invitation to try Ctrl+Z,
        // which does nothing there.
        if (wayBack.key == HotkeyReach::UserBinding)
            pieces.last() = t(QT_TRANSLATE_NOOP("zuz", "Wayland：把“zuz --view”设为桌面快捷键！"));
        return pieces;
    }
    return {
        t(QT_TRANSLATE_NOOP("zuz", "   单击屏幕右下角的zuz按钮后，鼠标指向要放大的区域后。")),
        t(QT_TRANSLATE_NOOP("zuz", "   按下鼠标左键拖动定义所要放大的区域，松开鼠标即完成！！")),
        t(QT_TRANSLATE_NOOP("zuz", "按右键选菜单操作！！双击放大区域，可结束本次放大！")),
        t(QT_TRANSLATE_NOOP("zuz", "菜单操作，可在当前放大的区域上，按右键，！")),
        t(QT_TRANSLATE_NOOP(
            "zuz", "单击“放大区域”即可放大下一区域！反复单击“是否滚动”可在超出屏幕时自动滚动！")),
    };
}

QString TipHintText(TipVariant variant, const TipWayBack& wayBack) {
    return TipHintPieces(variant, wayBack).join(kCrLf2);
}

QByteArray TipMarkerContent(TipVariant variant) {
    QString text;
    if (variant == TipVariant::Magnifier) {
        text =
            QStringList{
                QStringLiteral(
                    " 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！ "),
                QStringLiteral("按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键"
                               "或双击取消，鼠标移到屏幕上边工具按钮"),
                QStringLiteral("按“Ctrl+Z”键再次放大！"),
                QStringLiteral("或在屏幕右下角“岚”字图标上按右键！"),
            }
                .join(kCrLf2);
    } else {
        text = TipHintPieces(variant, {}, TipLanguage::Source).join(kCrLf2);
    }
    // A line break after the text, as a text-file write gives, so that a
    // second append starts on a line of its own.
    return (text + QStringLiteral("\r\n")).toUtf8();
}

TipMarkerFolders DefaultTipMarkerFolders(TipVariant variant) {
    const auto found = folderOverrides().find(variant);
    if (found != folderOverrides().end()) return found->second;
    const QString app =
        variant == TipVariant::Magnifier ? QStringLiteral("zuz") : QStringLiteral("Zonara");
    const QString config = userSettingsFolder();
    return {QCoreApplication::applicationDirPath(),
            config.isEmpty() ? QString() : QDir(config).filePath(app)};
}

void SetTipMarkerFolders(TipVariant variant, const TipMarkerFolders& folders) {
    if (folders.programFolder.isEmpty() && folders.configFolder.isEmpty())
        folderOverrides().erase(variant);
    else
        folderOverrides()[variant] = folders;
}

namespace {
bool appendTo(const QString& folder, const QString& name, const QByteArray& bytes) {
    if (folder.isEmpty()) return false;
    QFile f(QDir(folder).filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const bool ok = f.write(bytes) == bytes.size() && f.flush();
    f.close();
    return ok;
}
} // namespace

QString AppendTipMarker(TipVariant variant, const TipMarkerFolders& folders) {
    const QString name = TipMarkerFileName(variant);
    const QByteArray bytes = TipMarkerContent(variant);
    if (appendTo(folders.programFolder, name, bytes))
        return QDir(folders.programFolder).filePath(name);
    if (!folders.configFolder.isEmpty() && QDir().mkpath(folders.configFolder) &&
        appendTo(folders.configFolder, name, bytes))
        return QDir(folders.configFolder).filePath(name);
    return {};
}

bool TipMarkerExists(TipVariant variant, const TipMarkerFolders& folders) {
    const QString name = TipMarkerFileName(variant);
    for (const QString& folder : {folders.programFolder, folders.configFolder})
        if (!folder.isEmpty() && QFileInfo(QDir(folder).filePath(name)).isFile()) return true;
    return false;
}

bool TipMarkerExists(TipVariant variant) {
    return TipMarkerExists(variant, DefaultTipMarkerFolders(variant));
}
