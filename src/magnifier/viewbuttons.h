#pragma once

#include "magnifier/customsize.h"
#include "shared/units.h"

class Frmpictd;
class QPushButton;

// The view's buttons: the editor's and the one that ends the view in the
// monitor's corner, and the four custom-size ones. It makes the form's
// button controls, each calling the form's handler of its name.
class ViewButtons {
  public:
    // `native`: the buttons must be windows of their own, to lie above the
    // surface X11 draws the picture on.
    ViewButtons(Frmpictd& form, bool native);

    // Puts the corner buttons in the corner of a monitor like `screen`.
    void placeCorner(const units::Screen& screen);
    void showCustomSize(CustomSize::Buttons buttons);

  private:
    QPushButton* make(const char* name, const QString& caption, const char* tip);
    void place(QPushButton* button, const units::Screen& s, double left, double top, double width,
               double height);

    Frmpictd& m_form;
    bool m_native;
};
