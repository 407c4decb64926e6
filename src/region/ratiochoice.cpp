#include "region/ratiochoice.h"

void RatioChoice::choose(Ratio ratio) {
    set(ratio == m_ratio ? Ratio::None : ratio);
}

void RatioChoice::set(Ratio ratio) {
    if (ratio == m_ratio) return;
    m_ratio = ratio;
    emit changed(m_ratio);
}

int RatioChoice::factor() const {
    switch (m_ratio) {
    case Ratio::Four:
        return 4;
    case Ratio::Six:
        return 6;
    case Ratio::None:
    case Ratio::Two:
        break;
    }
    return 2;
}
