// Drawing over the picture: the pens and shapes, their keys and their undo.
#include "magnifier/editor/frmphotoshop.h"

#include "capture/picturefile.h"
#include "magnifier/editor/picturearea.h"
#include "raster/surface.h"
#include "shared/platform/virtualkey.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace {
constexpr int ShiftBit = 1;
constexpr int CtrlBit = 2;
} // namespace

const std::array<std::pair<Qt::Key, QColor>, 8> frmphotoshop::ColourKeys{{
    {Qt::Key_R, QColor(230, 0, 0)},
    {Qt::Key_G, QColor(0, 170, 0)},
    {Qt::Key_B, QColor(0, 70, 230)},
    {Qt::Key_O, QColor(255, 140, 0)},
    {Qt::Key_Y, QColor(255, 230, 0)},
    {Qt::Key_P, QColor(255, 80, 170)},
    {Qt::Key_W, QColor(255, 255, 255)},
    {Qt::Key_K, QColor(0, 0, 0)},
}};

void frmphotoshop::chooseDrawTool(drawing::Kind kind, const QString& key) {
    finishText();
    letGo();
    if (QAction* a = button(key)) a->setChecked(true);
    DrawTool = kind;
    ToolMode = Drawing;
    setPictureCursor(DrawCursor);
}

// The pens take the shape from the keys held at the press, as presenters
// know them; a shape's own tool draws that shape whatever is held.
void frmphotoshop::startStroke(int shift, QPointF at) {
    cancelStroke();
    drawing::Shape s;
    s.kind = DrawTool;
    s.colour = DrawColour;
    s.width = DrawWidth;
    m_straight = true;
    if (DrawTool == drawing::Kind::Pen || DrawTool == drawing::Kind::Highlighter) {
        const bool withShift = shift & ShiftBit;
        const bool withCtrl = shift & CtrlBit;
        if (withCtrl && withShift)
            s.kind = drawing::Kind::Arrow;
        else if (withCtrl)
            s.kind = drawing::Kind::Box;
        else if (m_tabHeld)
            s.kind = drawing::Kind::Ellipse;
        else if (withShift && DrawTool == drawing::Kind::Pen)
            s.kind = drawing::Kind::Line;
        else
            m_straight = withShift; // a highlighter keeps its kind, straight or not
    }
    if (s.kind == drawing::Kind::Highlighter) s.width = drawing::clampWidth(4 * DrawWidth);
    s.points = {QPointF(at)};
    if (m_straight) s.points.push_back(QPointF(at));
    m_stroke = std::move(s);
    drawingChanged(m_stroke->bounds());
}

void frmphotoshop::extendStroke(QPointF at) {
    if (!m_stroke) return;
    if (m_straight) {
        const QRectF before = m_stroke->bounds();
        m_stroke->points.back() = QPointF(at);
        drawingChanged(before | m_stroke->bounds());
    } else if (m_stroke->points.back() != QPointF(at)) {
        // Only the new segment, and its joint, change on the screen.
        const QPointF last = m_stroke->points.back();
        m_stroke->points.push_back(QPointF(at));
        const qreal m = m_stroke->width / 2 + 2;
        drawingChanged(QRectF(last, QPointF(at)).normalized().adjusted(-m, -m, m, m));
    }
}

void frmphotoshop::endStroke() {
    if (!m_stroke) return;
    QRectF area = m_stroke->bounds();
    // The blocks are of the picture as it is now, beneath the drawings.
    if (m_stroke->kind == drawing::Kind::Pixelate) {
        drawing::pixelate(*m_stroke, shownPicture());
        if (m_stroke->blocks.isNull()) {
            cancelStroke();
            return;
        }
        area |= m_stroke->bounds();
    }
    m_drawing.add(std::move(*m_stroke));
    m_stroke.reset();
    m_history.drawn();
    drawingChanged(area);
}

// A number goes on at the press: a click is the whole gesture.
void frmphotoshop::placeNumber(QPointF at) {
    cancelStroke();
    drawing::Shape s;
    s.kind = drawing::Kind::Number;
    s.colour = DrawColour;
    s.width = DrawWidth;
    s.points = {QPointF(at)};
    s.number = m_drawing.nextNumber();
    const QRectF area = s.bounds();
    m_drawing.add(std::move(s));
    m_history.drawn();
    drawingChanged(area);
}

QPoint frmphotoshop::pointer() const {
    if (m_pointer) return *m_pointer;
    // No move seen yet: where the pointer is, kept on the picture.
    const QPoint at = Picture1->toPicture(Picture1->mapFromGlobal(QCursor::pos()));
    return QPoint(std::clamp(at.x(), 0, std::max(0, Picture1->pictureWidth() - 1)),
                  std::clamp(at.y(), 0, std::max(0, Picture1->pictureHeight() - 1)));
}

// The box takes the keys, input methods included, and shows the letters as
// they will stay: same font, colour and place, at the picture's scale.
void frmphotoshop::startText(QPointF at) {
    finishText();
    cancelStroke();
    m_text = drawing::Shape();
    m_text.kind = drawing::Kind::Text;
    m_text.colour = DrawColour;
    m_text.width = DrawWidth;
    m_text.points = {QPointF(at)};

    auto* box = new QPlainTextEdit(Picture1);
    box->setObjectName(QStringLiteral("TextBox"));
    box->setFrameShape(QFrame::NoFrame);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(0);
    box->setAttribute(Qt::WA_InputMethodEnabled);
    box->setFont(textBoxFont());
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, DrawColour);
    box->setPalette(palette);
    box->setAutoFillBackground(false);
    box->viewport()->setAutoFillBackground(false);
    box->installEventFilter(this);
    connect(box, &QPlainTextEdit::textChanged, this, &frmphotoshop::fitTextBox);
    m_textBox = box;
    fitTextBox();
    box->show();
    box->raise();
    box->setFocus(Qt::OtherFocusReason);
}

// As large as the lines, with room for the next letters and an input
// method's composition, so that a click beside the text lands on the
// picture.
void frmphotoshop::fitTextBox() {
    if (!m_textBox) return;
    const QFontMetricsF metrics(m_textBox->font());
    const QStringList lines = m_textBox->toPlainText().split(QLatin1Char('\n'));
    qreal widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QPointF topLeft = Picture1->pictureToWidget().map(QPointF(m_text.points.front()));
    const QSizeF size(widest + 6 * metrics.height(), metrics.lineSpacing() * (lines.size() + 1));
    m_textBox->setGeometry(QRectF(topLeft, size).toAlignedRect() & Picture1->rect());
}

void frmphotoshop::finishText(bool keep) {
    if (!m_textBox) return;
    QPlainTextEdit* box = std::exchange(m_textBox, nullptr);
    const QString text = box->toPlainText();
    // It may be in its own key handler still.
    box->removeEventFilter(this);
    box->hide();
    box->deleteLater();
    setFocus(Qt::OtherFocusReason);
    if (!keep || text.trimmed().isEmpty()) return;
    m_text.text = text;
    const QRectF area = m_text.bounds();
    m_drawing.add(std::move(m_text));
    m_text = drawing::Shape();
    m_history.drawn();
    drawingChanged(area);
}

void frmphotoshop::cancelStroke() {
    if (!m_stroke) return;
    const QRectF area = m_stroke->bounds();
    m_stroke.reset();
    drawingChanged(area);
}

void frmphotoshop::drawingChanged(const QRectF& pictureArea) {
    Picture1->pictureChanged(QRegion(pictureArea.toAlignedRect()));
}

void frmphotoshop::paintDrawings(QPainter& painter, const QRect& area) const {
    const QTransform toWidget = Picture1->pictureToWidget();
    if (!m_held.preview(m_drawing))
        m_frames.paint(painter, area, m_drawing,
                       {Picture1->base(), toWidget, Picture1->pictureRatio(), Picture1->size()});
    paintHeld(painter);
    if (!m_stroke) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toWidget, true);
    drawing::renderShape(painter, *m_stroke);
    painter.restore();
}

QImage frmphotoshop::annotatedPicture() const {
    const QImage shown = shownPicture();
    if (shown.isNull()) return {};
    QImage out = m_drawing.flattened(shown);
    // One pixel of the picture is one pixel wherever it goes.
    out.setDevicePixelRatio(1);
    return out;
}

void frmphotoshop::copyPicture() {
    finishText();
    const QImage picture = annotatedPicture();
    if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

void frmphotoshop::savePicture() {
    finishText();
    const QImage picture = annotatedPicture();
    if (picture.isNull()) return;
    const picturefile::Result saved =
        picturefile::save(picture, PicturesFolder, QDateTime::currentDateTime());
    if (saved.outcome == picturefile::Outcome::Saved)
        showNotice(QCoreApplication::translate("zuz", "已保存：%1")
                       .arg(QDir::toNativeSeparators(saved.path)));
    else
        showNotice(QCoreApplication::translate("zuz", "未能保存到“%1”（%2）")
                       .arg(QDir::toNativeSeparators(saved.path), saved.reason));
}

// Over the picture, where the user looks: the editor covers the desktop's
// own notices.
void frmphotoshop::showNotice(const QString& text) {
    Notice->setText(text);
    Notice->adjustSize();
    Notice->move((width() - Notice->width()) / 2, height() - Notice->height() - 40);
    Notice->show();
    Notice->raise();
    m_noticeTimer->start();
}

bool frmphotoshop::hotkeyPressed() {
    if (isUnloaded() || !isActiveWindow()) return false;
    Undo();
    return true;
}

// The width shows at the pointer while it changes.
void frmphotoshop::changeWidth(int steps) {
    setDrawWidth(DrawWidth + steps);
    QToolTip::showText(QCursor::pos(),
                       QCoreApplication::translate("zuz", "粗细：%1").arg(DrawWidth), this);
}

// Tab would move the focus between toolbar buttons; here it is held to
// draw an ellipse.
bool frmphotoshop::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            if (!k->isAutoRepeat()) m_tabHeld = e->type() == QEvent::KeyPress;
            return true;
        }
    }
    return QWidget::event(e);
}

void frmphotoshop::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                         Qt::AltModifier | Qt::MetaModifier);
    const bool shift = mods & Qt::ShiftModifier;
    if (zoomKey(*e)) return;
    // Letters by the key, not the character it types: under a Cyrillic
    // layout the same keys draw in the same colours.
    const std::uint32_t vk = virtualkey::of(*e);
    const int key = vk >= 'A' && vk <= 'Z' ? int(vk) : e->key();
    // Esc ends what is being drawn and never the editor.
    if (e->key() == Qt::Key_Escape) {
        cancelStroke();
        finishText();
        letGo();
        return;
    }
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        switch (key) {
        case Qt::Key_Z:
            shift ? Redo() : Undo();
            return;
        case Qt::Key_Y:
            Redo();
            return;
        case Qt::Key_C:
            if (!shift) copyPicture();
            return;
        case Qt::Key_S:
            if (!shift) savePicture();
            return;
        case Qt::Key_Up:
            changeWidth(1);
            return;
        case Qt::Key_Down:
            changeWidth(-1);
            return;
        default:
            break;
        }
    }
    if (mods == Qt::NoModifier && selectKey(key)) return;
    if (mods == Qt::NoModifier || mods == Qt::ShiftModifier) {
        for (const auto& [colourKey, colour] : ColourKeys) {
            if (key != colourKey) continue;
            letGo(); // the colour is the pens' now, not the held shape's
            setDrawColour(colour);
            if (shift)
                chooseDrawTool(drawing::Kind::Highlighter, QStringLiteral("ToolMarker"));
            else
                chooseDrawTool(drawing::Kind::Pen, QStringLiteral("ToolPen"));
            return;
        }
        if (key == Qt::Key_N && !shift) {
            chooseDrawTool(drawing::Kind::Number, QStringLiteral("ToolNumber"));
            return;
        }
        if (key == Qt::Key_T && !shift) {
            chooseDrawTool(drawing::Kind::Text, QStringLiteral("ToolText"));
            startText(pointer());
            return;
        }
        if (key == Qt::Key_X && !shift) {
            chooseDrawTool(drawing::Kind::Pixelate, QStringLiteral("ToolPixelate"));
            return;
        }
        if (key == Qt::Key_E && !shift) {
            cancelStroke();
            if (!m_drawing.isEmpty()) {
                m_drawing.clear();
                m_history.drawn();
                m_held.follow(m_drawing);
                Picture1->update();
            }
            return;
        }
    }
    QWidget::keyPressEvent(e);
}
