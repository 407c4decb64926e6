// Construction, start-up and shutdown of the magnifier window.
#include "magnifier/Frmpictd.h"

#include "magnifier/artwork.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/picturebox.h"
#include "magnifier/serversurface.h"
#include "shared/formplace.h"
#include "shared/menuitem.h"
#include "shared/tip/Frmzdydhc.h"
#include "shared/topmost.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {
constexpr int kReleaseBuffersMs = 2000;
} // namespace

Frmpictd::Frmpictd(const Services& services, QWidget* parent)
    : MouseReporting(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services) {
    setWindowTitle(QString());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Shown "maximised": the client area is the whole primary screen.
    setGeometry(m_services.screen->geometry());
    buildControls();
    buildMenu();
    m_releaseBuffers.setSingleShot(true);
    m_releaseBuffers.setInterval(kReleaseBuffersMs);
    connect(&m_releaseBuffers, &QTimer::timeout, this, &Frmpictd::releaseViewBuffers);
    watchScreens();
}

Frmpictd::~Frmpictd() {
    delete m_editor;
}

void Frmpictd::buildControls() {
    Imagxs1.MousePointer = QCursor(Qt::OpenHandCursor);
    Imagxs2.MousePointer = QCursor(Qt::ClosedHandCursor);
    Imadpic.MousePointer = Imagxs1.MousePointer;
    Imatbiao = artwork::pencilPicture();
    Pictubiao = {artwork::magnifierIcon(), artwork::glyphIcon()};

    // First, so that it is the lowest of the native children.
    if (m_services.grabber->drawsOnServer()) {
        m_surface = new ServerSurface(
            this, [this](const QRegion& r) { return drawOnServer(r); },
            [this] {
                // Drawn by Qt from now on, in this window.
                m_surface->hide();
                update();
            });
        m_surface->setObjectName(QStringLiteral("surface"));
        m_surface->hide();
    }

    P1 = new PictureBox(this);
    P1->setObjectName(QStringLiteral("P1"));
    P1->setBackColor(palette().color(QPalette::Button));
    P1->hide();
    P2 = new PictureBox(this);
    P2->setObjectName(QStringLiteral("P2"));
    P2->hide();
    connect(P1, &PictureBox::mouseDown, this, &Frmpictd::P1_MouseDown);
    connect(P1, &PictureBox::clicked, this, &Frmpictd::P1_Click);
    connect(P1, &PictureBox::doubleClicked, this, &Frmpictd::P1_DblClick);

    auto makeButton = [this](const char* name, const QString& caption, const char* tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QCoreApplication::translate("zuz", tip));
        b->setFocusPolicy(Qt::NoFocus);
        // Over the server surface, which is a window of its own.
        if (m_surface) b->setAttribute(Qt::WA_NativeWindow);
        return b;
    };
    Command5 = makeButton("Command5", {}, QT_TRANSLATE_NOOP("zuz", "手工画框标记"));
    Command5->setIconSize(QSize(32, 32));
    Comqxbcfd = makeButton("Comqxbcfd", {}, QT_TRANSLATE_NOOP("zuz", "取消本次放大[可按X键]"));
    Comqxbcfd->setIcon(artwork::undoArrowPicture());
    Comqxbcfd->setIconSize(QSize(16, 16));
    Command1 = makeButton("Command1", QCoreApplication::translate("zuz", "宽-"),
                          QT_TRANSLATE_NOOP("zuz", "单击减宽200"));
    Command2 = makeButton("Command2", QCoreApplication::translate("zuz", "高-"),
                          QT_TRANSLATE_NOOP("zuz", "单击减高200"));
    Command3 = makeButton("Command3", QCoreApplication::translate("zuz", "宽+"),
                          QT_TRANSLATE_NOOP("zuz", "单击增宽200"));
    Command4 = makeButton("Command4", QCoreApplication::translate("zuz", "高+"),
                          QT_TRANSLATE_NOOP("zuz", "单击增高200"));
    placeButton(Command1, 4560, 2880, 495, 255);
    placeButton(Command2, 4560, 2280, 495, 255);
    placeButton(Command3, 4080, 2880, 495, 255);
    placeButton(Command4, 4080, 2280, 495, 255);
    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        b->hide();
    connect(Command5, &QPushButton::clicked, this, &Frmpictd::Command5_Click);
    connect(Comqxbcfd, &QPushButton::clicked, this, &Frmpictd::Comqxbcfd_Click);
    connect(Command1, &QPushButton::clicked, this, &Frmpictd::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmpictd::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmpictd::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmpictd::Command4_Click);

    Timer1 = new VbTimer(1000, this);
    Timgund = new VbTimer(50, this);
    Timtiula = new VbTimer(50, this);
    TimKey = new VbTimer(1, this);
    connect(Timer1, &VbTimer::Timer, this, &Frmpictd::Timer1_Timer);
    connect(Timgund, &VbTimer::Timer, this, &Frmpictd::Timgund_Timer);
    connect(Timtiula, &VbTimer::Timer, this, &Frmpictd::Timtiula_Timer);
    connect(TimKey, &VbTimer::Timer, this, &Frmpictd::TimKey_Timer);
}

void Frmpictd::buildMenu() {
    using F = Frmpictd;
    struct Item {
        QAction* F::*item;
        const char* caption; // null: a separator
        void (F::*click)();
    };
    const auto add = [this](std::initializer_list<Item> items) {
        for (const Item& i : items)
            this->*i.item =
                i.caption ? addMenuItem(this, mnkz, i.caption, i.click) : mnkz->addSeparator();
    };
    mnkz = new QMenu(QCoreApplication::translate("zuz", "控制"), this);
    add({
        {&F::mnexit, QT_TRANSLATE_NOOP("zuz", "取消本次放大[也可按X键或Esc键！]"),
         &F::mnexit_Click},
        {&F::mnzaicifd, QT_TRANSLATE_NOOP("zuz", "再次放大本屏(Ctrl+Z)"), &F::mnzaicifd_Click},
        {&F::mnzaicifdxx, nullptr, nullptr},
        {&F::mnexit2, QT_TRANSLATE_NOOP("zuz", "退出！！！"), &F::mnexit2_Click},
        {&F::mnexitxx, nullptr, nullptr},
        {&F::mnzongxiangfd, QT_TRANSLATE_NOOP("zuz", "只纵向放大"), &F::mnzongxiangfd_Click},
        {&F::mnshougong, QT_TRANSLATE_NOOP("zuz", "自定义zuz"), &F::mnshougong_Click},
        {&F::mnhiufuquesheng, QT_TRANSLATE_NOOP("zuz", "恢复缺省大小[2倍]"),
         &F::mnhiufuquesheng_Click},
        {&F::mnhfqsxx, nullptr, nullptr},
        {&F::mnsuoxiao, QT_TRANSLATE_NOOP("zuz", "扩大1点5倍"), &F::mnsuoxiao_Click},
        {&F::mnshxgdxx, nullptr, nullptr},
        {&F::mnshangxiagd, QT_TRANSLATE_NOOP("zuz", "上下自动滚动"), &F::mnshangxiagd_Click},
        {&F::mnxunhuang, QT_TRANSLATE_NOOP("zuz", "循环滚动"), &F::mnxunhuang_Click},
        {&F::mntiulaxg, QT_TRANSLATE_NOOP("zuz", "推拉效果"), &F::mntiulaxg_Click},
        {&F::mnsxgdxx, nullptr, nullptr},
    });
    mnsudu = addSpeedMenu(this, mnkz);
    add({
        {&F::mnqueshengxx, nullptr, nullptr},
        {&F::mnqufd, "Zonara", &F::mnqufd_Click},
        {&F::mnwanneng, "Snarell", &F::mnwanneng_Click},
        {&F::mnquxbcfd, nullptr, nullptr},
        {&F::mnabuot, QT_TRANSLATE_NOOP("zuz", "关于..."), &F::mnabuot_Click},
        {&F::mnbuhuo, QT_TRANSLATE_NOOP("zuz", "捕获"), &F::mnbuhuo_Click},
    });
    mnbuhuo->setVisible(false);
    for (QAction* a : {mnshangxiagd, mnxunhuang, mntiulaxg})
        a->setCheckable(true);
    // "中=100" ticked, although the scrolling runs at 50 ms until a speed
    // is chosen: the menu as it was designed.
    showSpeed(this, speed);
}

void Frmpictd::placeButton(QPushButton* button, double left, double top, double width,
                           double height) {
    const units::Screen s = screen();
    button->setGeometry(s.toPixelsX(left), s.toPixelsY(top), s.toPixelsX(width),
                        s.toPixelsY(height));
}

units::Screen Frmpictd::screen() const {
    return m_services.screen->screen();
}
double Frmpictd::ScaleWidth() const {
    return screen().toTwipsX(width());
}
double Frmpictd::ScaleHeight() const {
    return screen().toTwipsY(height());
}
// On the window's own monitor, whose top is the top of "the screen".
double Frmpictd::WindowTop() const {
    return formplace::twips(*this, screen(), m_services.screen->geometry()).y();
}
double Frmpictd::WindowHeight() const {
    return screen().toTwipsY(height());
}

Picture Frmpictd::CaptureScreen() {
    // A menu or dialog that just closed over the view leaves a hole that is
    // repainted only later; paint it now so the capture shows the view.
    if (isVisible()) {
        repaint();
        if (m_surface && m_surface->isVisible()) m_surface->repaint();
    } else
        readyPaintBuffer();
    Picture picture = ::CaptureScreen(*m_services.grabber, m_services.screen->nativeGeometry());
    m_services.grabber->runMeanwhile();
    if (const QString why = m_services.grabber->takeFailure(); !why.isEmpty())
        prompts().MessageBox(why, QApplication::applicationName());
    return picture;
}

void Frmpictd::Form_Load() {
    followPointerScreen();
    const units::Screen s = screen();
    placeCornerButtons();
    Command5->setIcon(Imatbiao);
    Imadpic.Height = 2 * s.Height();
    Imadpic.Width = 2 * s.Width();
    mnbuhuo_Click();
    // Keyboard preview: the buttons never take the focus, so every key
    // reaches the window first.
    setFocus();
    AddTrayIcon();
    InstallHotkey();
    ApplyTipMarker();
    FitWindowToPicture();
}

void Frmpictd::ApplyTipMarker() {
    if (!prompts().TipMarkerExists(TipVariant::Magnifier)) {
        // Not topmost, so that the tip dialog can lie above the view.
        SetTopmost(this, false);
        ShowTipDialog();
    } else {
        SetTopmost(this, true);
    }
}

void Frmpictd::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
    cancel = false;
    Timer1->setEnabled(false);
    // The icon leaves the notification area at once.
    if (m_services.tray) m_services.tray->remove();
}

void Frmpictd::Form_Unload(bool& cancel) {
    cancel = false;
    prompts().UnloadTipDialog(TipVariant::Magnifier);
}

// Quitting ends everything, an open editor included.
void Frmpictd::mnexit2_Click() {
    m_quitting = true;
    close();
    if (m_editor) m_editor->close();
    QCoreApplication::quit();
}

// Closed some other way (the window manager's close on a view), the window
// unloads, but an open editor keeps the program until it is closed too.
void Frmpictd::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    Form_Unload(cancel);
    event->accept();
    if (m_quitting || !m_editor) {
        QCoreApplication::quit();
        return;
    }
    // Connected once per close; a second quit on the way out is harmless.
    connect(m_editor, &QObject::destroyed, qApp, &QCoreApplication::quit);
}
