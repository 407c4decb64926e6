#include "tip/Frmzdydhc.h"

#include "platform/windowplacement.h"

#include "platform/screeninfo.h"
#include "platform/userfolder.h"
#include "tip/tipartwork.h"
#include "topmost.h"
#include "units.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextLayout>

#include <algorithm>

#include <map>

namespace {

// The dialog's colours, written as 0x00BBGGRR as the Windows palette has them.
QColor vbColor(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

const QColor kBackColor = vbColor(0x00FF8080); // blue-violet
const QColor kForeColor = vbColor(0x000000FF); // red
const QColor kYellow = vbColor(0x0000FFFF);
const QColor kWhite = vbColor(0x00FFFFFF);
const QColor kHintBack = vbColor(0x00FFC0C0);
const QColor kHintText = vbColor(0x0000FF00);
const QColor kCheckBack = vbColor(0x00FFFFC0);
const QColor kCheckText = vbColor(0x000080FF);
const QColor kButtonCaptionBack = vbColor(0x00C0FFC0);

const QString kCrLf2 = QStringLiteral("\r\n\r\n");

int vbButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int vbButtons(Qt::MouseButtons bs) {
    return (bs & Qt::LeftButton ? 1 : 0) | (bs & Qt::RightButton ? 2 : 0) |
           (bs & Qt::MiddleButton ? 4 : 0);
}

int vbShift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

units::Screen screenNow() {
    return PrimaryScreenInfo().screen();
}

// Where the pointer is relative to `widget`, in logical pixels, measured
// from where its window was last put rather than from where the window
// system reports it: while a move of the dragged window is still on its way
// to the window manager, the event's own position would count it twice.
QPointF localPosition(const QWidget& widget, const QMouseEvent& e) {
    const QWidget& top = *widget.window();
    return e.globalPosition() - QPointF(top.pos()) - QPointF(widget.mapTo(&top, QPoint(0, 0)));
}

QFont simSun(double points, bool bold = false) {
    QFont f(QStringLiteral("SimSun"));
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setColors(QWidget* w, const QColor& text, const QColor& back = QColor()) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    if (back.isValid()) {
        // Labels fill with Window, buttons (the check box) with Button.
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Button, back);
        w->setAutoFillBackground(true);
    } else {
        w->setAutoFillBackground(false);
    }
    w->setPalette(pal);
}

std::map<TipVariant, TipMarkerFolders>& folderOverrides() {
    static std::map<TipVariant, TipMarkerFolders> m;
    return m;
}

std::map<TipVariant, QPointer<Frmzdydhc>>& loadedDialogs() {
    static std::map<TipVariant, QPointer<Frmzdydhc>> m;
    return m;
}

// Layout in twips: magnifier value, region magnifier value.
struct Layout {
    double clientW, clientH, bandW;
    double hintW, hintH;
    double checkLeft, checkTop;
    double yesLeft, yesTop, yesCapLeft, yesCapTop;
};
const Layout kMagnifier{6825, 5130, 6855, 5535, 3255, 1485, 3720, 2760, 4200, 3120, 4440};
const Layout kRegion{7305, 4980, 7335, 6015, 3135, 0, 3600, 2640, 4080, 3000, 4320};
const Layout& tipLayout(TipVariant v) {
    return v == TipVariant::Magnifier ? kMagnifier : kRegion;
}

} // namespace

// --- texts and the marker file ----------------------------------------------

QString TipMarkerFileName(TipVariant variant) {
    return variant == TipVariant::Magnifier ? QStringLiteral("Vivoduzivi.ini")
                                            : QStringLiteral("Vorlane.ini");
}

namespace {
bool g_withoutWayBack = false;
} // namespace

void SetTipWithoutWayBack(bool without) {
    g_withoutWayBack = without;
}

QStringList TipHintPieces(TipVariant variant, TipLanguage language) {
    const auto t = [language](const char* source) {
        return language == TipLanguage::Shown ? QCoreApplication::translate("zuz", source)
                                              : QString::fromUtf8(source);
    };
    if (variant == TipVariant::Magnifier) {
        QStringList pieces{
            t(QT_TRANSLATE_NOOP(
                "zuz", " 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！")),
            t(QT_TRANSLATE_NOOP(
                "zuz", "按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双"
                       "击取消，鼠标移到屏幕上边工具按钮！")),
            t(QT_TRANSLATE_NOOP("zuz", "按“Ctrl+Z”键再次放大！")),
            t(QT_TRANSLATE_NOOP("zuz", "或在屏幕右下角“岚”字图标上按右键！")),
            t(QT_TRANSLATE_NOOP("zuz", "您现在可试一下Ctrl+Z键！")),
        };
        if (g_withoutWayBack) {
            // In the place of the key and the icon that are not there.
            pieces.resize(2);
            return pieces << t(QT_TRANSLATE_NOOP("zuz", "快捷键：为命令“zuz --view”设一个（GNOME：设置→键盘→"
                                                         "自定义快捷键）！"))
                          << t(QT_TRANSLATE_NOOP("zuz", "“岚”字图标：GNOME 需启用 AppIndicator 扩展！再次启动 "
                                                         "zuz 也可放大！"));
        }
        // A Wayland desktop gives a program no key of its own unless it
        // offers global shortcuts; where it does not, the user binds the
        // key in the desktop's settings (in the place of the invitation to
        // try Ctrl+Z, which may do nothing there).
        if (placement::onWayland())
            pieces.last() = t(QT_TRANSLATE_NOOP("zuz", "Wayland：把“zuz --view”设为桌面快捷键！"));
        return pieces;
    }
    return {
        t(QT_TRANSLATE_NOOP("zuz", "   单击屏幕右下角的zuz按钮后，鼠标指向要放大的区域后。")),
        t(QT_TRANSLATE_NOOP("zuz", "   按下鼠标左键拖动定义所要放大的区域，松开鼠标即完成！！")),
        t(QT_TRANSLATE_NOOP("zuz", "按右键选菜单操作！！双击放大区域，可结束本次放大！")),
        t(QT_TRANSLATE_NOOP("zuz", "菜单操作，可在当前放大的区域上，按右键，！")),
        t(QT_TRANSLATE_NOOP(
            "zuz", "单击“放大区域”即可放大下一区域！反复单击“是否滚动”可在超出屏幕时自动滚动！")),
    };
}

QString TipHintText(TipVariant variant) {
    return TipHintPieces(variant).join(kCrLf2);
}

QByteArray TipMarkerContent(TipVariant variant) {
    QString text;
    if (variant == TipVariant::Magnifier) {
        text =
            QStringList{
                QStringLiteral(
                    " 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！ "),
                QStringLiteral("按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键"
                               "或双击取消，鼠标移到屏幕上边工具按钮"),
                QStringLiteral("按“Ctrl+Z”键再次放大！"),
                QStringLiteral("或在屏幕右下角“岚”字图标上按右键！"),
            }
                .join(kCrLf2);
    } else {
        text = TipHintPieces(variant, TipLanguage::Source).join(kCrLf2);
    }
    // A line break after the text, as a text-file write gives, so that a
    // second append starts on a line of its own.
    return (text + QStringLiteral("\r\n")).toUtf8();
}

TipMarkerFolders DefaultTipMarkerFolders(TipVariant variant) {
    const auto found = folderOverrides().find(variant);
    if (found != folderOverrides().end()) return found->second;
    const QString app =
        variant == TipVariant::Magnifier ? QStringLiteral("zuz") : QStringLiteral("Zonara");
    const QString config = userSettingsFolder();
    return {QCoreApplication::applicationDirPath(),
            config.isEmpty() ? QString() : QDir(config).filePath(app)};
}

void SetTipMarkerFolders(TipVariant variant, const TipMarkerFolders& folders) {
    if (folders.programFolder.isEmpty() && folders.configFolder.isEmpty())
        folderOverrides().erase(variant);
    else
        folderOverrides()[variant] = folders;
}

namespace {
bool appendTo(const QString& folder, const QString& name, const QByteArray& bytes) {
    if (folder.isEmpty()) return false;
    QFile f(QDir(folder).filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const bool ok = f.write(bytes) == bytes.size() && f.flush();
    f.close();
    return ok;
}
} // namespace

QString AppendTipMarker(TipVariant variant, const TipMarkerFolders& folders) {
    const QString name = TipMarkerFileName(variant);
    const QByteArray bytes = TipMarkerContent(variant);
    if (appendTo(folders.programFolder, name, bytes))
        return QDir(folders.programFolder).filePath(name);
    if (!folders.configFolder.isEmpty() && QDir().mkpath(folders.configFolder) &&
        appendTo(folders.configFolder, name, bytes))
        return QDir(folders.configFolder).filePath(name);
    return {};
}

bool TipMarkerExists(TipVariant variant, const TipMarkerFolders& folders) {
    const QString name = TipMarkerFileName(variant);
    for (const QString& folder : {folders.programFolder, folders.configFolder})
        if (!folder.isEmpty() && QFileInfo(QDir(folder).filePath(name)).isFile()) return true;
    return false;
}

bool TipMarkerExists(TipVariant variant) {
    return TipMarkerExists(variant, DefaultTipMarkerFolders(variant));
}

// --- controls ---------------------------------------------------------------

void TipLabel::mousePressEvent(QMouseEvent* e) {
    e->accept();
    const units::Screen s = screenNow();
    const QPointF at = localPosition(*this, *e);
    emit mouseDown(vbButton(e->button()), vbShift(e->modifiers()), s.toTwipsX(at.x()),
                   s.toTwipsY(at.y()));
}

void TipLabel::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    const units::Screen s = screenNow();
    const QPointF at = localPosition(*this, *e);
    emit mouseMove(vbButtons(e->buttons()), vbShift(e->modifiers()), s.toTwipsX(at.x()),
                   s.toTwipsY(at.y()));
}

void TipLabel::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    const units::Screen s = screenNow();
    const QPointF at = localPosition(*this, *e);
    emit mouseUp(vbButton(e->button()), vbShift(e->modifiers()), s.toTwipsX(at.x()),
                 s.toTwipsY(at.y()));
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

void TipLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
}

int TipHintLabel::layoutText(QPainter* painter) const {
    const QFontInfo info(font());
    const int lineHeight = std::max(1, info.pixelSize());
    const QFontMetricsF fm(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int y = contentsRect().top();
    const int width = contentsRect().width();
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            // Baseline one descent above the bottom of an em-high line.
            line.setPosition(QPointF(0, y + lineHeight - fm.descent() - line.ascent()));
            y += lineHeight;
            any = true;
        }
        layout.endLayout();
        if (!any) y += lineHeight;
        if (painter) layout.draw(painter, QPointF(contentsRect().left(), 0));
    }
    return y - contentsRect().top();
}

int TipHintLabel::textHeight() const {
    return layoutText(nullptr);
}

void TipHintLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setClipRect(rect());
    layoutText(&p);
}

TipImage::TipImage(QWidget* parent) : TipLabel(parent) {}

void TipImage::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void TipImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}

// --- the window -------------------------------------------------------------

Frmzdydhc::Frmzdydhc(TipVariant variant, QWidget* parent)
    : Frmzdydhc(variant, DefaultTipMarkerFolders(variant), parent) {}

Frmzdydhc::Frmzdydhc(TipVariant variant, const TipMarkerFolders& folders, QWidget* parent)
    // A dialog-type window: transient for its owner (or the program), so
    // a window manager keeps it above the program's other windows.
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), m_variant(variant),
      m_folders(folders) {
    const units::Screen s = screenNow();
    m_tppX = s.TwipsPerPixelX;
    m_tppY = s.TwipsPerPixelY;
    setObjectName(QStringLiteral("Frmzdydhc"));
    setWindowTitle(QStringLiteral("Form1"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackColor);
    pal.setColor(QPalette::WindowText, kForeColor);
    setPalette(pal);
    setAutoFillBackground(true);
    build();
    // Centred on the screen when it opens.
    const Layout& l = tipLayout(m_variant);
    const QRect client = px(0, 0, l.clientW, l.clientH);
    const QRect screenRect = PrimaryScreenInfo().geometry();
    setFixedSize(client.size());
    move(screenRect.x() + (screenRect.width() - client.width()) / 2,
         screenRect.y() + (screenRect.height() - client.height()) / 2);
}

Frmzdydhc::~Frmzdydhc() {
    auto& loaded = loadedDialogs();
    const auto found = loaded.find(m_variant);
    if (found != loaded.end() && found->second == this) loaded.erase(found);
}

QRect Frmzdydhc::px(double left, double top, double width, double height) const {
    using units::cint;
    return QRect(cint(left / m_tppX), cint(top / m_tppY), cint(width / m_tppX),
                 cint(height / m_tppY));
}

void Frmzdydhc::build() {
    const Layout& l = tipLayout(m_variant);
    const bool region = m_variant == TipVariant::Region;

    Shape1 = px(0, 0, l.bandW, 375);

    Labdhkts = new TipLabel(QCoreApplication::translate("zuz", "zuz提示！"), this);
    Labdhkts->setObjectName(QStringLiteral("Labdhkts"));
    Labdhkts->setFont(simSun(10.5));
    setColors(Labdhkts, kYellow);
    Labdhkts->setGeometry(px(0, 105, l.bandW, 255));

    Labzinr = new TipHintLabel(this);
    Labzinr->setObjectName(QStringLiteral("Labzinr"));
    Labzinr->setFont(simSun(12));
    Labzinr->setWordWrap(true);
    Labzinr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Labzinr->setTextFormat(Qt::PlainText);
    setColors(Labzinr, kHintText, kHintBack);
    Labzinr->setGeometry(px(960, 360, l.hintW, l.hintH));

    imgtanhaoha = new TipImage(this);
    imgtanhaoha->setObjectName(QStringLiteral("imgtanhaoha"));
    imgtanhaoha->setPicture(tipartwork::exclamationIcon());
    imgtanhaoha->setGeometry(px(0, 0, 480, 480));
    imgtanhaoha->hide();

    Chezhidaole =
        new QCheckBox(QCoreApplication::translate("zuz", "知道了。以后别再烦我了！！"), this);
    Chezhidaole->setObjectName(QStringLiteral("Chezhidaole"));
    Chezhidaole->setToolTip(
        region ? QCoreApplication::translate(
                     "zuz", "以后不再出现此对话框了！！不过右键菜单中按“关于”仍可显示！")
               : QCoreApplication::translate(
                     "zuz", "以后不再出现此对话框了！！不过右键中按“关于”仍能显示！"));
    Chezhidaole->setFont(simSun(10.5));
    setColors(Chezhidaole, kCheckText, kCheckBack);
    Chezhidaole->setGeometry(px(l.checkLeft, l.checkTop, 3855, 375));
    Chezhidaole->setFocusPolicy(Qt::NoFocus);
    connect(Chezhidaole, &QCheckBox::clicked, this, &Frmzdydhc::Chezhidaole_Click);

    Ima01 = tipartwork::buttonPicture(false);
    Ima02 = tipartwork::buttonPicture(true);
    const QString yesTip = QCoreApplication::translate("zuz", "离开，下次仍出现此对话框！");
    const QCursor hand = tipartwork::pointingHandCursor();

    Imyes = new TipImage(this);
    Imyes->setObjectName(QStringLiteral("Imyes"));
    Imyes->setPicture(Ima01);
    Imyes->setToolTip(yesTip);
    Imyes->setCursor(hand);
    Imyes->setGeometry(px(l.yesLeft, l.yesTop, 1005, 690));
    connect(Imyes, &TipLabel::mouseDown, this, &Frmzdydhc::Imyes_MouseDown);
    connect(Imyes, &TipLabel::mouseUp, this, &Frmzdydhc::Imyes_MouseUp);
    connect(Imyes, &TipLabel::clicked, this, &Frmzdydhc::Imyes_Click);

    Labyes = new TipLabel(QCoreApplication::translate("zuz", "是"), this);
    Labyes->setObjectName(QStringLiteral("Labyes"));
    Labyes->setToolTip(yesTip);
    Labyes->setFont(simSun(10.5, true));
    Labyes->setAlignment(Qt::AlignCenter);
    setColors(Labyes, kYellow);
    Labyes->setCursor(hand);
    Labyes->setGeometry(px(l.yesCapLeft, l.yesCapTop, 255, 210));
    connect(Labyes, &TipLabel::mouseDown, this, &Frmzdydhc::Labyes_MouseDown);
    connect(Labyes, &TipLabel::mouseUp, this, &Frmzdydhc::Labyes_MouseUp);
    connect(Labyes, &TipLabel::clicked, this, &Frmzdydhc::Labyes_Click);

    if (region) {
        Labjntswz = new TipLabel(QCoreApplication::translate("zuz", "按钮的位置："), this);
        Labjntswz->setObjectName(QStringLiteral("Labjntswz"));
        Labjntswz->setFont(simSun(9));
        setColors(Labjntswz, Qt::black, kButtonCaptionBack);
        Labjntswz->setGeometry(px(4440, 4320, 1080, 180));

        Imanwzts = new TipImage(this);
        Imanwzts->setObjectName(QStringLiteral("Imanwzts"));
        Imanwzts->setPicture(tipartwork::notificationAreaPicture());
        Imanwzts->setGeometry(px(5640, 4080, 1500, 765));
    }

    connect(Labdhkts, &TipLabel::mouseDown, this, &Frmzdydhc::Labdhkts_MouseDown);
    connect(Labdhkts, &TipLabel::mouseMove, this, &Frmzdydhc::Labdhkts_MouseMove);
}

void Frmzdydhc::Form_Load() {
    const Layout& l = tipLayout(m_variant);
    // 1. The check box centred: (window width - box width) / 2.
    const double checkLeft = (l.clientW - 3855) / 2;
    Chezhidaole->setGeometry(px(checkLeft, l.checkTop, 3855, 375));
    // 2. Topmost, which also shows the window.
    SetTopmost(this, true);
    // Shown without being activated, it would leave Esc to whichever
    // program had the keyboard.
    activateWindow();
    // 3. The exclamation icon.
    imgtanhaoha->show();
    imgtanhaoha->setGeometry(px(360, 360, 480, 480));
    // 4. The hint text.
    m_hintCaption = TipHintText(m_variant);
    QString shown = m_hintCaption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Labzinr->setText(shown);
}

void Frmzdydhc::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    auto& loaded = loadedDialogs();
    const auto found = loaded.find(m_variant);
    if (found != loaded.end() && found->second == this) loaded.erase(found);
    hide();
    emit unloaded();
    deleteLater();
}

void Frmzdydhc::closeEvent(QCloseEvent* event) {
    // Closing by the window system unloads the dialog like its buttons.
    event->accept();
    Unload();
}

void Frmzdydhc::paintEvent(QPaintEvent*) {
    // Shape1: a rectangle outline, transparent inside, across the top.
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(Shape1.adjusted(0, 0, -1, -1));
}

void Frmzdydhc::Chezhidaole_Click() {
    if (Chezhidaole->isChecked()) {
        const QString written = AppendTipMarker(m_variant, m_folders);
        // Neither folder can be written: the dialog stays open, the box
        // keeps its tick, and nothing is said.
        if (written.isEmpty()) return;
        m_written = written;
        Unload();
    } else {
        Unload();
    }
}

void Frmzdydhc::pressEffect(bool down) {
    Imyes->setPicture(down ? Ima02 : Ima01);
    setColors(Labyes, down ? kWhite : kYellow);
}

void Frmzdydhc::Imyes_Click() {
    Unload();
}
void Frmzdydhc::Labyes_Click() {
    Unload();
}
void Frmzdydhc::Imyes_MouseDown(int, int, double, double) {
    pressEffect(true);
}
void Frmzdydhc::Imyes_MouseUp(int, int, double, double) {
    pressEffect(false);
}
void Frmzdydhc::Labyes_MouseDown(int, int, double, double) {
    pressEffect(true);
}
void Frmzdydhc::Labyes_MouseUp(int, int, double, double) {
    pressEffect(false);
}

void Frmzdydhc::dragDown(int button, double x, double y) {
    if (button == 1) {
        m_mouseX = float(x);
        m_mouseY = float(y);
    }
}

void Frmzdydhc::dragMove(int button, double x, double y) {
    if (button != 1) return;
    const double left = pos().x() * m_tppX + (x - m_mouseX);
    const double top = pos().y() * m_tppY + (y - m_mouseY);
    move(units::cint(left / m_tppX), units::cint(top / m_tppY));
}

void Frmzdydhc::Form_MouseDown(int button, int, double x, double y) {
    dragDown(button, x, y);
}
void Frmzdydhc::Form_MouseMove(int button, int, double x, double y) {
    dragMove(button, x, y);
}
void Frmzdydhc::Labdhkts_MouseDown(int button, int, double x, double y) {
    dragDown(button, x, y);
}
void Frmzdydhc::Labdhkts_MouseMove(int button, int, double x, double y) {
    dragMove(button, x, y);
}

void Frmzdydhc::keyPressEvent(QKeyEvent* e) {
    // Esc leaves the dialog as "是" does: it comes back at the next start.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        Unload();
        return;
    }
    QWidget::keyPressEvent(e);
}

void Frmzdydhc::mousePressEvent(QMouseEvent* e) {
    const QPointF at = localPosition(*this, *e);
    Form_MouseDown(vbButton(e->button()), vbShift(e->modifiers()), at.x() * m_tppX,
                   at.y() * m_tppY);
}

void Frmzdydhc::mouseMoveEvent(QMouseEvent* e) {
    const QPointF at = localPosition(*this, *e);
    Form_MouseMove(vbButtons(e->buttons()), vbShift(e->modifiers()), at.x() * m_tppX,
                   at.y() * m_tppY);
}

// --- the program's one dialog ---------------------------------------------------

Frmzdydhc* LoadedTipDialog(TipVariant variant) {
    const auto& loaded = loadedDialogs();
    const auto found = loaded.find(variant);
    if (found == loaded.end() || !found->second || found->second->isUnloaded()) return nullptr;
    return found->second;
}

Frmzdydhc* ShowTipDialog(TipVariant variant) {
    return ShowTipDialog(variant, nullptr);
}

Frmzdydhc* ShowTipDialog(TipVariant variant, QWidget* owner) {
    if (Frmzdydhc* open = LoadedTipDialog(variant)) {
        // Showing it while it is open does not load it again.
        SetTopmost(open, true);
        open->activateWindow();
        return open;
    }
    auto* dialog = new Frmzdydhc(variant, owner);
    loadedDialogs()[variant] = dialog;
    dialog->Form_Load();
    return dialog;
}

void UnloadTipDialog(TipVariant variant) {
    if (Frmzdydhc* open = LoadedTipDialog(variant)) open->Unload();
}
