#include "magnifier/viewkeys.h"

#include "magnifier/Frmpictd.h"
#include "magnifier/panning.h"
#include "shared/mouseargs.h"
#include "shared/platform/virtualkey.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <algorithm>
#include <array>

using units::cint;

namespace viewkeys {

Action action(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t virtualKey) {
    // Ctrl and Alt combinations are the desktop's and the hotkey's.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return Action::None;
    switch (qtKey) {
    case Qt::Key_Left:
        return Action::Left;
    case Qt::Key_Right:
        return Action::Right;
    case Qt::Key_Up:
        return Action::Up;
    case Qt::Key_Down:
        return Action::Down;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return Action::ZoomIn;
    case Qt::Key_Minus:
        return Action::ZoomOut;
    case Qt::Key_F1:
    case Qt::Key_Help:
    case Qt::Key_Question:
        return Action::Keys;
    case Qt::Key_Menu:
        return Action::Menu;
    case Qt::Key_F10:
        return modifiers & Qt::ShiftModifier ? Action::Menu : Action::None;
    default:
        break;
    }
    // Letters and the digit 0 by their place: under AZERTY 0 types à.
    switch (virtualKey) {
    case 'I':
        return Action::Invert;
    case 'C':
        return modifiers & Qt::ShiftModifier ? Action::ContrastDown : Action::ContrastUp;
    case 'G':
        return Action::Greyscale;
    case 'S':
        return Action::Smoothing;
    case 'H':
        return Action::Crosshairs;
    case 'L':
        return Action::Band;
    default:
        return virtualKey == '0' || qtKey == Qt::Key_0 ? Action::ModeSize : Action::None;
    }
}

std::int32_t panned(std::int32_t pos, std::int32_t size, std::int32_t window, int direction,
                    bool wholeScreen) {
    const std::int32_t step = wholeScreen ? window : window / 8;
    // Showing more of the right moves the picture left, as a drag would.
    return panning::dragged(pos, size, window, -direction * step);
}

double resizedAboutMiddle(double pos, double oldSize, double size, double window) {
    if (size < window) return (window - size) / 2;
    const double middle = window / 2;
    const double kept = oldSize > 0 ? middle - (middle - pos) * size / oldSize : 0;
    return std::clamp(kept, window - size, 0.0);
}

} // namespace viewkeys

namespace {
// The one list of the view's keys: the key list shows it as it is.
constexpr std::array kKeys{
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "← → ↑ ↓"), QT_TRANSLATE_NOOP("zuz", "移动画面八分之一屏")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "Shift+← → ↑ ↓"), QT_TRANSLATE_NOOP("zuz", "移动画面一整屏")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "+ ="), QT_TRANSLATE_NOOP("zuz", "以屏幕中心放大")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "-"), QT_TRANSLATE_NOOP("zuz", "以屏幕中心缩小")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "0"), QT_TRANSLATE_NOOP("zuz", "恢复当前放大方式的大小")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "I"), QT_TRANSLATE_NOOP("zuz", "反色")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "C, Shift+C"), QT_TRANSLATE_NOOP("zuz", "提高、降低对比度")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "G"), QT_TRANSLATE_NOOP("zuz", "灰度")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "S"), QT_TRANSLATE_NOOP("zuz", "平滑或清晰的放大")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "H"), QT_TRANSLATE_NOOP("zuz", "十字线")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "L"), QT_TRANSLATE_NOOP("zuz", "阅读条")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "Shift+滚轮"), QT_TRANSLATE_NOOP("zuz", "阅读条的高度")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "F1 ?"), QT_TRANSLATE_NOOP("zuz", "按键一览")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "Shift+F10, 菜单键"), QT_TRANSLATE_NOOP("zuz", "打开菜单")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "X, Esc"), QT_TRANSLATE_NOOP("zuz", "取消本次放大")},
    KeyHelp{QT_TRANSLATE_NOOP("zuz", "Ctrl+Z"), QT_TRANSLATE_NOOP("zuz", "再次放大本屏")},
};
} // namespace

ViewKeys::ViewKeys(Frmpictd& form) : m_form(form) {
    // The window has no title to read out.
    form.setAccessibleName(QCoreApplication::translate("zuz", "放大的屏幕"));
    form.setAccessibleDescription(QCoreApplication::translate("zuz", "按F1查看按键"));
}

std::span<const KeyHelp> ViewKeys::keys() {
    return kKeys;
}

void ViewKeys::press(const QKeyEvent& event) {
    if (m_overlay && m_overlay->takeKey(event)) return;
    // By the key, not the character it types: the key labelled X ends the
    // view under a Cyrillic layout as well.
    const std::uint32_t vk = virtualkey::of(event);
    const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
    using viewkeys::Action;
    const Action action = viewkeys::action(event.key(), event.modifiers(), vk);
    switch (action) {
    case Action::Left:
        return pan(-1, 0, shift);
    case Action::Right:
        return pan(1, 0, shift);
    case Action::Up:
        return pan(0, -1, shift);
    case Action::Down:
        return pan(0, 1, shift);
    case Action::ZoomIn:
    case Action::ZoomOut:
        // As a wheel notch at the window's middle.
        return m_form.Imadpic_Wheel(action == Action::ZoomIn ? 1 : -1,
                                    QPointF(m_form.width(), m_form.height()) / 2);
    case Action::ModeSize:
        return restoreModeSize();
    case Action::Keys:
        return showKeys();
    case Action::Menu:
        return m_form.prompts().PopupMenu(m_form.mnkz);
    case Action::None:
        return m_form.Form_KeyDown(int(vk), mouseargs::shift(event.modifiers()));
    default:
        return aid(action);
    }
}

void ViewKeys::aid(viewkeys::Action action) {
    using viewkeys::Action;
    ColourAids& aids = m_form.aids;
    switch (action) {
    case Action::Invert:
        return aids.flipInversion();
    case Action::ContrastUp:
        return aids.stepContrast(+1);
    case Action::ContrastDown:
        return aids.stepContrast(-1);
    case Action::Greyscale:
        return aids.flipGreyscale();
    case Action::Smoothing:
        return aids.flipSmoothing();
    case Action::Crosshairs:
        return aids.flipCrosshairs();
    case Action::Band:
        return aids.flipBand();
    default:
        return;
    }
}

void ViewKeys::pan(int dx, int dy, bool wholeScreen) {
    ImageControl& p = m_form.Imadpic;
    if (dx)
        p.Left = viewkeys::panned(cint(p.Left), cint(p.Width), cint(m_form.ScaleWidth()), dx,
                                  wholeScreen);
    if (dy)
        p.Top = viewkeys::panned(cint(p.Top), cint(p.Height), cint(m_form.ScaleHeight()), dy,
                                 wholeScreen);
    // A running scroll carries on from where the key left the picture.
    if (m_form.Timgund->Enabled()) m_form.motion.ScrollTop = float(p.Top);
    m_form.refreshView();
}

void ViewKeys::restoreModeSize() {
    ImageControl& p = m_form.Imadpic;
    if (!p.Visible) return;
    const QSizeF size = m_form.zoom.modeSize(m_form.screenSize());
    p.Left = viewkeys::resizedAboutMiddle(p.Left, p.Width, size.width(), m_form.ScaleWidth());
    p.Top = viewkeys::resizedAboutMiddle(p.Top, p.Height, size.height(), m_form.ScaleHeight());
    p.setSize(size);
    if (m_form.Timgund->Enabled()) m_form.motion.ScrollTop = float(p.Top);
    m_form.refreshView();
}

void ViewKeys::showKeys() {
    if (!m_overlay) m_overlay = new KeyOverlay(m_form, kKeys, m_form.m_canvas->onServer());
    m_overlay->showOverWindow();
}
