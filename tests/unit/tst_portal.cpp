#include "platform/hotkey_portal.h"
#include "platform/screengrabber_portal.h"

#include <QTest>

// The desktop portal's picture is of the whole desktop in device pixels,
// while a monitor is named by its corner in the toolkit's coordinates.
class TstPortal : public QObject {
    Q_OBJECT
  private slots:
    void cutTakesTheMonitorsDevicePixels();
    void cutLeavesWhatThePictureLacksBlack();
    void triggerIsProposedInThePortalsNotation();
};

namespace {
// Every pixel differs from its neighbours, so a shifted cut cannot pass.
QImage numbered(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) >> 4));
    return img;
}
} // namespace

void TstPortal::cutTakesTheMonitorsDevicePixels() {
    // Two monitors of 800x600 logical pixels side by side, at ratio 2.
    const QRect desktop(0, 0, 1600, 600);
    const QImage shot = numbered(3200, 1200);
    const QImage right = PortalScreenGrabber::cut(shot, desktop, QRect(800, 0, 1600, 1200));
    QCOMPARE(right, shot.copy(1600, 0, 1600, 1200));
    // A desktop whose corner is not the origin.
    const QImage left =
        PortalScreenGrabber::cut(shot, desktop.translated(-800, 0), QRect(-800, 0, 1600, 1200));
    QCOMPARE(left, shot.copy(0, 0, 1600, 1200));
}

void TstPortal::cutLeavesWhatThePictureLacksBlack() {
    const QImage shot = numbered(100, 80);
    const QImage out = PortalScreenGrabber::cut(shot, QRect(0, 0, 100, 80), QRect(60, 50, 60, 40));
    QCOMPARE(out.size(), QSize(60, 40));
    QCOMPARE(out.copy(0, 0, 40, 30), shot.copy(60, 50, 40, 30));
    QCOMPARE(out.pixel(40, 0), qRgb(0, 0, 0));
    QCOMPARE(out.pixel(0, 30), qRgb(0, 0, 0));
    QCOMPARE(out.pixel(59, 39), qRgb(0, 0, 0));
    QVERIFY(PortalScreenGrabber::cut(QImage(), QRect(0, 0, 10, 10), QRect(0, 0, 4, 3)).size() ==
            QSize(4, 3));
}

void TstPortal::triggerIsProposedInThePortalsNotation() {
    QCOMPARE(PortalHotkeyService::triggerText(HotkeyService::MOD_CONTROL, 'Z'),
             QStringLiteral("CTRL+z"));
    QCOMPARE(PortalHotkeyService::triggerText(HotkeyService::MOD_CONTROL |
                                                  HotkeyService::MOD_SHIFT | HotkeyService::MOD_ALT,
                                              '7'),
             QStringLiteral("CTRL+ALT+SHIFT+7"));
}

QTEST_MAIN(TstPortal)
#include "tst_portal.moc"
