#include "magnifier/editor/drawing.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPathStroker>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <utility>

namespace drawing {

qreal clampWidth(qreal width) {
    return std::clamp(width, MinWidth, MaxWidth);
}

qreal numberRadius(qreal width) {
    return 4 + 2 * clampWidth(width);
}

qreal textPixelSize(qreal width) {
    return 12 + 3 * clampWidth(width);
}

QFont textFont(qreal width) {
    QFont font;
    font.setPixelSize(qRound(textPixelSize(width)));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QColor contrasting(const QColor& colour) {
    return qGray(colour.rgb()) >= 150 ? QColor(Qt::black) : QColor(Qt::white);
}

namespace {

// A click without a drag: all points in one place, drawn as a round dot.
bool isDot(const Shape& s) {
    if (s.kind == Kind::Number || s.kind == Kind::Pixelate || s.kind == Kind::Text) return false;
    return s.points.empty() || std::all_of(s.points.begin(), s.points.end(),
                                           [&](const QPointF& p) { return p == s.points.front(); });
}

// The head grows with the width so that a thick arrow still shows one.
qreal headLength(const Shape& s) {
    return 10 + 3 * s.width;
}

// Where the arrow's shaft ends: the base of its head, or the start when the
// arrow is shorter than its head.
QPointF shaftEnd(const Shape& s) {
    const QLineF line(s.points.front(), s.points.back());
    if (line.length() <= headLength(s)) return line.p1();
    return line.pointAt(1 - headLength(s) / line.length());
}

QPen strokePen(const Shape& s) {
    QPen pen(s.colour, s.width);
    pen.setJoinStyle(Qt::RoundJoin);
    // A straight highlighter stroke ends square like a marker's tip; the
    // free-hand ones round.
    const bool straightMarker = s.kind == Kind::Highlighter && s.points.size() == 2;
    pen.setCapStyle(straightMarker ? Qt::FlatCap : Qt::RoundCap);
    if (s.kind == Kind::Box) pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

QPainterPath Shape::path() const {
    QPainterPath path;
    if (points.empty()) return path;
    const QPointF a = points.front();
    const QPointF b = points.back();
    switch (kind) {
    case Kind::Pen:
    case Kind::Highlighter:
        path.moveTo(a);
        for (std::size_t i = 1; i < points.size(); ++i)
            path.lineTo(points[i]);
        break;
    case Kind::Line:
        path.moveTo(a);
        path.lineTo(b);
        break;
    case Kind::Arrow:
        path.moveTo(a);
        path.lineTo(shaftEnd(*this));
        break;
    case Kind::Box:
        path.addRect(QRectF(a, b).normalized());
        break;
    case Kind::Ellipse:
        path.addEllipse(QRectF(a, b).normalized());
        break;
    case Kind::Number:
        path.addEllipse(a, numberRadius(width), numberRadius(width));
        break;
    case Kind::Pixelate:
        path.addRect(QRectF(a, b).normalized());
        break;
    case Kind::Text: {
        // The box the lines fill: as wide as the widest, a line's spacing
        // for each.
        const QFontMetricsF metrics(textFont(width));
        const QStringList lines = text.split(QLatin1Char('\n'));
        qreal widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        path.addRect(QRectF(a, QSizeF(widest, metrics.lineSpacing() * lines.size())));
        break;
    }
    }
    return path;
}

QPolygonF Shape::arrowHead() const {
    if (kind != Kind::Arrow || points.size() < 2) return {};
    const QLineF line(points.front(), points.back());
    if (line.length() == 0) return {};
    const QPointF tip = line.p2();
    const QPointF along = (line.p2() - line.p1()) / line.length();
    const QPointF across(-along.y(), along.x());
    const qreal len = std::min(headLength(*this), line.length());
    const QPointF base = tip - along * len;
    const qreal half = headLength(*this) * 0.45;
    return QPolygonF({tip, base + across * half, base - across * half, tip});
}

QRectF Shape::bounds() const {
    if (points.empty()) return {};
    if (kind == Kind::Number || kind == Kind::Pixelate)
        return path().boundingRect().adjusted(-2, -2, 2, 2);
    // Italics and accents reach a little beyond the advance and the line.
    if (kind == Kind::Text) {
        const qreal m = textPixelSize(width) / 4 + 2;
        return path().boundingRect().adjusted(-m, -m, m, m);
    }
    const qreal m = width / 2 + 1;
    QRectF r = isDot(*this) ? QRectF(points.front(), QSizeF(0, 0)) : path().boundingRect();
    r = r.adjusted(-m, -m, m, m);
    if (kind == Kind::Arrow) r |= arrowHead().boundingRect().adjusted(-1, -1, 1, 1);
    return r;
}

bool Shape::touches(QPointF p, qreal tolerance) const {
    if (points.empty()) return false;
    // A filled shape is hit anywhere on it.
    if (kind == Kind::Number)
        return QLineF(p, points.front()).length() <= numberRadius(width) + tolerance;
    if (kind == Kind::Pixelate || kind == Kind::Text)
        return path()
            .boundingRect()
            .adjusted(-tolerance, -tolerance, tolerance, tolerance)
            .contains(p);
    if (isDot(*this)) return QLineF(p, points.front()).length() <= width / 2 + tolerance;
    if (kind == Kind::Arrow) {
        const QPolygonF head = arrowHead();
        if (head.containsPoint(p, Qt::OddEvenFill)) return true;
        for (int i = 0; i + 1 < head.size(); ++i) {
            const QLineF side(head[i], head[i + 1]);
            // Distance to a side: its projection clamped to the side.
            const QPointF d = side.p2() - side.p1();
            const qreal len2 = QPointF::dotProduct(d, d);
            const qreal t =
                len2 > 0 ? std::clamp(QPointF::dotProduct(p - side.p1(), d) / len2, 0.0, 1.0) : 0;
            if (QLineF(p, side.p1() + d * t).length() <= tolerance) return true;
        }
    }
    QPainterPathStroker stroker;
    stroker.setWidth(width + 2 * tolerance);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path()).contains(p);
}

namespace {

void renderNumber(QPainter& painter, const Shape& s) {
    const qreal r = numberRadius(s.width);
    painter.setPen(Qt::NoPen);
    painter.setBrush(s.colour);
    painter.drawEllipse(s.points.front(), r, r);
    const QString digits = QString::number(s.number);
    QFont font = painter.font();
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Longer numbers take smaller digits so that they stay in the circle.
    font.setPixelSize(qMax(1, qRound(r * (digits.size() == 1   ? 1.3
                                          : digits.size() == 2 ? 1.05
                                                               : 0.8))));
    painter.setFont(font);
    painter.setPen(contrasting(s.colour));
    painter.drawText(QRectF(s.points.front() - QPointF(r, r), QSizeF(2 * r, 2 * r)),
                     Qt::AlignCenter, digits);
}

// While the box is dragged only its outline shows: the blocks are taken
// once, from the picture beneath, when it is let go.
void renderPixelated(QPainter& painter, const Shape& s) {
    const QRectF box = s.path().boundingRect();
    if (s.blocks.isNull()) {
        QPen outline(Qt::black, 1, Qt::DashLine);
        outline.setCosmetic(true);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        return;
    }
    // One block pixel to a block, not smoothed: the blocks keep their
    // edges at every scale, and the last ones are cut where the box ends.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(box, Qt::IntersectClip);
    painter.drawImage(QRectF(box.topLeft(), QSizeF(s.blocks.size() * PixelBlock)), s.blocks);
}

void renderText(QPainter& painter, const Shape& s) {
    const QFont font = textFont(s.width);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(s.colour);
    const QStringList lines = s.text.split(QLatin1Char('\n'));
    QPointF baseline = s.points.front() + QPointF(0, metrics.ascent());
    for (const QString& line : lines) {
        painter.drawText(baseline, line);
        baseline.ry() += metrics.lineSpacing();
    }
}

} // namespace

void pixelate(Shape& shape, const QImage& picture) {
    shape.blocks = QImage();
    if (shape.points.empty()) return;
    const QRectF spanned = QRectF(shape.points.front(), shape.points.back()).normalized();
    const QRect box = QRect(QPoint(qRound(spanned.left()), qRound(spanned.top())),
                            QPoint(qRound(spanned.right()) - 1, qRound(spanned.bottom()) - 1)) &
                      picture.rect();
    shape.points = {QPointF(box.topLeft()),
                    QPointF(box.topLeft() + QPoint(box.width(), box.height()))};
    if (box.isEmpty()) return;
    const QImage pixels = picture.copy(box).convertToFormat(QImage::Format_RGB32);
    const int cols = (box.width() + PixelBlock - 1) / PixelBlock;
    const int rows = (box.height() + PixelBlock - 1) / PixelBlock;
    QImage blocks(cols, rows, QImage::Format_RGB32);
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < cols; ++bx) {
            const int x0 = bx * PixelBlock, x1 = std::min(x0 + PixelBlock, box.width());
            const int y0 = by * PixelBlock, y1 = std::min(y0 + PixelBlock, box.height());
            quint64 r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
                for (int x = x0; x < x1; ++x) {
                    r += qRed(line[x]);
                    g += qGreen(line[x]);
                    b += qBlue(line[x]);
                }
            }
            const quint64 n = quint64(x1 - x0) * quint64(y1 - y0);
            // Rounded to the nearest, halves up.
            blocks.setPixel(bx, by,
                            qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n)));
        }
    shape.blocks = std::move(blocks);
}

void renderShape(QPainter& painter, const Shape& s) {
    if (s.points.empty()) return;
    painter.save();
    if (s.kind == Kind::Number || s.kind == Kind::Pixelate || s.kind == Kind::Text) {
        if (s.kind == Kind::Number)
            renderNumber(painter, s);
        else if (s.kind == Kind::Pixelate)
            renderPixelated(painter, s);
        else
            renderText(painter, s);
        painter.restore();
        return;
    }
    // Multiply keeps dark text under a light marker dark: the marker only
    // tints what it covers, and never lightens it.
    if (s.kind == Kind::Highlighter) painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    if (isDot(s)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(s.colour);
        painter.drawEllipse(s.points.front(), s.width / 2, s.width / 2);
    } else {
        painter.setPen(strokePen(s));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(s.path());
        if (s.kind == Kind::Arrow) {
            QPen edge(s.colour, 1);
            edge.setJoinStyle(Qt::MiterJoin);
            painter.setPen(edge);
            painter.setBrush(s.colour);
            painter.drawPolygon(s.arrowHead());
        }
    }
    painter.restore();
}

void Drawing::record(Step step) {
    m_redo.clear();
    m_undo.push_back(std::move(step));
    if (m_undo.size() > HistoryDepth) m_undo.pop_front();
}

void Drawing::add(Shape shape) {
    shape.width = clampWidth(shape.width);
    Step step{Step::Op::Add, m_shapes.size(), {std::move(shape)}, {}, {}, {}};
    apply(step, true);
    record(std::move(step));
}

bool Drawing::remove(std::size_t index) {
    if (index >= m_shapes.size()) return false;
    Step step{Step::Op::Remove, index, {m_shapes[index]}, {}, {}, {}};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool Drawing::move(std::size_t index, QPointF by) {
    if (index >= m_shapes.size() || by.isNull()) return false;
    Step step{Step::Op::Move, index, {}, by, {}, {}};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool Drawing::recolour(std::size_t index, const QColor& colour) {
    if (index >= m_shapes.size() || m_shapes[index].colour == colour) return false;
    Step step{Step::Op::Recolour, index, {}, {}, m_shapes[index].colour, colour};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool Drawing::resize(std::size_t index, const QRectF& to, const QImage& picture) {
    if (index >= m_shapes.size()) return false;
    Shape after = resized(m_shapes[index], to, picture);
    if (after.points == m_shapes[index].points) return false;
    Step step{Step::Op::Resize, index, {m_shapes[index], std::move(after)}, {}, {}, {}};
    apply(step, true);
    record(std::move(step));
    return true;
}

bool Drawing::clear() {
    if (m_shapes.empty()) return false;
    Step step{Step::Op::Clear, 0, m_shapes, {}, {}, {}};
    apply(step, true);
    record(std::move(step));
    return true;
}

int Drawing::nextNumber() const {
    int highest = 0;
    for (const Shape& s : m_shapes)
        if (s.kind == Kind::Number) highest = std::max(highest, s.number);
    return highest + 1;
}

quint64 Drawing::nextRevision() {
    static std::atomic<quint64> last{0};
    return ++last;
}

void Drawing::apply(const Step& step, bool forward) {
    m_revision = nextRevision();
    const auto at = m_shapes.begin() + std::ptrdiff_t(step.index);
    switch (step.op) {
    case Step::Op::Add:
    case Step::Op::Remove:
        // Adding forward is removing backward, and the other way round.
        if (forward == (step.op == Step::Op::Add))
            m_shapes.insert(at, step.shapes.front());
        else
            m_shapes.erase(at);
        break;
    case Step::Op::Move:
        for (QPointF& p : at->points)
            p += forward ? step.by : -step.by;
        break;
    case Step::Op::Recolour:
        at->colour = forward ? step.after : step.before;
        break;
    case Step::Op::Resize:
        *at = step.shapes[forward ? 1 : 0];
        break;
    case Step::Op::Clear:
        if (forward)
            m_shapes.clear();
        else
            m_shapes = step.shapes;
        break;
    }
}

bool Drawing::undo() {
    if (m_undo.empty()) return false;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    apply(step, false);
    m_redo.push_back(std::move(step));
    return true;
}

bool Drawing::redo() {
    if (m_redo.empty()) return false;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    apply(step, true);
    m_undo.push_back(std::move(step));
    return true;
}

std::optional<std::size_t> Drawing::hitTest(QPointF p, qreal tolerance) const {
    for (std::size_t i = m_shapes.size(); i-- > 0;)
        if (m_shapes[i].touches(p, tolerance)) return i;
    return std::nullopt;
}

std::optional<std::size_t> Drawing::hitTestOnScreen(QPointF screenPoint,
                                                    const QTransform& pictureToScreen,
                                                    qreal tolerance) const {
    bool invertible = false;
    const QTransform back = pictureToScreen.inverted(&invertible);
    if (!invertible) return std::nullopt;
    // The transforms here scale alike in both directions (zoom and pan).
    const qreal scale = std::sqrt(std::abs(pictureToScreen.determinant()));
    return hitTest(back.map(screenPoint), tolerance / scale);
}

void render(QPainter& painter, const std::vector<Shape>& shapes, const QTransform& pictureToScreen,
            const QRectF& screenArea) {
    if (shapes.empty()) return;
    // A pen's repaint covers a few pixels: the shapes elsewhere stay as
    // they are on the screen.
    const QRectF area =
        screenArea.isNull() ? QRectF() : pictureToScreen.inverted().mapRect(screenArea);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(pictureToScreen, true);
    for (const Shape& s : shapes)
        if (area.isNull() || s.bounds().intersects(area)) renderShape(painter, s);
    painter.restore();
}

void renderInBands(QImage& image, const std::vector<Shape>& shapes,
                   const QTransform& pictureToImage, int bands) {
    if (image.isNull() || shapes.empty()) return;
    // Antialiasing a thousand wide strokes is most of the time a copy or a
    // frame takes. Each band clips the shapes that cross its edges at whole
    // rows, so the pixels are those of a single pass.
    if (bands <= 0) bands = std::clamp(QThread::idealThreadCount(), 1, 8);
    const int rows = (image.height() + bands - 1) / bands;
    // Taken once here: a QImage's own accessors are not for several threads.
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = image.width();
    const QImage::Format format = image.format();
    const auto drawBand = [&shapes, &pictureToImage, bits, stride, width, format](int top,
                                                                                  int height) {
        QImage band(bits + top * stride, width, height, stride, format);
        QPainter painter(&band);
        render(painter, shapes, pictureToImage * QTransform::fromTranslate(0, -top),
               QRectF(0, 0, width, height));
    };
    std::vector<std::unique_ptr<QThread>> helpers;
    for (int top = rows; top < image.height(); top += rows) {
        helpers.emplace_back(QThread::create(drawBand, top, std::min(rows, image.height() - top)));
        helpers.back()->start();
    }
    drawBand(0, std::min(rows, image.height()));
    for (const auto& helper : helpers)
        helper->wait();
}

void Drawing::render(QPainter& painter, const QTransform& pictureToScreen,
                     const QRectF& screenArea) const {
    drawing::render(painter, m_shapes, pictureToScreen, screenArea);
}

QImage Drawing::flattened(const QImage& picture, int bands) const {
    // Multiply needs colour channels to work on: a plain 32-bit copy.
    QImage out = picture.format() == QImage::Format_RGB32 ||
                         picture.format() == QImage::Format_ARGB32_Premultiplied
                     ? picture.copy()
                     : picture.convertToFormat(QImage::Format_RGB32);
    out.setDevicePixelRatio(1);
    renderInBands(out, m_shapes, QTransform(), bands);
    out.setDevicePixelRatio(picture.devicePixelRatio());
    return out;
}

} // namespace drawing
