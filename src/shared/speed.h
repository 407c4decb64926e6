#pragma once

#include <QString>

#include <functional>
#include <optional>

class Prompts;
class QWidget;

// The scrolling speed of both programs' "速度" submenu: which of its five
// items is ticked and the timer interval each one sets.
class ScrollSpeed {
  public:
    enum class Choice { Fast, Medium, Slow, Default, Custom };
    // How the custom item reads a typed interval.
    enum class Reading {
        // A plain whole number only: zuz scrolls the whole screen, and a
        // slip such as "1,000" (one in some locales) or "1e3" would race it.
        WholeNumber,
        // Any number the locale writes (or C's), rounded half to even: a
        // region window scrolls a small picture, where a surprising
        // interval costs little.
        LocaleNumber,
    };
    // The longest interval the box accepts: a 16-bit count of milliseconds,
    // about one minute, slower than anyone would read.
    static constexpr int kMaxInterval = 65535;

    ScrollSpeed(Choice ticked, Reading reading) : m_ticked(ticked), m_reading(reading) {}

    // Flips the choice's own tick and clears the others; gives the new
    // interval, or nothing where the custom box is cancelled or not
    // answered with an interval (the ticks change all the same).
    std::optional<int> choose(Choice choice, const std::function<QString()>& askCustom);
    std::optional<Choice> ticked() const { return m_ticked; }
    bool isTicked(Choice choice) const { return m_ticked == choice; }
    std::optional<int> readInterval(const QString& answer) const;

    // The custom item's question.
    static QString ask(Prompts& prompts, QWidget* parent);

  private:
    std::optional<Choice> m_ticked;
    Reading m_reading;
};
