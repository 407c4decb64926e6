// Busy drawings shown from frames drawn off the main thread: the same
// pixels as drawn directly, the last frame's drawings at once after a zoom,
// and never a frame of other drawings or of another picture.
#include "magnifier/editor/drawingframes.h"
#include "pixeldiff.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

using drawing::Kind;
using drawing::Shape;
using Shown = DrawingFrames::Shown;

class TstDrawingFrames : public QObject {
    Q_OBJECT
  private slots:
    void framesShowWhatDirectDrawingShows_data();
    void framesShowWhatDirectDrawingShows();
};

namespace {

QImage pattern() {
    QImage image(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, (x + y) % 256));
    return image;
}

Shape shape(Kind kind, QColor colour, std::vector<QPointF> points, qreal width = 6) {
    Shape s;
    s.kind = kind;
    s.colour = colour;
    s.points = std::move(points);
    s.width = width;
    s.number = 1;
    return s;
}

// `revision`: that of the picture's pixels.
DrawingFrames::View view(const QImage& picture, qreal zoom, qreal ratio, quint64 revision = 1) {
    // Zoomed about the picture's top-left, in logical positions.
    const QTransform toWidget = QTransform::fromScale(zoom / ratio, zoom / ratio);
    return {{picture, revision, toWidget.mapRect(QRectF(picture.rect())), Qt::white},
            toWidget,
            ratio,
            (QSizeF(picture.size()) / ratio).toSize()};
}

// The area as it is painted: its base, then the drawings.
QImage painted(DrawingFrames& frames, const drawing::Drawing& drawing, const DrawingFrames::View& v,
               Shown* how = nullptr) {
    QImage out((QSizeF(v.size) * v.ratio).toSize(), QImage::Format_RGB32);
    out.setDevicePixelRatio(v.ratio);
    QPainter painter(&out);
    const QRect whole(QPoint(0, 0), v.size);
    PictureArea::paintBase(painter, whole, v.base);
    const Shown shown = frames.paint(painter, whole, drawing, v);
    if (how) *how = shown;
    return out;
}

QImage direct(const drawing::Drawing& drawing, const DrawingFrames::View& v) {
    DrawingFrames few;
    Shown how;
    QImage out = painted(few, drawing, v, &how);
    return how == Shown::Direct ? out : QImage();
}

} // namespace

void TstDrawingFrames::framesShowWhatDirectDrawingShows_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("scale 1") << 1.0;
    QTest::newRow("scale 2") << 2.0;
}

void TstDrawingFrames::framesShowWhatDirectDrawingShows() {
    QFETCH(qreal, ratio);
    QImage picture = pattern();
    drawing::Drawing drawing;
    drawing.add(shape(Kind::Pen, Qt::red, {{10, 10}, {60, 30}, {90, 80}}));
    drawing.add(shape(Kind::Highlighter, Qt::yellow, {{20, 60}, {140, 60}}, 20));
    drawing.add(shape(Kind::Box, Qt::blue, {{30, 20}, {130, 100}}, 12));
    drawing.add(shape(Kind::Number, Qt::darkGreen, {{120, 30}}));
    DrawingFrames frames;
    frames.setAlwaysBusy(true);
    QSignalSpy ready(&frames, &DrawingFrames::ready);
    // Antialiased edges may differ by a few levels between a pass over the
    // whole area and one in bands.
    const int tolerance = 4;

    // Until its frame is ready the drawing is drawn directly.
    const DrawingFrames::View atOne = view(picture, 1, ratio);
    Shown how;
    QCOMPARE(painted(frames, drawing, atOne, &how), direct(drawing, atOne));
    QCOMPARE(how, Shown::Direct);
    QTRY_COMPARE(ready.size(), 1);
    QVERIFY(largestDifference(painted(frames, drawing, atOne, &how), direct(drawing, atOne)) <=
            tolerance);
    QCOMPARE(how, Shown::Sharp);

    // Zoomed, at once: the picture drawn anew, the drawings from the frame
    // at their new place; then the sharp frame for the new zoom.
    const DrawingFrames::View zoomed = view(picture, 1.5, ratio);
    const QImage interim = painted(frames, drawing, zoomed, &how);
    QCOMPARE(how, Shown::Interim);
    const QImage sharp = direct(drawing, zoomed);
    const qreal device = 1.5;
    const auto at = [device](QPointF p) { return (p * device).toPoint(); };
    // Plain picture, the box's edge, the number's circle beside its digit.
    for (const QPointF p : {QPointF(5, 110), QPointF(30, 40), QPointF(110, 30)})
        QVERIFY2(largestDifference(interim.copy(QRect(at(p), QSize(1, 1))),
                                   sharp.copy(QRect(at(p), QSize(1, 1)))) <= tolerance,
                 qPrintable(QStringLiteral("at %1, %2").arg(p.x()).arg(p.y())));
    QTRY_COMPARE(ready.size(), 2);
    QVERIFY(largestDifference(painted(frames, drawing, zoomed, &how), sharp) <= tolerance);
    QCOMPARE(how, Shown::Sharp);

    // Another shape, another pixel of the picture: drawn directly, never
    // taken from a frame that does not hold them.
    drawing.add(shape(Kind::Line, Qt::black, {{0, 0}, {159, 119}}));
    QCOMPARE(painted(frames, drawing, zoomed, &how), direct(drawing, zoomed));
    QCOMPARE(how, Shown::Direct);
    QTRY_COMPARE(ready.size(), 3);
    picture.setPixel(100, 110, qRgb(0, 0, 0));
    const DrawingFrames::View written = view(picture, 1.5, ratio, 2);
    QCOMPARE(painted(frames, drawing, written, &how), direct(drawing, written));
    QCOMPARE(how, Shown::Direct);
}

QTEST_MAIN(TstDrawingFrames)
#include "tst_drawingframes.moc"
