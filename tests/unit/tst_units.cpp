#include "shared/units.h"

#include <QTest>

class TstUnits : public QObject {
    Q_OBJECT
  private slots:
    void cintRoundsHalvesToEven_data();
    void cintRoundsHalvesToEven();
    void intDivTruncatesRoundedOperands_data();
    void intDivTruncatesRoundedOperands();
    void screenFromDpi_data();
    void screenFromDpi();
    void cint16Saturates();
};

void TstUnits::cintRoundsHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-3.5") << -3.5 << -4;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("7.5 twips") << 7.5 << 8;
    QTest::newRow("huge") << 1e12 << 2147483647;
    QTest::newRow("-huge") << -1e12 << int(-2147483647 - 1);
}

void TstUnits::cintRoundsHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(units::cint(value), expected);
}

void TstUnits::intDivTruncatesRoundedOperands_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("1024 px at 15") << 15360.0 << 15.0 << 1024;
    QTest::newRow("1920 px at 12") << 23040.0 << 12.0 << 1920;
    QTest::newRow("truncates") << 29.0 << 15.0 << 1;
    QTest::newRow("rounds first") << 29.5 << 14.5 << 2; // 30 \ 14
    QTest::newRow("negative truncates to zero") << -29.0 << 15.0 << -1;
    QTest::newRow("by zero") << 5.0 << 0.2 << 0;
}

void TstUnits::intDivTruncatesRoundedOperands() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, expected);
    QCOMPARE(units::intDiv(a, b), expected);
}

void TstUnits::screenFromDpi_data() {
    QTest::addColumn<int>("w"); // logical pixels
    QTest::addColumn<int>("h");
    QTest::addColumn<double>("dpi"); // logical
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("deviceW");
    QTest::addColumn<int>("deviceH");
    QTest::addColumn<double>("tpp");
    QTest::addColumn<int>("halfW"); // a picture half the screen wide, in logical pixels
    QTest::newRow("96 dpi") << 1024 << 768 << 96.0 << 1.0 << 1024 << 768 << 15.0 << 512;
    QTest::newRow("120 dpi, odd width")
        << 1365 << 767 << 120.0 << 1.0 << 1365 << 767 << 12.0 << 682;
    QTest::newRow("144 dpi") << 3840 << 2160 << 144.0 << 1.0 << 3840 << 2160 << 10.0 << 1920;
    QTest::newRow("192 dpi unscaled")
        << 3840 << 2160 << 192.0 << 1.0 << 3840 << 2160 << 7.5 << 1920;
    QTest::newRow("110 dpi unscaled, odd")
        << 1367 << 768 << 110.0 << 1.0 << 1367 << 768 << 1440 / 110.0 << 684;
    QTest::newRow("scale 1.25") << 1536 << 864 << 96.0 << 1.25 << 1920 << 1080 << 15.0 << 768;
    QTest::newRow("scale 1.5") << 2560 << 1440 << 96.0 << 1.5 << 3840 << 2160 << 15.0 << 1280;
    QTest::newRow("scale 1.75") << 1097 << 617 << 96.0 << 1.75 << 1920 << 1080 << 15.0 << 548;
    QTest::newRow("scale 2") << 1920 << 1080 << 96.0 << 2.0 << 3840 << 2160 << 15.0 << 960;
}

// Twips keep their physical meaning: the screen in twips converts back to
// its logical pixels, a screen-sized picture of device pixels measures the
// screen in twips, and halves go to the even neighbour.
void TstUnits::screenFromDpi() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(double, dpi);
    QFETCH(double, ratio);
    QFETCH(int, deviceW);
    QFETCH(int, deviceH);
    QFETCH(double, tpp);
    QFETCH(int, halfW);
    const units::Screen s = units::Screen::fromDpi(w, h, dpi, dpi, ratio, deviceW, deviceH);
    QCOMPARE(s.TwipsPerPixelX, tpp);
    QCOMPARE(s.Width(), w * tpp);
    QCOMPARE(s.toPixelsX(s.Width()), w);
    QCOMPARE(s.toPixelsY(-s.Height() / 2), -units::cint(h / 2.0));
    QCOMPARE(s.toPixelsX(s.Width() / 2), halfW);
    // The device pixels of a picture that covers the screen.
    QVERIFY(qAbs(s.pictureTwipsX(deviceW) - s.Width()) <= tpp * ratio);
    QCOMPARE(units::cint(s.toDeviceX(s.pictureTwipsX(deviceW))), deviceW);
    QCOMPARE(units::cint(s.toDeviceY(s.pictureTwipsY(deviceH))), deviceH);
    // A picture twice the screen: each device pixel becomes two.
    QCOMPARE(units::cint(s.toDeviceX(2 * s.pictureTwipsX(deviceW))), 2 * deviceW);
}

void TstUnits::cint16Saturates() {
    QCOMPARE(units::cint16(32767.4), qint16(32767));
    QCOMPARE(units::cint16(57600), qint16(32767));
    QCOMPARE(units::cint16(-40000), qint16(-32768));
    QCOMPARE(units::cint16(100.5), qint16(100));
}

QTEST_APPLESS_MAIN(TstUnits)
#include "tst_units.moc"
