#include "units.h"

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
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("tpp");
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<double>("heightTwips");
    QTest::newRow("96 dpi") << 1024 << 768 << 96.0 << 15.0 << 15360.0 << 11520.0;
    QTest::newRow("120 dpi") << 1920 << 1080 << 120.0 << 12.0 << 23040.0 << 12960.0;
    QTest::newRow("144 dpi") << 3840 << 2160 << 144.0 << 10.0 << 38400.0 << 21600.0;
}

void TstUnits::screenFromDpi() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(double, dpi);
    QFETCH(double, tpp);
    QFETCH(double, widthTwips);
    QFETCH(double, heightTwips);
    const units::Screen s = units::Screen::fromDpi(w, h, dpi, dpi);
    QCOMPARE(s.TwipsPerPixelX, tpp);
    QCOMPARE(s.TwipsPerPixelY, tpp);
    QCOMPARE(s.Width(), widthTwips);
    QCOMPARE(s.Height(), heightTwips);
    QCOMPARE(s.toPixelsX(s.Width()), w);
    QCOMPARE(s.toPixelsY(-s.Height() / 2), -h / 2);
}

void TstUnits::cint16Saturates() {
    QCOMPARE(units::cint16(32767.4), qint16(32767));
    QCOMPARE(units::cint16(57600), qint16(32767));
    QCOMPARE(units::cint16(-40000), qint16(-32768));
    QCOMPARE(units::cint16(100.5), qint16(100));
}

QTEST_APPLESS_MAIN(TstUnits)
#include "tst_units.moc"
