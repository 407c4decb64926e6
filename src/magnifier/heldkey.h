#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>
#include <utility>

// Tells the repeats of a held key from presses the user made, for requests
// for a view that carry no repeat flag: a desktop's key binding that runs
// `zuz --view` (sway repeats a bindsym while the key is held) and every
// other way in, which must agree with it. During a view each request
// magnifies the view once more, so a held key would compound the zoom many
// times a second.
class HeldKeyFilter {
  public:
    enum class View { Hidden, Shown };
    enum class Verdict { Taken, Repeat };

    // Longer than the wait before a held key first repeats on the desktops'
    // defaults (500 ms on Windows and GNOME, 600 ms on sway and KDE, 660 ms
    // on a bare X server) plus what starting `zuz --view` adds; a desktop's
    // own binding leaves the program no way to ask the one in force.
    static constexpr qint64 kRepeatWindowMs = 750;

    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;
    static qint64 steadyNow();

    explicit HeldKeyFilter(qint64 windowMs = kRepeatWindowMs, Clock clock = &steadyNow)
        : m_windowMs(windowMs), m_clock(std::move(clock)) {}
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // A request at `nowMs` (any steady clock) while the view is `view`. A
    // repeat extends the window, so a key held on goes on being ignored,
    // and a press after its release is taken once the window has passed.
    // Between views every request is taken: it brings the first view.
    Verdict request(qint64 nowMs, View view);
    Verdict request(View view) { return request(m_clock(), view); }

  private:
    qint64 m_windowMs;
    Clock m_clock;
    std::optional<qint64> m_last;
};
