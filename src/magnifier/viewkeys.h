#pragma once

#include "shared/keyoverlay.h"

#include <QPointer>

#include <cstdint>
#include <span>

class Frmpictd;
class QKeyEvent;

// The view by keyboard: panning, zoom and the key list, and what else a
// key does there (X and Esc end the view through the form's Form_KeyDown).
namespace viewkeys {
enum class Action;
}

class ViewKeys {
  public:
    explicit ViewKeys(Frmpictd& form);

    void press(const QKeyEvent& event);
    // Every key of the view, as the key list shows it.
    static std::span<const KeyHelp> keys();
    bool overlayShown() const { return m_overlay && m_overlay->isVisible(); }

  private:
    void pan(int dx, int dy, bool wholeScreen);
    void restoreModeSize();
    void showKeys();
    void aid(viewkeys::Action action);

    Frmpictd& m_form;
    QPointer<KeyOverlay> m_overlay;
};

// The arithmetic of the keys, in twips along one axis.
namespace viewkeys {

enum class Action {
    None,
    Left,
    Right,
    Up,
    Down,
    ZoomIn,
    ZoomOut,
    ModeSize,
    Keys,
    Menu,
    Invert,
    ContrastUp,
    ContrastDown,
    Greyscale,
    Smoothing,
    Crosshairs,
    Band
};

// What a key does in the view; `virtualKey` is the key by its place
// (virtualkey::of), `qtKey` Qt's key, which follows the layout.
Action action(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t virtualKey);

// A pan key moves the view an eighth of the window (a whole one with
// Shift) towards `direction` (+1: right or down) within the drag's clamps.
std::int32_t panned(std::int32_t pos, std::int32_t size, std::int32_t window, int direction,
                    bool wholeScreen);

// The picture brought to `size` with the point at the window's middle kept
// in place, then clamped as the wheel clamps it: covering the window when
// large enough, centred in it when not.
double resizedAboutMiddle(double pos, double oldSize, double size, double window);

} // namespace viewkeys
