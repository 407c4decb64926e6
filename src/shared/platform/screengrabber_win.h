#pragma once

#include "screengrabber.h"

// Reads the screen with GDI: one BitBlt from the desktop window's device
// context, which is the screen's, into a device-independent bitmap, with
// CAPTUREBLT so that layered windows are in the picture too. Requests are
// answered at once.
class WinScreenGrabber : public DirectScreenGrabber {
    Q_OBJECT

  protected:
    QImage grabNow(const QRect& area, QString& whyNot) override;
};
