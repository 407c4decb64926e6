#pragma once

#include <QObject>

// The enlargement ratio the next region window uses. The three choices
// toggle: choosing the current one again leaves none chosen.
class RatioChoice : public QObject {
    Q_OBJECT
  public:
    enum class Ratio { None, Two, Four, Six };
    Q_ENUM(Ratio)

    Ratio ratio() const { return m_ratio; }
    void choose(Ratio ratio);
    void set(Ratio ratio);
    // How many times the picture's own size it is shown, each way. With
    // none chosen the window still opens, at the first ratio.
    int factor() const;

  signals:
    void changed(RatioChoice::Ratio ratio);

  private:
    Ratio m_ratio = Ratio::Two;
};
