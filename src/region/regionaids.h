#pragma once

#include <QObject>

#include <array>
#include <cstdint>

class ColourAids;
class QAction;
class QMenu;

// The colour aids in the region window: its keys, and the submenu that
// shows which are on. The aids themselves live with the program, so that
// a later window starts with them as the user left them.
namespace regionaids {

enum class Key { None, Inversion, ContrastUp, ContrastDown, Greyscale, Smoothing, Crosshairs };

// What a key asks of the aids, by the letter on the key (its virtual key):
// I, C, Shift+C, G, S, H; with Ctrl, Alt or the logo key, nothing.
Key key(std::uint32_t virtualKey, bool shift, bool otherModifiers);
// Carries the key out; whether it was one of the aids' keys.
bool press(ColourAids& aids, Key key);

} // namespace regionaids

// The aids' submenu: an item for each, ticked while it is on, kept in step
// with the aids whoever changes them (a key, an item).
class RegionAidsMenu : public QObject {
    Q_OBJECT
  public:
    RegionAidsMenu(QMenu& parent, ColourAids& aids);

    QMenu* menu = nullptr;
    QAction* inversion = nullptr;
    // Normal, high and higher contrast.
    std::array<QAction*, 3> contrast{};
    QAction* greyscale = nullptr;
    QAction* smoothing = nullptr;
    QAction* crosshairs = nullptr;

  private:
    void showTicks();
    ColourAids& m_aids;
};
