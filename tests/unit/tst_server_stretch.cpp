// Runs on a real X server (tests/e2e/test_server_drawing.py starts one):
// the server's enlarged drawing of a captured picture must be pixel for
// pixel what stretchNearest() draws, for the scales and offsets views use.
#include "platform/screengrabber_x11.h"
#include "platform/x11connection.h"
#include "stretch.h"

#include <QApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
const QColor kBack(192, 192, 255);

// Every pixel different from its neighbours, so that a sample taken one
// pixel off shows.
QImage noise(const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(20261207);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            row[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

class Shown : public QWidget {
  public:
    explicit Shown(QImage image) : m_image(std::move(image)) {}

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_image); }

  private:
    QImage m_image;
};
} // namespace

class TstServerStretch : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void drawsWhatTheClientWould_data();
    void drawsWhatTheClientWould();
    void picturesNotCapturedAreLeftToTheCaller();

  private:
    std::unique_ptr<X11ScreenGrabber> m_grabber;
    QImage m_screen;
    QImage m_picture;
    std::unique_ptr<Shown> m_shown;
    std::unique_ptr<QWindow> m_window;
};

void TstServerStretch::initTestCase() {
    QVERIFY(x11Connection());
    m_grabber = std::make_unique<X11ScreenGrabber>(x11Connection());
    QVERIFY2(m_grabber->drawsOnServer(), "the server offers shared pixmaps and RENDER");
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    m_screen = noise(area.size());
    m_shown = std::make_unique<Shown>(m_screen);
    m_shown->setWindowFlags(Qt::FramelessWindowHint);
    m_shown->setGeometry(area);
    m_shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_shown.get()));
    QTRY_VERIFY((m_picture = m_grabber->grabRoot(area)) == m_screen);
    QVERIFY(m_grabber->drawsOnServer(m_picture));
    // A window the toolkit never paints: what it shows is the server's.
    m_window = std::make_unique<QWindow>();
    m_window->setFlags(Qt::FramelessWindowHint);
    m_window->setGeometry(area);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TstServerStretch::drawsWhatTheClientWould_data() {
    QTest::addColumn<QRectF>("target");
    QTest::addColumn<QRegion>("clip");
    // Scales that a 16.16 fixed point number holds, or simple fractions of
    // them, come out exact. Any other scale may take the neighbouring
    // source pixel where a centre lies within the server's rounding of a
    // source pixel's edge.
    const QSize s = m_screen.size();
    const double w = s.width(), h = s.height();
    const QRegion all(QRect(QPoint(0, 0), s));
    QTest::newRow("2x of the middle") << QRectF(-w / 2, -h / 2, 2 * w, 2 * h) << all;
    QTest::newRow("1.5x") << QRectF(-w / 4, -h / 4, 1.5 * w, 1.5 * h) << all;
    // Twips dragged to a fifteenth of a pixel, and a tenth at scale 1.5.
    QTest::newRow("1.5x dragged") << QRectF(-2571 / 15.0, -1429 / 15.0, 1.5 * w, 1.5 * h) << all;
    QTest::newRow("2x at scale 1.5") << QRectF(-w / 2 - 0.1, -h / 2 + 0.3, 2 * w, 2 * h) << all;
    // Every other centre falls on a source pixel's edge: it takes the pixel
    // right of and below the edge.
    QTest::newRow("2x, centres on edges")
        << QRectF(-w / 2 + 0.5, -h / 2 + 0.5, 2 * w, 2 * h) << all;
    QTest::newRow("4/3") << QRectF(-w / 6, -h / 6, 4 * w / 3, 4 * h / 3) << all;
    QTest::newRow("3x") << QRectF(-w, -h, 3 * w, 3 * h) << all;
    QTest::newRow("vertical only") << QRectF(0, -h / 2, w, 2 * h) << all;
    QTest::newRow("custom size, the background around it")
        << QRectF(101.2, 57.8, w * 0.6833, h * 0.7592) << all;
    QTest::newRow("custom size, larger") << QRectF(-37.4, -91.6, w * 1.3917, h * 1.2083) << all;
    // The wheel's sizes: steps of 1.25 from each menu size, each with a
    // step per pixel that 16.16 holds, at whole positions.
    for (const double start : {1.0, 1.5, 2.0})
        for (int n = -3; n <= 13; ++n) {
            const double f = start * std::pow(1.25, n);
            if (n == 0 || f < 1 || f > 16) continue;
            const double tw = w * 65536 / std::round(65536 / f);
            const double th = h * 65536 / std::round(65536 / f);
            QTest::addRow("wheel %gx", f)
                << QRectF(std::round((w - tw) / 3), std::round((h - th) / 5), tw, th) << all;
        }
    QTest::newRow("a few dirty rectangles")
        << QRectF(-w / 2, -h / 2, 2 * w, 2 * h)
        << (QRegion(10, 20, 300, 40) + QRegion(w - 37, h - 90, 37, 90));
}

void TstServerStretch::drawsWhatTheClientWould() {
    QFETCH(QRectF, target);
    QFETCH(QRegion, clip);
    const QRect all(QPoint(0, 0), m_screen.size());
    // Something else first, so that a pixel left undrawn shows.
    QVERIFY(m_grabber->drawStretched(m_window->winId(), QRegion(all), QRectF(), m_picture,
                                     m_picture.rect(), Qt::black));
    QVERIFY(m_grabber->drawStretched(m_window->winId(), clip, target, m_picture, m_picture.rect(),
                                     kBack));
    QImage want(all.size(), QImage::Format_RGB32);
    want.fill(kBack);
    for (const QRect& r : clip)
        stretch::stretchNearest(want, r, target, m_picture, m_picture.rect());
    const QImage got = m_grabber->grabRoot(all.translated(m_window->geometry().topLeft()));
    QCOMPARE(got.size(), want.size());
    const double fx = m_picture.width() / target.width();
    const double fy = m_picture.height() / target.height();
    // Whether `got` is the source pixel on the other side of an edge that
    // the centre lies within the server's rounding of.
    const auto nextToAnEdge = [&](int x, int y, QRgb got) {
        const double sx = (x + 0.5 - target.left()) * fx;
        const double sy = (y + 0.5 - target.top()) * fy;
        const auto near = [](double v) { return std::abs(v - std::round(v)) < 1.0 / 256; };
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx && !near(sx)) || (dy && !near(sy))) continue;
                const QPoint p(std::clamp(int(std::floor(sx)) + dx, 0, m_picture.width() - 1),
                               std::clamp(int(std::floor(sy)) + dy, 0, m_picture.height() - 1));
                if (!((m_picture.pixel(p) ^ got) & 0xFFFFFF)) return true;
            }
        return false;
    };
    int wrong = 0;
    int rounded = 0;
    QPoint first(-1, -1);
    for (const QRect& r : clip)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                if (!((got.pixel(x, y) ^ want.pixel(x, y)) & 0xFFFFFF)) continue;
                if (want.pixel(x, y) != kBack.rgb() && nextToAnEdge(x, y, got.pixel(x, y))) {
                    ++rounded;
                    continue;
                }
                if (!wrong++) first = QPoint(x, y);
            }
    const double exact = std::abs(fx * 65536 - std::round(fx * 65536)) < 1e-9 ||
                         std::abs(3 * fx - std::round(3 * fx)) < 1e-9;
    if (exact) QCOMPARE(rounded, 0);
    QVERIFY2(!wrong, qPrintable(QStringLiteral("%1 pixels differ, the first at %2,%3")
                                    .arg(wrong)
                                    .arg(first.x())
                                    .arg(first.y())));
}

void TstServerStretch::picturesNotCapturedAreLeftToTheCaller() {
    // A copy lies in ordinary memory; a small capture came through an
    // ordinary request. Neither can the server see.
    const QImage copy = m_picture.copy();
    const QImage small = m_grabber->grabRoot(QRect(0, 0, 8, 8));
    for (const QImage& pic : {copy, small}) {
        QVERIFY(!m_grabber->drawsOnServer(pic));
        QVERIFY(!m_grabber->drawStretched(m_window->winId(), QRegion(0, 0, 8, 8),
                                          QRectF(0, 0, 16, 16), pic, pic.rect(), kBack));
    }
}

QTEST_MAIN(TstServerStretch)
#include "tst_server_stretch.moc"
