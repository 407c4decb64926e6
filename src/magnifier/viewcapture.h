#pragma once

#include "shared/capture.h"

#include <QObject>

#include <array>

class ScreenGrabber;

// Pictures of the view's monitor, asked for by the parts of the view that
// need one and answered by a signal whenever the grabber answers: at once
// on X11 and Windows, later through the Wayland portal. One request per
// purpose is out at a time; another for the same purpose meanwhile is
// dropped, so that presses while the desktop answers bring one view.
class ViewCapture : public QObject {
    Q_OBJECT
  public:
    enum class Purpose { View, Again, Editor, Start };

    ViewCapture(ScreenGrabber& grabber, QObject* parent);

    // Asks for the pixels of `nativeArea`. False, and nothing asked, while
    // a request for `purpose` is out.
    bool request(const QRect& nativeArea, Purpose purpose);
    bool pending(Purpose purpose) const { return m_out[index(purpose)]; }

  signals:
    // The picture for `purpose`; null where there is none, after failed().
    void captured(ViewCapture::Purpose purpose, const Picture& picture);
    // Why there is no picture, in words for the user; said once.
    void failed(ViewCapture::Purpose purpose, const QString& why);

  private:
    static int index(Purpose p) { return int(p); }
    // The purpose a request of this object's was for, or -1.
    int purposeOf(const QObject* asker) const;

    ScreenGrabber& m_grabber;
    // Each purpose asks as an object of its own, so that the answers tell
    // them apart from each other and from other askers of the grabber.
    std::array<QObject, 4> m_askers;
    std::array<bool, 4> m_out{};
};
