// The drawn objects of the annotation editor, without the editor: where a
// click finds them, what undo and redo give back, how they render.
#include "magnifier/editor/drawing.h"
#include "pixeldiff.h"

#include <QPainter>
#include <QTest>

#include <cmath>

using drawing::Drawing;
using drawing::Kind;
using drawing::Shape;

Q_DECLARE_METATYPE(Kind)

namespace {

Shape shape(Kind kind, std::vector<QPointF> points, qreal width = 2, QColor colour = Qt::red) {
    Shape s;
    s.kind = kind;
    s.points = std::move(points);
    s.width = width;
    s.colour = colour;
    return s;
}

QImage white(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The centre of everything not white, weighted by how far from white.
QPointF inkCentre(const QImage& image) {
    double sx = 0, sy = 0, sw = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const double w = 765 - qRed(c) - qGreen(c) - qBlue(c);
            sx += w * (x + 0.5);
            sy += w * (y + 0.5);
            sw += w;
        }
    return sw > 0 ? QPointF(sx / sw, sy / sw) : QPointF(-1, -1);
}

// Dark pixels, half covered or more, within `radius` of `centre`.
int inkWithin(const QImage& image, QPointF centre, qreal radius) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128 &&
                QLineF(centre, QPointF(x + 0.5, y + 0.5)).length() <= radius)
                ++n;
    return n;
}

} // namespace

class TstDrawing : public QObject {
    Q_OBJECT
  private slots:
    void aClickPicksTheTopmostShapeWithinAFewScreenPixels_data();
    void aClickPicksTheTopmostShapeWithinAFewScreenPixels();
    void undoAndRedoWalkEveryKindOfStep();
    void theArrowHeadIsWhereTheDragEnded_data();
    void theArrowHeadIsWhereTheDragEnded();
    void twiceTheScalePutsEachShapeOnTheSamePicturePoints_data();
    void twiceTheScalePutsEachShapeOnTheSamePicturePoints();
    void theHighlighterTintsLightPixelsAndKeepsDarkOnesDark();
    void stepNumbersFollowWhatIsOnThePicture();
    void aPixelatedBoxShowsEachBlocksAverage_data();
    void aPixelatedBoxShowsEachBlocksAverage();
    void textGrowsWithTheWidthAndItsLines_data();
    void textGrowsWithTheWidthAndItsLines();
    void aCornerDragStretchesTheFrameAndUndoesAsOneStep_data();
    void aCornerDragStretchesTheFrameAndUndoesAsOneStep();
    void aCopyDrawnInBandsIsTheSingleDrawing();
};

void TstDrawing::aClickPicksTheTopmostShapeWithinAFewScreenPixels_data() {
    QTest::addColumn<QPointF>("at"); // picture pixels
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<int>("expected"); // index, -1 for none
    // 0 pen, 1 box, 2 ellipse, 3 line, 4 arrow, 5 box over the first box
    QTest::newRow("pen's second segment") << QPointF(51, 30) << 1.0 << 0;
    QTest::newRow("inside a box is no hit") << QPointF(125, 125) << 1.0 << -1;
    QTest::newRow("box edge, 5 away at 1x") << QPointF(125, 105) << 1.0 << 1;
    QTest::newRow("box edge, 8 away at 1x") << QPointF(125, 108) << 1.0 << -1;
    QTest::newRow("box edge, 5 away at 4x") << QPointF(125, 105) << 4.0 << -1;
    QTest::newRow("box edge, 2.5 away at 4x") << QPointF(125, 102.5) << 4.0 << 1;
    QTest::newRow("crossing edges: the later box") << QPointF(140, 100) << 1.0 << 5;
    QTest::newRow("ellipse's leftmost point") << QPointF(31, 130) << 1.0 << 2;
    QTest::newRow("ellipse's centre") << QPointF(60, 130) << 1.0 << -1;
    QTest::newRow("line") << QPointF(100, 202) << 2.0 << 3;
    QTest::newRow("arrow head's barb") << QPointF(190, 27) << 1.0 << 4;
    QTest::newRow("beside the arrow's shaft") << QPointF(140, 27) << 1.0 << -1;
}

void TstDrawing::aClickPicksTheTopmostShapeWithinAFewScreenPixels() {
    QFETCH(QPointF, at);
    QFETCH(qreal, zoom);
    QFETCH(int, expected);
    Drawing d;
    d.add(shape(Kind::Pen, {{10, 10}, {50, 10}, {50, 50}}));
    d.add(shape(Kind::Box, {{100, 100}, {160, 140}}, 4));
    d.add(shape(Kind::Ellipse, {{30, 100}, {90, 160}}));
    d.add(shape(Kind::Line, {{0, 200}, {200, 200}}));
    d.add(shape(Kind::Arrow, {{120, 20}, {200, 20}}));
    d.add(shape(Kind::Box, {{140, 90}, {180, 150}}));
    const QTransform toScreen = QTransform::fromTranslate(17, -9).scale(zoom, zoom);
    const auto hit = d.hitTestOnScreen(toScreen.map(at), toScreen);
    QCOMPARE(hit ? int(*hit) : -1, expected);
}

// Each state the history passes through comes back, by undo in reverse and
// by redo in order; a new step after an undo leaves nothing to redo.
void TstDrawing::undoAndRedoWalkEveryKindOfStep() {
    Drawing d;
    const QImage base = white(120, 90);
    QList<QImage> states{d.flattened(base)};
    auto step = [&](auto edit) {
        edit();
        states << d.flattened(base);
        QVERIFY(states.last() != states[states.size() - 2]);
    };
    step([&] { d.add(shape(Kind::Pen, {{10, 10}, {30, 12}, {40, 40}}, 3)); });
    step([&] { d.add(shape(Kind::Highlighter, {{5, 60}, {100, 60}}, 12, Qt::yellow)); });
    step([&] { d.add(shape(Kind::Box, {{50, 20}, {90, 50}}, 2, Qt::blue)); });
    step([&] { d.recolour(2, Qt::green); });
    step([&] { d.move(0, {30, 20}); });
    step([&] { d.add(shape(Kind::Arrow, {{100, 80}, {60, 70}})); });
    step([&] { d.remove(1); });
    step([&] { d.clear(); });
    QVERIFY(d.isEmpty());

    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        QVERIFY(d.undo());
        QVERIFY2(d.flattened(base) == states[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!d.undo());
    for (qsizetype i = 1; i < states.size(); ++i) {
        QVERIFY(d.redo());
        QVERIFY2(d.flattened(base) == states[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!d.redo());

    d.undo();
    d.undo();
    d.add(shape(Kind::Ellipse, {{10, 10}, {50, 40}}));
    QVERIFY(!d.canRedo());

    // A hundred strokes can all be taken back.
    Drawing many;
    for (int i = 0; i < 100; ++i)
        many.add(shape(Kind::Line, {{0, qreal(i)}, {10, qreal(i)}}));
    for (int i = 0; i < 100; ++i)
        QVERIFY(many.undo());
    QVERIFY(many.isEmpty());
}

void TstDrawing::theArrowHeadIsWhereTheDragEnded_data() {
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("to the right") << QPointF(20, 100) << QPointF(180, 100);
    QTest::newRow("to the left") << QPointF(180, 100) << QPointF(20, 100);
    QTest::newRow("upwards") << QPointF(100, 180) << QPointF(100, 20);
    QTest::newRow("down and left") << QPointF(170, 30) << QPointF(40, 160);
}

void TstDrawing::theArrowHeadIsWhereTheDragEnded() {
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    Drawing d;
    d.add(shape(Kind::Arrow, {from, to}, 2, Qt::black));
    const QImage image = d.flattened(white(200, 200));
    // The head is a wide triangle, the tail only the shaft's width.
    const QPointF along = (to - from) / QLineF(from, to).length();
    const int atHead = inkWithin(image, to - along * 8, 8);
    const int atTail = inkWithin(image, from + along * 8, 8);
    QVERIFY2(atHead > 3 * atTail, qPrintable(QStringLiteral("%1 %2").arg(atHead).arg(atTail)));
    // and its tip reaches the end of the drag.
    const QPoint nearTip = (to - along * 2).toPoint();
    QVERIFY(qRed(image.pixel(nearTip)) < 128);
}

void TstDrawing::twiceTheScalePutsEachShapeOnTheSamePicturePoints_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<std::vector<QPointF>>("points");
    QTest::newRow("pen") << Kind::Pen << std::vector<QPointF>{{20, 30}, {60, 35}, {90, 80}};
    QTest::newRow("highlighter") << Kind::Highlighter << std::vector<QPointF>{{30, 40}, {110, 40}};
    QTest::newRow("line") << Kind::Line << std::vector<QPointF>{{15, 85}, {100, 20}};
    QTest::newRow("arrow") << Kind::Arrow << std::vector<QPointF>{{15, 85}, {100, 20}};
    QTest::newRow("box") << Kind::Box << std::vector<QPointF>{{70, 50}, {20, 10}};
    QTest::newRow("ellipse") << Kind::Ellipse << std::vector<QPointF>{{40, 20}, {110, 70}};
    QTest::newRow("dot") << Kind::Pen << std::vector<QPointF>{{33, 44}};
    QTest::newRow("step number") << Kind::Number << std::vector<QPointF>{{47, 38}};
    QTest::newRow("text") << Kind::Text << std::vector<QPointF>{{20, 25}};
}

void TstDrawing::twiceTheScalePutsEachShapeOnTheSamePicturePoints() {
    QFETCH(Kind, kind);
    QFETCH(std::vector<QPointF>, points);
    Drawing d;
    Shape s = shape(kind, points, 5, Qt::darkBlue);
    s.text = QStringLiteral("Tag\n字");
    d.add(s);
    const QImage once = d.flattened(white(120, 90));
    QImage twice = white(240, 180);
    QPainter p(&twice);
    d.render(p, QTransform::fromScale(2, 2));
    p.end();

    const QPointF a = inkCentre(once);
    const QPointF b = inkCentre(twice) / 2;
    QVERIFY(a.x() > 0);
    QVERIFY2(QLineF(a, b).length() < 0.5, qPrintable(QStringLiteral("1x (%1, %2), 2x (%3, %4)")
                                                         .arg(a.x())
                                                         .arg(a.y())
                                                         .arg(b.x())
                                                         .arg(b.y())));
    // and where the shape says it is.
    QVERIFY(d.shapes().front().bounds().contains(a));
}

// Text under the marker stays readable: black stays black, white takes the
// marker's colour.
void TstDrawing::theHighlighterTintsLightPixelsAndKeepsDarkOnesDark() {
    QImage page = white(60, 20);
    for (int x = 0; x < 60; x += 2)
        page.setPixel(x, 10, qRgb(0, 0, 0));
    Drawing d;
    d.add(shape(Kind::Highlighter, {{0, 10}, {60, 10}}, 12, QColor(255, 240, 0)));
    const QImage marked = d.flattened(page);
    QCOMPARE(marked.pixel(20, 10), qRgb(0, 0, 0));
    QCOMPARE(marked.pixel(21, 10), qRgb(255, 240, 0));
    QCOMPARE(marked.pixel(21, 1), qRgb(255, 255, 255));
}

void TstDrawing::stepNumbersFollowWhatIsOnThePicture() {
    Drawing d;
    QCOMPARE(d.nextNumber(), 1);
    const auto place = [&](QPointF at, QColor colour) {
        Shape s = shape(Kind::Number, {at}, 4, colour);
        s.number = d.nextNumber();
        d.add(s);
    };
    place({20, 20}, Qt::black);
    d.add(shape(Kind::Pen, {{0, 0}, {9, 9}}));
    place({60, 20}, Qt::black);
    place({100, 20}, QColor(255, 230, 0));
    QCOMPARE(d.nextNumber(), 4);
    QVERIFY(d.undo());
    QCOMPARE(d.nextNumber(), 3);
    QVERIFY(d.redo());
    QCOMPARE(d.nextNumber(), 4);
    // The highest on the picture decides, not how many there are.
    d.remove(0);
    QCOMPARE(d.nextNumber(), 4);
    d.remove(d.shapes().size() - 1);
    QCOMPARE(d.nextNumber(), 3);
    d.clear();
    QCOMPARE(d.nextNumber(), 1);
    QVERIFY(d.undo());
    QCOMPARE(d.nextNumber(), 3);

    // A filled circle, hit anywhere on it, the number in a colour that reads
    // on it.
    Drawing one;
    Shape s = shape(Kind::Number, {{50, 50}}, 10, QColor(0, 70, 230));
    s.number = 7;
    one.add(s);
    const qreal r = drawing::numberRadius(10);
    QCOMPARE(one.hitTest({50, 50}, 0), std::optional<std::size_t>(0));
    QCOMPARE(one.hitTest({50 + r - 1, 50}, 0), std::optional<std::size_t>(0));
    QVERIFY(!one.hitTest({50 + r + 3, 50}, 1));
    const QImage image = one.flattened(white(100, 100));
    QCOMPARE(image.pixel(50, int(50 + r - 2)), qRgb(0, 70, 230));
    int light = 0;
    for (int y = 50 - int(r); y < 50 + r; ++y)
        for (int x = 50 - int(r); x < 50 + r; ++x)
            if (QLineF(QPointF(x + 0.5, y + 0.5), {50, 50}).length() < r - 2 &&
                qGray(image.pixel(x, y)) > 200)
                ++light;
    QVERIFY2(light > 20, qPrintable(QString::number(light)));
    QCOMPARE(drawing::contrasting(QColor(255, 230, 0)), QColor(Qt::black));
    QCOMPARE(drawing::contrasting(QColor(230, 0, 0)), QColor(Qt::white));
}

// Red 4x, green 4y, blue 100 and 200 by turns: a block's average is known
// by hand, and every block here has as many of each blue.
void TstDrawing::aPixelatedBoxShowsEachBlocksAverage_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("expected");
    // The box (10, 20)-(50, 45): columns of 12, 12, 12 and 4 pixels, rows of
    // 12, 12 and 1.
    QTest::newRow("first block, its first pixel") << QPoint(10, 20) << qRgb(62, 102, 150);
    QTest::newRow("first block, its last pixel") << QPoint(21, 31) << qRgb(62, 102, 150);
    QTest::newRow("second column") << QPoint(22, 25) << qRgb(110, 102, 150);
    QTest::newRow("last column, 4 wide") << QPoint(49, 30) << qRgb(190, 102, 150);
    QTest::newRow("last row, 1 tall") << QPoint(12, 44) << qRgb(62, 176, 150);
    QTest::newRow("corner, 4 by 1") << QPoint(47, 44) << qRgb(190, 176, 150);
    QTest::newRow("right of the box") << QPoint(50, 30) << qRgb(200, 120, 100);
    QTest::newRow("above the box") << QPoint(15, 19) << qRgb(60, 76, 100);
    QTest::newRow("below the box") << QPoint(15, 45) << qRgb(60, 180, 100);
}

void TstDrawing::aPixelatedBoxShowsEachBlocksAverage() {
    QFETCH(QPoint, at);
    QFETCH(QRgb, expected);
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(4 * x, 4 * y, (x + y) % 2 ? 200 : 100));
    // Dragged from the bottom right, off whole pixels.
    Shape s = shape(Kind::Pixelate, {{50.3, 44.8}, {9.7, 20.2}});
    drawing::pixelate(s, picture);
    QCOMPARE(s.blocks.size(), QSize(4, 3));
    Drawing d;
    d.add(s);
    QCOMPARE(d.flattened(picture).pixel(at), expected);
    // Taken once: the picture changing later leaves the blocks as they are.
    picture.fill(Qt::white);
    QCOMPARE(d.flattened(picture).pixel(at) == expected, QRect(10, 20, 40, 25).contains(at));
    // A box reaching off the picture keeps to it; one with no pixels there
    // has no blocks.
    Shape off = shape(Kind::Pixelate, {{40, 40}, {90, 90}});
    drawing::pixelate(off, picture);
    QCOMPARE(off.blocks.size(), QSize(2, 1));
    QCOMPARE(off.points.back(), QPointF(64, 48));
    Shape outside = shape(Kind::Pixelate, {{70, 10}, {90, 30}});
    drawing::pixelate(outside, picture);
    QVERIFY(outside.blocks.isNull());
}

void TstDrawing::textGrowsWithTheWidthAndItsLines_data() {
    QTest::addColumn<qreal>("width");
    QTest::addColumn<qreal>("pixelSize");
    QTest::newRow("thinnest") << 1.0 << 15.0;
    QTest::newRow("the first width") << 4.0 << 24.0;
    QTest::newRow("widest") << 40.0 << 132.0;
    QTest::newRow("beyond: as the widest") << 90.0 << 132.0;
}

// Letters as high as the width says; each line one line's spacing lower;
// a click anywhere on the text's box picks it.
void TstDrawing::textGrowsWithTheWidthAndItsLines() {
    QFETCH(qreal, width);
    QFETCH(qreal, pixelSize);
    QCOMPARE(drawing::textPixelSize(width), pixelSize);
    QCOMPARE(drawing::textFont(width).pixelSize(), int(pixelSize));
    Shape one = shape(Kind::Text, {{30, 40}}, width, Qt::black);
    one.text = QStringLiteral("Hi");
    Shape three = one;
    three.text = QStringLiteral("Hi\n\nHi there");
    const QRectF a = one.path().boundingRect();
    const QRectF b = three.path().boundingRect();
    QCOMPARE(a.topLeft(), QPointF(30, 40));
    QVERIFY2(a.height() >= pixelSize && a.height() < 1.5 * pixelSize,
             qPrintable(QString::number(a.height())));
    QCOMPARE(b.height(), 3 * a.height());
    QVERIFY(b.width() > a.width());
    Drawing d;
    d.add(three);
    QCOMPARE(d.hitTest(b.center(), 0), std::optional<std::size_t>(0));
    QVERIFY(!d.hitTest(b.bottomRight() + QPointF(3, 3), 1));
    const QImage image = d.flattened(white(int(b.right()) + 40, int(b.bottom()) + 40));
    QCOMPARE(inkWithin(image, b.center(), b.width() + b.height()),
             inkWithin(image, QPointF(image.width(), image.height()) / 2, 4 * image.width()));
    QVERIFY(inkWithin(image, b.center(), b.width() + b.height()) > 0);
}

using Points = std::vector<QPointF>;

void TstDrawing::aCornerDragStretchesTheFrameAndUndoesAsOneStep_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Points>("points");
    QTest::addColumn<QRectF>("to"); // top-left and bottom-right, as dragged
    QTest::addColumn<Points>("expected");
    QTest::newRow("box, bottom-right out")
        << Kind::Box << Points{{10, 10}, {30, 20}} << QRectF(QPointF(10, 10), QPointF(50, 40))
        << Points{{10, 10}, {50, 40}};
    QTest::newRow("ellipse, top-left in")
        << Kind::Ellipse << Points{{10, 10}, {50, 30}} << QRectF(QPointF(30, 20), QPointF(50, 30))
        << Points{{30, 20}, {50, 30}};
    QTest::newRow("arrow dragged from its end, mirrored")
        << Kind::Arrow << Points{{60, 40}, {20, 10}} << QRectF(QPointF(20, 10), QPointF(0, 30))
        << Points{{0, 30}, {20, 10}};
    QTest::newRow("pen, every point scaled")
        << Kind::Pen << Points{{0, 0}, {10, 5}, {20, 10}}
        << QRectF(QPointF(100, 50), QPointF(140, 60)) << Points{{100, 50}, {120, 55}, {140, 60}};
    QTest::newRow("level line keeps its height, moves with the frame")
        << Kind::Line << Points{{10, 20}, {40, 20}} << QRectF(QPointF(10, 25), QPointF(70, 35))
        << Points{{10, 25}, {70, 25}};
    QTest::newRow("pixelated box")
        << Kind::Pixelate << Points{{0, 0}, {24, 12}} << QRectF(QPointF(0, 0), QPointF(36, 24))
        << Points{{0, 0}, {36, 24}};
    QTest::newRow("step number only moves")
        << Kind::Number << Points{{30, 30}} << QRectF(QPointF(40, 35), QPointF(90, 90))
        << Points{{40, 35}};
}

void TstDrawing::aCornerDragStretchesTheFrameAndUndoesAsOneStep() {
    QFETCH(Kind, kind);
    QFETCH(Points, points);
    QFETCH(QRectF, to);
    QFETCH(Points, expected);
    QImage picture(80, 60, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(3 * x, 4 * y, 90));
    Shape s = shape(kind, points, 3, Qt::blue);
    s.number = 1;
    if (kind == Kind::Pixelate) drawing::pixelate(s, picture);
    Drawing d;
    d.add(s);
    d.add(shape(Kind::Pen, {{70, 5}, {75, 8}}));
    const QImage before = d.flattened(picture);
    d.resize(0, to, picture);
    QCOMPARE(d.shapes()[0].points, expected);
    QCOMPARE(d.shapes()[0].colour, QColor(Qt::blue));
    QCOMPARE(d.shapes()[1].points, (Points{{70, 5}, {75, 8}}));
    // Blocks taken anew for the new box: one per twelve pixels, each the
    // average of the picture below it.
    if (kind == Kind::Pixelate) {
        QCOMPARE(d.shapes()[0].blocks.size(), QSize(3, 2));
        QCOMPARE(d.flattened(picture).pixel(30, 20), d.shapes()[0].blocks.pixel(2, 1));
    }
    const QImage after = d.flattened(picture);
    QVERIFY(after != before);

    QVERIFY(d.undo());
    QCOMPARE(d.shapes()[0].points, points);
    QVERIFY(d.flattened(picture) == before);
    QCOMPARE(d.shapes().size(), std::size_t(2));
    QVERIFY(d.redo());
    QVERIFY(d.flattened(picture) == after);
    // Stretching onto the frame it has is no step.
    d.resize(0,
             d.shapes()[0].frame().isNull() ? QRectF(d.shapes()[0].points.front(), QSizeF())
                                            : d.shapes()[0].frame(),
             picture);
    QVERIFY(d.undo());
    QCOMPARE(d.shapes()[0].points, points);
}

// A copy is drawn in bands of rows side by side: every kind, each crossing
// band edges between pixels, comes out as one pass draws it, within 4
// levels of each channel.
void TstDrawing::aCopyDrawnInBandsIsTheSingleDrawing() {
    QImage picture(150, 97, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x, 2 * y, (x * y) % 256));
    Drawing d;
    d.add(shape(Kind::Pen, {{3.3, 2.7}, {40.6, 60.2}, {70.1, 10.9}, {140.4, 90.5}}, 5));
    d.add(shape(Kind::Highlighter, {{0, 33.4}, {150, 64.6}}, 11, QColor(255, 240, 0)));
    d.add(shape(Kind::Line, {{10.5, 95.5}, {120.2, 1.1}}, 3, Qt::blue));
    d.add(shape(Kind::Arrow, {{140, 5}, {20.7, 70.3}}, 4, Qt::green));
    d.add(shape(Kind::Box, {{30.2, 20.8}, {90.6, 80.4}}, 2, Qt::black));
    d.add(shape(Kind::Ellipse, {{5, 40.5}, {145, 75.5}}, 3));
    Shape number = shape(Kind::Number, {{75.5, 48.5}}, 6, Qt::magenta);
    number.number = 7;
    d.add(number);
    Shape text = shape(Kind::Text, {{8.4, 45.6}}, 3, Qt::darkRed);
    text.text = QStringLiteral("Ab\n中文");
    d.add(text);
    Shape blocks = shape(Kind::Pixelate, {{100.5, 25.3}, {140.2, 70.8}});
    drawing::pixelate(blocks, picture);
    d.add(blocks);
    const QImage once = d.flattened(picture, 1);
    QVERIFY(once != picture);
    // The rasteriser places an edge to 1/64 of a pixel, counted from the
    // band's top: an antialiased edge pixel may differ by a few levels.
    for (int bands : {2, 3, 7}) {
        const int worst = largestDifference(d.flattened(picture, bands), once);
        QVERIFY2(worst <= 4, qPrintable(QStringLiteral("%1 bands: %2").arg(bands).arg(worst)));
    }
}

QTEST_MAIN(TstDrawing)
#include "tst_drawing.moc"
