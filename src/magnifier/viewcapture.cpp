#include "magnifier/viewcapture.h"

#include "shared/platform/screengrabber.h"

ViewCapture::ViewCapture(ScreenGrabber& grabber, QObject* parent)
    : QObject(parent), m_grabber(grabber) {
    connect(&grabber, &ScreenGrabber::grabbed, this,
            [this](const QObject* asker, const QImage& picture) {
                const int p = purposeOf(asker);
                if (p < 0) return;
                m_out[p] = false;
                emit captured(Purpose(p), CreateBitmapPicture(picture));
            });
    connect(&grabber, &ScreenGrabber::failed, this,
            [this](const QObject* asker, const QString& why) {
                const int p = purposeOf(asker);
                if (p < 0) return;
                m_out[p] = false;
                if (!why.isEmpty()) emit failed(Purpose(p), why);
                emit captured(Purpose(p), Picture());
            });
}

int ViewCapture::purposeOf(const QObject* asker) const {
    for (int i = 0; i < int(m_askers.size()); ++i)
        if (asker == &m_askers[i]) return i;
    return -1;
}

bool ViewCapture::request(const QRect& nativeArea, Purpose purpose) {
    const int p = index(purpose);
    if (m_out[p]) return false;
    if (nativeArea.isEmpty()) {
        emit captured(purpose, Picture());
        return true;
    }
    m_out[p] = true;
    // May answer before it returns.
    m_grabber.request(nativeArea, &m_askers[p]);
    // What the caller left to do meanwhile runs now at the latest.
    m_grabber.runMeanwhile();
    return true;
}
