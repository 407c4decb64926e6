// The select tool, the colour and width buttons, and the one history that
// undo and redo walk.
#include "magnifier/editor/frmphotoshop.h"

#include "magnifier/editor/picturearea.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

const std::array<qreal, 6> frmphotoshop::Widths{1, 2, 4, 8, 16, 40};

namespace {

// The names of the key colours, in the order of ColourKeys.
constexpr const char* ColourNames[] = {
    QT_TRANSLATE_NOOP("zuz", "红（R）"), QT_TRANSLATE_NOOP("zuz", "绿（G）"),
    QT_TRANSLATE_NOOP("zuz", "蓝（B）"), QT_TRANSLATE_NOOP("zuz", "橙（O）"),
    QT_TRANSLATE_NOOP("zuz", "黄（Y）"), QT_TRANSLATE_NOOP("zuz", "粉（P）"),
    QT_TRANSLATE_NOOP("zuz", "白（W）"), QT_TRANSLATE_NOOP("zuz", "黑（K）"),
};

QString zuzText(const char* text) {
    return QCoreApplication::translate("zuz", text);
}

// A framed square of the colour: white and black stay visible on the bar.
QIcon swatchIcon(const QColor& colour) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(colour);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.end();
    return QIcon(pm);
}

void popUpAtOnce(QToolBar* bar, QAction* action) {
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
        b->setPopupMode(QToolButton::InstantPopup);
}

} // namespace

void frmphotoshop::buildColourAndWidth() {
    auto* colours = new QMenu(this);
    colours->setObjectName(QStringLiteral("ColourMenu"));
    for (std::size_t i = 0; i < ColourKeys.size(); ++i) {
        const QColor colour = ColourKeys[i].second;
        QAction* a = colours->addAction(swatchIcon(colour), zuzText(ColourNames[i]));
        connect(a, &QAction::triggered, this, [this, colour] { setDrawColour(colour); });
    }
    colours->addSeparator();
    // The foreground swatch, which the eyedropper's left button sets.
    QAction* picked = colours->addAction(zuzText(QT_TRANSLATE_NOOP("zuz", "取色的颜色")));
    picked->setObjectName(QStringLiteral("ColourPicked"));
    connect(picked, &QAction::triggered, this, [this] { setDrawColour(swatch(1)); });
    connect(colours, &QMenu::aboutToShow, this,
            [this, picked] { picked->setIcon(swatchIcon(swatch(1))); });
    ColourButton = Toolbar1->addAction(zuzText(QT_TRANSLATE_NOOP("zuz", "颜色")));
    ColourButton->setObjectName(QStringLiteral("Colour"));
    ColourButton->setData(QStringLiteral("Colour"));
    ColourButton->setMenu(colours);
    popUpAtOnce(Toolbar1, ColourButton);

    auto* widths = new QMenu(this);
    widths->setObjectName(QStringLiteral("WidthMenu"));
    WidthGroup = new QActionGroup(widths);
    // None ticked while the width is between the offered ones.
    WidthGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (qreal w : Widths) {
        QAction* a = widths->addAction(zuzText(QT_TRANSLATE_NOOP("zuz", "%1 像素")).arg(w));
        a->setCheckable(true);
        a->setData(w);
        WidthGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, w] { setDrawWidth(w); });
    }
    WidthButton = Toolbar1->addAction(QString());
    WidthButton->setObjectName(QStringLiteral("Width"));
    WidthButton->setData(QStringLiteral("Width"));
    WidthButton->setMenu(widths);
    popUpAtOnce(Toolbar1, WidthButton);
    showColourAndWidth();
}

void frmphotoshop::showColourAndWidth() {
    if (!ColourButton) return;
    ColourButton->setIcon(swatchIcon(DrawColour));
    const QString width = zuzText(QT_TRANSLATE_NOOP("zuz", "粗细：%1")).arg(DrawWidth);
    WidthButton->setText(width);
    WidthButton->setToolTip(width);
    for (QAction* a : WidthGroup->actions())
        a->setChecked(a->data().toReal() == DrawWidth);
}

void frmphotoshop::setDrawColour(const QColor& colour) {
    DrawColour = colour;
    showColourAndWidth();
    const auto index = m_held.held();
    if (ToolMode != Selecting || !index) return;
    if (m_drawing.recolour(*index, colour)) m_history.drawn();
    Picture1->update();
}

void frmphotoshop::setDrawWidth(qreal width) {
    DrawWidth = drawing::clampWidth(width);
    showColourAndWidth();
}

// The held shape as it shows now, with room for its grips: what a change
// to it repaints.
QRectF frmphotoshop::heldArea() const {
    const auto index = m_held.held();
    if (!index || *index >= m_drawing.shapes().size()) return {};
    const auto preview = m_held.preview(m_drawing);
    const qreal scale = std::max<qreal>(Picture1->pictureToWidget().m11(), 0.01);
    const qreal m = drawing::ShapeSelect::GripSize / scale + 2;
    return (preview ? *preview : m_drawing.shapes()[*index]).bounds().adjusted(-m, -m, m, m);
}

void frmphotoshop::selectPress(QPoint at) {
    const QRectF before = heldArea();
    const QTransform toWidget = Picture1->pictureToWidget();
    m_held.press(m_drawing, toWidget.map(QPointF(at)), toWidget);
    drawingChanged(before | heldArea());
}

void frmphotoshop::selectDrag(QPoint at) {
    if (m_held.grip() == drawing::ShapeSelect::Grip::None) return;
    const QRectF before = heldArea();
    m_held.drag(QPointF(at));
    drawingChanged(before | heldArea());
}

// The blocks of a resized pixelated box are of the picture beneath.
void frmphotoshop::selectRelease() {
    const raster::Surface* surface = Picture1->hDC();
    if (m_held.release(m_drawing, surface ? surface->image() : QImage())) m_history.drawn();
    Picture1->update();
}

// V takes the select tool; with a shape held, the colour keys recolour it
// and Delete or Backspace removes it.
bool frmphotoshop::selectKey(int key) {
    if (key == Qt::Key_V) {
        if (QAction* a = button(QStringLiteral("ToolPointer"))) a->trigger();
        return true;
    }
    const auto index = m_held.held();
    if (ToolMode != Selecting || !index) return false;
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        if (m_drawing.remove(*index)) m_history.drawn();
        letGo();
        return true;
    }
    for (const auto& [colourKey, colour] : ColourKeys)
        if (key == colourKey) {
            setDrawColour(colour);
            return true;
        }
    return false;
}

void frmphotoshop::letGo() {
    if (!m_held.held()) return;
    m_held.hold(std::nullopt);
    Picture1->update();
}

// Over the picture on the screen only: copies and files never get it.
void frmphotoshop::paintHeld(QPainter& painter) const {
    const auto index = m_held.held();
    if (!index || *index >= m_drawing.shapes().size()) return;
    const QTransform toWidget = Picture1->pictureToWidget();
    const std::optional<drawing::Shape> preview = m_held.preview(m_drawing);
    if (preview) {
        // The drawings with the held shape where the drag leaves it.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(toWidget, true);
        for (std::size_t i = 0; i < m_drawing.shapes().size(); ++i)
            drawing::renderShape(painter, i == *index ? *preview : m_drawing.shapes()[i]);
        painter.restore();
    }
    const drawing::Shape& shape = preview ? *preview : m_drawing.shapes()[*index];
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    // Black dashes on white show on any picture.
    const QRectF box = toWidget.mapRect(shape.bounds());
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(box);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawRect(box);
    if (shape.resizable()) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        const qreal half = drawing::ShapeSelect::GripSize / 2;
        for (const QPointF& corner : drawing::ShapeSelect::grips(shape))
            painter.drawRect(
                QRectF(toWidget.map(corner) - QPointF(half, half), QSizeF(2 * half, 2 * half)));
    }
    painter.restore();
}

void frmphotoshop::Undo() {
    // Text being typed is the edit under way: undo drops it.
    if (m_textBox) {
        finishText(false);
        return;
    }
    if (pixelsInHand()) return;
    m_held.cancel();
    if (const auto t = m_history.undo()) turn(*t);
}

void frmphotoshop::Redo() {
    if (pixelsInHand()) return;
    m_held.cancel();
    if (const auto t = m_history.redo()) turn(*t);
}

// While a band or the selection is being dragged the picture is the
// drag's: a step put back under it would be drawn over or pasted twice.
bool frmphotoshop::pixelsInHand() const {
    return m_bandShown || ToolMode == RectDragging || ToolMode == AnyDragging ||
           ToolMode == MoveDragging;
}

void frmphotoshop::turn(const EditHistory::Turn& t) {
    if (t.step->kind == EditHistory::Kind::Drawing) {
        if (t.forward)
            m_drawing.redo();
        else
            m_drawing.undo();
        m_held.follow(m_drawing);
        Picture1->update();
    } else if (m_sel) {
        m_sel->applyStep(t.step->pixels, t.forward);
        // The back colour goes back with the pixels it filled.
        setSwatch(0, m_sel->fields().BackColor);
        showWritten();
    }
}
