// The region window by keyboard.
#include "region/Fortdck.h"
#include "region/frmMainwn.h"
#include "region/regionaids.h"
#include "shared/platform/virtualkey.h"

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
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "I"), QT_TRANSLATE_NOOP("zuz", "反色")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "C, Shift+C"), QT_TRANSLATE_NOOP("zuz", "增强或减弱对比度")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "G"), QT_TRANSLATE_NOOP("zuz", "灰度")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "S"), QT_TRANSLATE_NOOP("zuz", "清晰或平滑放大")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "H"), QT_TRANSLATE_NOOP("zuz", "红色十字线")},
};
} // namespace

void Fortdck::keyPressEvent(QKeyEvent* event) {
    if (m_keyList && m_keyList->takeKey(*event)) return;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (regionaids::press(
            m_main.aids(),
            regionaids::key(virtualkey::of(*event), mods & Qt::ShiftModifier,
                            mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))))
        return;
    if (keyrequest::help(*event)) {
        if (!m_keyList) m_keyList = new KeyOverlay(*this, kKeys);
        m_keyList->showOverWindow();
    } else if (keyrequest::menu(*event)) {
        m_main.prompts().PopupMenu(m_main.mnuCaptureMain);
    } else {
        QWidget::keyPressEvent(event);
    }
}
