// The picker and the magnified-region window as a scaled monitor shows
// them, device pixel by device pixel. Run once for each scale factor
// (QT_SCALE_FACTOR), so that the windows paint into backing stores of that
// many device pixels to a logical one.
#include "regionrig.h"

#include <QGuiApplication>
#include <QTest>

namespace {
// Whole logical pixels at each of the ratios 1, 1.25, 1.5, 1.75 and 2.
const QSize kDevice(1680, 1260);
const QRgb kBack = qRgb(0xC0, 0xC0, 0xFF);
const QRgb kBorder = qRgb(0, 0, 0);

double ratio() {
    return qGuiApp->devicePixelRatio();
}

QImage shot(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPoint device(QPoint logical) {
    return {units::cint(logical.x() * ratio()), units::cint(logical.y() * ratio())};
}

bool onEdge(const QRect& r, QPoint p) {
    return r.contains(p) && !r.adjusted(1, 1, -1, -1).contains(p);
}
} // namespace

class TstRegionScaled : public QObject {
    Q_OBJECT
  private slots:
    void pickerShowsTheMonitorPixelForPixel();
    void regionPixelsAreWholeSquares_data();
    void regionPixelsAreWholeSquares();
};

void TstRegionScaled::pickerShowsTheMonitorPixelForPixel() {
    RegionRig rig(kDevice, 96, ratio());
    frmCaptureArea picker(*rig.main);
    picker.Form_Load();
    // Under 100 logical pixels each way: outlines without a label.
    picker.Form_MouseDown(1, 0, 101, 51);
    picker.Form_MouseMove(1, 0, 160, 93);
    const QImage got = shot(picker);
    const QImage& frozen = picker.background();
    QCOMPARE(got.size(), kDevice);
    // The black outline runs through the device pixels of both corners, the
    // white one a device pixel inside; everything else is the frozen
    // monitor, unscaled.
    const QRect black(device({101, 51}), device({160, 93}));
    const QRect white = black.adjusted(1, 1, -1, -1);
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QPoint p(x, y);
            const QRgb want = onEdge(black, p)   ? kBorder
                              : onEdge(white, p) ? qRgb(255, 255, 255)
                                                 : frozen.pixel(p);
            if (got.pixel(p) != want)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
}

void TstRegionScaled::regionPixelsAreWholeSquares_data() {
    QTest::addColumn<QSize>("region");
    QTest::addColumn<int>("k");
    QTest::newRow("31 x 17 at 1x2") << QSize(31, 17) << 2;
    QTest::newRow("31 x 17 at 1x4") << QSize(31, 17) << 4;
    QTest::newRow("7 x 5 at 1x6") << QSize(7, 5) << 6;
    QTest::newRow("wider than the monitor at 1x6") << QSize(301, 37) << 6;
    QTest::newRow("larger both ways at 1x6") << QSize(333, 251) << 6;
}

// Each picture pixel is a square of exactly k x k device pixels, wherever
// the picture starts; a picture the monitor holds shows whole inside the
// border, with nothing but background around it.
void TstRegionScaled::regionPixelsAreWholeSquares() {
    QFETCH(QSize, region);
    QFETCH(int, k);
    const double r = ratio();
    RegionRig rig(kDevice, 96, r);
    TestMain& m = *rig.main;
    m.ratio().set(k == 6   ? RatioChoice::Ratio::Six
                  : k == 4 ? RatioChoice::Ratio::Four
                           : RatioChoice::Ratio::Two);
    // Every pixel names coordinates of 5 or more: none is black like the
    // border.
    Fortdck* f = rig.open(codedPattern(region.width() + 5, region.height() + 5)
                              .copy(5, 5, region.width(), region.height()));
    const auto source = [](QRgb c) { return decodePattern(c) - QPoint(5, 5); };
    const QImage got = shot(*f);
    const QSize enlarged = region * k;
    // Each way, a few logical pixels more than the picture and the border,
    // or the whole monitor.
    const bool wide = enlarged.width() + 4 > kDevice.width();
    const bool tall = enlarged.height() + 4 > kDevice.height();
    if (wide)
        QCOMPARE(f->width(), qRound(kDevice.width() / r));
    else
        QVERIFY(f->width() <= std::ceil(enlarged.width() / r) + 6);
    if (tall)
        QCOMPARE(f->height(), qRound(kDevice.height() / r));
    else
        QVERIFY(f->height() <= std::ceil(enlarged.height() / r) + 6);
    const bool whole = !wide && !tall;
    // The toolkit asks the window manager to size the window in steps of a
    // logical pixel's worth of device pixels; one that keeps to them must
    // not have to cut a device pixel off, which would never be painted.
    const int step = std::max(1, qRound(r));
    QCOMPARE(got.width() % step, 0);
    QCOMPARE(got.height() % step, 0);
    for (int x = 0; x < got.width(); ++x)
        QVERIFY(got.pixel(x, 0) == kBorder && got.pixel(x, got.height() - 1) == kBorder);
    for (int y = 0; y < got.height(); ++y)
        QVERIFY(got.pixel(0, y) == kBorder && got.pixel(got.width() - 1, y) == kBorder);

    // Where the picture starts follows from its first pixels shown: the
    // square of the first source pixel ends where the colour changes.
    QPoint first(-1, -1);
    for (int y = 0; y < got.height() && first.x() < 0; ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != kBorder && got.pixel(x, y) != kBack) {
                first = {x, y};
                break;
            }
    QVERIFY(first.x() >= 0);
    const QPoint s0 = source(got.pixel(first));
    int runX = 0;
    while (source(got.pixel(first + QPoint(runX, 0))) == s0)
        ++runX;
    int runY = 0;
    while (source(got.pixel(first + QPoint(0, runY))) == s0)
        ++runY;
    QVERIFY(runX <= k && runY <= k);
    const QPoint origin(first.x() + runX - k * (s0.x() + 1), first.y() + runY - k * (s0.y() + 1));
    const QRect picture(origin, enlarged);

    qint64 shown = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QRgb c = got.pixel(x, y);
            const QPoint p(x, y);
            const QString where = QStringLiteral("pixel %1,%2").arg(x).arg(y);
            if (c == kBack && picture.contains(p)) QFAIL(qPrintable(where + " missing"));
            if (c == kBack || c == kBorder) continue;
            ++shown;
            const QPoint want((x - origin.x()) / k, (y - origin.y()) / k);
            if (!picture.contains(p) || source(c) != want) QFAIL(qPrintable(where));
        }
    if (whole) QCOMPARE(shown, qint64(enlarged.width()) * enlarged.height());
}

QTEST_MAIN(TstRegionScaled)
#include "tst_region_scaled.moc"
