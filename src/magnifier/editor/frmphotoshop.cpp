// Construction, load and unload of the annotation editor.
#include "magnifier/editor/frmphotoshop.h"

#include "capture/picturefile.h"
#include "magnifier/editor/editorartwork.h"
#include "magnifier/editor/picturearea.h"
#include "raster/colour.h"
#include "shared/platform/windowplacement.h"
#include "shared/topmost.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <QWindow>

#include <utility>

namespace {
// The strip along the top edge that brings the toolbar back.
constexpr double kStripHeightTwips = 255;
constexpr int kTimerMs = 200;
} // namespace

frmphotoshop::frmphotoshop(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services) {
    setObjectName(QStringLiteral("frmphotoshop"));
    setWindowTitle(QString());
    // A borderless window without a title: screen readers hear this.
    setAccessibleName(QCoreApplication::translate("zuz", "标记编辑器"));
    setAttribute(Qt::WA_NoSystemBackground);
    // "Maximised" on the monitor the view was on, whether or not a window
    // manager is there to do it.
    placement::cover(*this, m_services.screen->qscreen(), m_services.screen->geometry());
    buildControls();
    buildToolbar();
    buildMenu();
}

frmphotoshop::~frmphotoshop() {
    // The selection object draws into Picture1's picture: it goes first.
    m_sel.reset();
}

void frmphotoshop::buildControls() {
    Picture1 = new PictureArea(this);
    Picture1->setAccessibleName(QCoreApplication::translate("zuz", "冻结的画面"));
    connect(Picture1, &PictureArea::MouseDown, this, &frmphotoshop::Picture1_MouseDown);
    connect(Picture1, &PictureArea::MouseMove, this, &frmphotoshop::Picture1_MouseMove);
    connect(Picture1, &PictureArea::MouseUp, this, &frmphotoshop::Picture1_MouseUp);
    connect(Picture1, &PictureArea::DblClick, this, &frmphotoshop::Picture1_DblClick);
    // With a drawing tool the second click of a double click draws again;
    // with the select tool it takes a shape again.
    connect(Picture1, &PictureArea::DblClickAt, this, [this](int button, int shift, int x, int y) {
        if (ToolMode == Drawing || ToolMode == Selecting) Picture1_MouseDown(button, shift, x, y);
    });
    Picture1->Overlay = [this](QPainter& painter, const QRect& area) {
        paintDrawings(painter, area);
    };
    connect(&m_frames, &DrawingFrames::ready, Picture1, qOverload<>(&QWidget::update));
    Picture1->installEventFilter(this);
    connect(Picture1, &PictureArea::Paint, this, &frmphotoshop::Picture1_Paint);

    Label3 = new QLabel(Picture1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setMouseTracking(true);
    Label3->installEventFilter(this);

    for (int i = 0; i < int(Image1.size()); ++i)
        Image1[i] = editorartwork::toolCursor(i);
    setPictureCursor(RectCursor);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, &frmphotoshop::Timer1_Timer);

    // Settings the editor keeps for itself and never shows.
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->hide();
    for (int i = 0; i < 2; ++i) {
        Label1[i] = new QLabel(Frame1);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Label1[i]->setAutoFillBackground(true);
    }
    setSwatch(1, raster::Black);
    Check1 = new QCheckBox(QCoreApplication::translate("zuz", "透明"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));

    Notice = new QLabel(this);
    Notice->setObjectName(QStringLiteral("Notice"));
    Notice->setAutoFillBackground(true);
    Notice->setMargin(8);
    Notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(4000);
    connect(m_noticeTimer, &QTimer::timeout, Notice, &QWidget::hide);
    PicturesFolder = picturefile::picturesFolder();
}

void frmphotoshop::buildToolbar() {
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setMovable(false);
    Toolbar1->setAutoFillBackground(true);
    ToolGroup = new QActionGroup(Toolbar1);
    ToolGroup->setExclusive(true);

    struct Button {
        const char* key;
        const char* tip;
        int image; // -1: none
        bool grouped;
    };
    const Button buttons[] = {
        {"ToolRect", QT_TRANSLATE_NOOP("zuz", "矩型"), 0, true},
        {"ToolAny", QT_TRANSLATE_NOOP("zuz", "任意型"), 1, true},
        {"ToolMove", QT_TRANSLATE_NOOP("zuz", "移动"), 2, true},
        {"ToolSelect", QT_TRANSLATE_NOOP("zuz", "取色"), 3, true},
        {"ToolPen", QT_TRANSLATE_NOOP("zuz", "画笔（R G B O Y P W K 选颜色）"), 5, true},
        {"ToolMarker", QT_TRANSLATE_NOOP("zuz", "荧光笔（Shift+颜色键）"), 6, true},
        {"ToolLine", QT_TRANSLATE_NOOP("zuz", "直线（画笔时 Shift+拖动）"), 7, true},
        {"ToolArrow", QT_TRANSLATE_NOOP("zuz", "箭头（画笔时 Ctrl+Shift+拖动）"), 8, true},
        {"ToolBox", QT_TRANSLATE_NOOP("zuz", "方框（画笔时 Ctrl+拖动）"), 9, true},
        {"ToolEllipse", QT_TRANSLATE_NOOP("zuz", "椭圆（画笔时按住 Tab 拖动）"), 10, true},
        {"ToolNumber", QT_TRANSLATE_NOOP("zuz", "步骤编号（N）"), 12, true},
        {"ToolPixelate", QT_TRANSLATE_NOOP("zuz", "马赛克（X）"), 13, true},
        {"ToolText", QT_TRANSLATE_NOOP("zuz", "文字（T）"), 14, true},
        {"ToolPointer", QT_TRANSLATE_NOOP("zuz", "选择（V）"), 15, true},
        {nullptr, nullptr, -1, false},
        {"Undo", QT_TRANSLATE_NOOP("zuz", "撤消"), 4, false},
        {"Redo", QT_TRANSLATE_NOOP("zuz", "重做（Ctrl+Y）"), 11, false},
        {"exit", QT_TRANSLATE_NOOP("zuz", "离开"), -1, false},
    };
    for (const Button& b : buttons) {
        if (!b.key) {
            Toolbar1->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        const QString tip = QCoreApplication::translate("zuz", b.tip);
        // A button without a picture shows its tip as its face.
        QAction* a = b.image >= 0 ? Toolbar1->addAction(editorartwork::toolbarImage(b.image), tip)
                                  : Toolbar1->addAction(tip);
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(tip);
        if (b.grouped) {
            a->setCheckable(true);
            ToolGroup->addAction(a);
        }
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        if (key == QLatin1String("Redo")) buildColourAndWidth();
    }
    button(QStringLiteral("ToolRect"))->setChecked(true);
    Toolbar1->adjustSize();
}

void frmphotoshop::buildMenu() {
    mnkz = new QMenu(QCoreApplication::translate("zuz", "控制"), this);
    auto add = [this](const char* name, const char* caption, void (frmphotoshop::*handler)()) {
        QAction* a = mnkz->addAction(QCoreApplication::translate("zuz", caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnjieshufd = add("mnjieshufd", QT_TRANSLATE_NOOP("zuz", "结束本次放大"),
                     &frmphotoshop::mnjieshufd_Click);
    mnqufd = add("mnqufd", "Zonara", &frmphotoshop::mnqufd_Click);
    mnwanneng = add("mnwanneng", "Snarell", &frmphotoshop::mnwanneng_Click);
    mnwnbhxx = mnkz->addSeparator();
    mnwnbhxx->setObjectName(QStringLiteral("mnwnbhxx"));
    mnabuot = add("mnabuot", QT_TRANSLATE_NOOP("zuz", "关于..."), &frmphotoshop::mnabuot_Click);
    mnkz->addSeparator();
    mnfuzhi =
        add("mnfuzhi", QT_TRANSLATE_NOOP("zuz", "复制图片（Ctrl+C）"), &frmphotoshop::copyPicture);
    mnbaocun =
        add("mnbaocun", QT_TRANSLATE_NOOP("zuz", "保存图片（Ctrl+S）"), &frmphotoshop::savePicture);
}

QAction* frmphotoshop::button(const QString& key) const {
    for (QAction* a : Toolbar1->actions())
        if (a->data().toString() == key) return a;
    return nullptr;
}

QColor frmphotoshop::swatch(int index) const {
    return Label1[index]->palette().color(QPalette::Window);
}

void frmphotoshop::setSwatch(int index, quint32 colour) {
    QPalette p = Label1[index]->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(raster::toRgb(colour)));
    Label1[index]->setPalette(p);
}

void frmphotoshop::setPictureCursor(PictureCursor image) {
    // Every pointer move asks; only a change goes to X11, Wayland or Windows.
    if (image == m_cursor) return;
    m_cursor = image;
    Picture1->setCursor(image == DrawCursor    ? QCursor(Qt::CrossCursor)
                        : image == PointCursor ? QCursor(Qt::ArrowCursor)
                                               : Image1[image]);
}

frmphotoshop* frmphotoshop::openOver(const Services& services, QImage picture,
                                     qreal devicePixelRatio) {
    auto* editor = new frmphotoshop(services);
    editor->Form_Load();
    editor->setPicture(std::move(picture), devicePixelRatio);
    editor->setWindowFlag(Qt::WindowStaysOnTopHint);
    editor->show();
    editor->activateWindow();
    SetTopmost(editor, true);
    return editor;
}

void frmphotoshop::Form_Load() {
    const units::Screen s = m_services.screen->screen();
    // Positions in twips, as the form lays itself out.
    const double toolbarWidth = s.toTwipsX(Toolbar1->width());
    Toolbar1->move(s.toPixelsX((s.Width() - toolbarWidth) / 2), 0);
    Picture1->move(0, 0);
    Label3->setGeometry(0, 0, s.toPixelsX(s.Width()), s.toPixelsY(kStripHeightTwips));
    setSwatch(0, raster::White);
    Picture1->BackColor = swatch(0);
    m_sel = std::make_unique<clspotoshop>(m_composition);
    m_sel->BackColor(raster::fromRgb(swatch(0).rgb()));
    m_sel->Trans(Check1->checkState() != Qt::Unchecked);
    ToolMode = RectWaiting;
    Toolbar1->raise();
    Timer1->start();
}

void frmphotoshop::setPicture(QImage picture, qreal devicePixelRatio) {
    Picture1->setPicture(std::move(picture), devicePixelRatio);
}

void frmphotoshop::Form_Unload() {
    Timer1->stop();
    // Dropping the selection object releases every surface it drew with.
    m_sel.reset();
}

void frmphotoshop::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    // A handler may still be on the stack (a popup menu's nested loop):
    // the window goes only once control is back in the main loop.
    deleteLater();
}

// The strip takes the pointer over the top edge: moving there brings the
// toolbar back, and presses there start nothing.
bool frmphotoshop::eventFilter(QObject* watched, QEvent* event) {
    // Esc ends the text; Enter stays the box's own new line.
    if (watched == m_textBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        finishText();
        return true;
    }
    // The wheel over the picture zooms, with Ctrl it sets the pens' width;
    // the middle button drags the zoomed picture.
    if (watched == Picture1 && panEvent(event)) return true;
    if (watched == Picture1 && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return event->isAccepted();
    }
    if (watched != Label3) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        Label3_MouseMove();
        return true;
    case QEvent::MouseButtonDblClick:
        Picture1_DblClick();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return true;
    default:
        return false;
    }
}
