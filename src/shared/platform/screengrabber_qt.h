#pragma once

#include "screengrabber.h"

class QtScreenGrabber : public DirectScreenGrabber {
    Q_OBJECT
  public:
    // What Qt reads of `area` of the screen, black where it reads nothing.
    static QImage read(const QRect& area);

  protected:
    QImage grabNow(const QRect& area, QString& whyNot) override;
};
