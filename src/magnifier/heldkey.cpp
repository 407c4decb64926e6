#include "magnifier/heldkey.h"

#include <chrono>

qint64 HeldKeyFilter::steadyNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

HeldKeyFilter::Verdict HeldKeyFilter::request(qint64 nowMs, View view) {
    const bool soon = m_last && nowMs - *m_last < m_windowMs;
    m_last = nowMs;
    return view == View::Shown && soon ? Verdict::Repeat : Verdict::Taken;
}
