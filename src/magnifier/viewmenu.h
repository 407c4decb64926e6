#pragma once

class Frmpictd;

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

  private:
    Frmpictd& m_form;
};
