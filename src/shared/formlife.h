#pragma once

// Whether a form is still loaded. Unloading is final: the form goes once
// control returns to the event loop, and until then handlers still on the
// stack and calls already queued find it unloaded and do nothing.
class FormLife {
  public:
    bool isLoaded() const { return m_state == State::Loaded; }
    // True the first time only, so that a form unloads once.
    bool unload() {
        if (m_state == State::Unloaded) return false;
        m_state = State::Unloaded;
        return true;
    }

  private:
    enum class State { Loaded, Unloaded };
    State m_state = State::Loaded;
};
