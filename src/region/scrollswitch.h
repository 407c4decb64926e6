#pragma once

#include <QObject>

// Whether region windows scroll a picture larger than the screen by
// themselves. It outlives the windows: each new one starts as it says.
class ScrollSwitch : public QObject {
    Q_OBJECT
  public:
    enum class State { Off, On };
    Q_ENUM(State)

    State state() const { return m_state; }
    bool isOn() const { return m_state == State::On; }
    void toggle();
    void set(State state);

  signals:
    void changed(ScrollSwitch::State state);

  private:
    State m_state = State::Off;
};
