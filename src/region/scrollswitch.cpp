#include "region/scrollswitch.h"

void ScrollSwitch::toggle() {
    set(isOn() ? State::Off : State::On);
}

void ScrollSwitch::set(State state) {
    if (state == m_state) return;
    m_state = state;
    emit changed(m_state);
}
