// The region window by keyboard.
#include "region/Fortdck.h"
#include "region/frmMainwn.h"

#include <QKeyEvent>

#include <array>

namespace {
// The window's keys and, since it has few, what the mouse does there.
constexpr std::array kKeys{
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "F1 ?"), QT_TRANSLATE_NOOP("zuz", "按键一览")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "Shift+F10, 菜单键"), QT_TRANSLATE_NOOP("zuz", "打开菜单")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "右键"), QT_TRANSLATE_NOOP("zuz", "打开菜单")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "左键拖动"), QT_TRANSLATE_NOOP("zuz", "移动窗口或画面")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "双击"), QT_TRANSLATE_NOOP("zuz", "暂离")},
};
} // namespace

void Fortdck::keyPressEvent(QKeyEvent* event) {
    if (m_keyList && m_keyList->takeKey(*event)) return;
    if (keyrequest::help(*event)) {
        if (!m_keyList) m_keyList = new KeyOverlay(*this, kKeys);
        m_keyList->showOverWindow();
    } else if (keyrequest::menu(*event)) {
        m_main.prompts().PopupMenu(m_main.mnuCaptureMain);
    } else {
        QWidget::keyPressEvent(event);
    }
}
