#include "screengrabber.h"

void DirectScreenGrabber::request(const QRect& area, const QObject* asker) {
    QString why;
    const QImage picture = grabNow(area, why);
    if (picture.isNull())
        emit failed(asker, why);
    else
        emit grabbed(asker, picture);
}
