#pragma once

#include <QSizeF>
#include <QString>

// The custom size: the menu item that shows or hides the four size
// buttons, and what each button does to the picture's size (twips).
class CustomSize {
  public:
    // The item's own state; "restore default" hides the buttons without
    // changing it, and the next click then only turns it off.
    enum class Mode { Off, On };
    enum class Buttons { Hidden, Shown };
    enum class Step { Narrower, Shorter, Wider, Taller };
    static constexpr double kStep = 200;
    // However often a "-" button is clicked, the picture keeps one step.
    static constexpr double kSmallest = 200;

    void toggle();
    void hideButtons() { m_buttons = Buttons::Hidden; }
    Mode mode() const { return m_mode; }
    Buttons buttons() const { return m_buttons; }
    QString caption() const;

    static QSizeF resized(QSizeF picture, Step step);

  private:
    Mode m_mode = Mode::Off;
    Buttons m_buttons = Buttons::Hidden;
};
