#pragma once

#include <array>

class Frmpictd;
class QAction;
class QMenu;

// The view's context menu. It makes the form's menu controls, each calling
// the form's handler of its name, and shows the view's state in their
// captions and ticks; it never holds that state itself.
class ViewMenu {
  public:
    // Fills the form's mnkz and its items.
    explicit ViewMenu(Frmpictd& form);

    // Captions and ticks as the form's zoom, custom size, motion and speed
    // are now.
    void show();
    // The submenu of the aids to reading, after the speeds.
    QMenu* aidsMenu() const { return m_aids; }

  private:
    void addAids();
    void showAids();

    Frmpictd& m_form;
    QMenu* m_aids = nullptr;
    QAction *m_invert = nullptr, *m_grey = nullptr, *m_smooth = nullptr;
    QAction *m_crosshairs = nullptr, *m_band = nullptr;
    std::array<QAction*, 3> m_contrast{};
};
