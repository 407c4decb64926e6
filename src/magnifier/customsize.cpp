#include "magnifier/customsize.h"

#include <QCoreApplication>

#include <algorithm>

void CustomSize::toggle() {
    m_mode = m_mode == Mode::Off ? Mode::On : Mode::Off;
    m_buttons = m_mode == Mode::On ? Buttons::Shown : Buttons::Hidden;
}

QString CustomSize::caption() const {
    return m_mode == Mode::Off ? QCoreApplication::translate("zuz", "自定义zuz")
                               : QCoreApplication::translate("zuz", "结束自定义zuz");
}

QSizeF CustomSize::resized(QSizeF picture, Step step) {
    switch (step) {
    case Step::Narrower:
        picture.setWidth(std::max(kSmallest, picture.width() - kStep));
        break;
    case Step::Shorter:
        picture.setHeight(std::max(kSmallest, picture.height() - kStep));
        break;
    case Step::Wider:
        picture.setWidth(picture.width() + kStep);
        break;
    case Step::Taller:
        picture.setHeight(picture.height() + kStep);
        break;
    }
    return picture;
}
