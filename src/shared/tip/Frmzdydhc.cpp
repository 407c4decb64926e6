#include "shared/tip/Frmzdydhc.h"

#include "shared/platform/screeninfo.h"
#include "shared/tip/tipartwork.h"
#include "shared/topmost.h"
#include "shared/units.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

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

// --- the window -------------------------------------------------------------

Frmzdydhc::Frmzdydhc(TipVariant variant, QWidget* parent)
    : Frmzdydhc(variant, DefaultTipMarkerFolders(variant), parent) {}

Frmzdydhc::Frmzdydhc(TipVariant variant, const TipMarkerFolders& folders, QWidget* parent)
    // A dialog-type window: transient for its owner (or the program), so
    // a window manager keeps it above the program's other windows.
    : MouseReporting(parent, Qt::Dialog | Qt::FramelessWindowHint), m_variant(variant),
      m_folders(folders) {
    const units::Screen s = tiplabels::screenNow();
    m_tppX = s.TwipsPerPixelX;
    m_tppY = s.TwipsPerPixelY;
    setObjectName(QStringLiteral("Frmzdydhc"));
    setWindowTitle(QStringLiteral("Form1"));
    // A screen reader reads this rather than the title of the form's design.
    setAccessibleName(QCoreApplication::translate("zuz", "提示"));
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

    Imyes = new TipPictureButton(this);
    Imyes->setObjectName(QStringLiteral("Imyes"));
    Imyes->setPicture(Ima01);
    Imyes->setToolTip(yesTip);
    // The dialog's button: named for screen readers, which hear it as one.
    Imyes->setAccessibleName(QCoreApplication::translate("zuz", "离开"));
    Imyes->setAccessibleDescription(yesTip);
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
    showHintText();
}

void Frmzdydhc::setWayBack(const TipWayBack& wayBack) {
    m_wayBack = wayBack;
    if (!m_hintCaption.isEmpty()) showHintText();
}

void Frmzdydhc::showHintText() {
    m_hintCaption = TipHintText(m_variant, m_wayBack);
    QString shown = m_hintCaption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Labzinr->setText(shown);
}

void Frmzdydhc::Unload() {
    if (!m_life.unload()) return;
    auto& loaded = loadedDialogs();
    const auto found = loaded.find(m_variant);
    if (found != loaded.end() && found->second == this) loaded.erase(found);
    hide();
    emit unloaded();
    deleteLater();
}

void Frmzdydhc::closeEvent(QCloseEvent* event) {
    // Closing by the window manager unloads the dialog like its buttons.
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

void Frmzdydhc::reportMouse(const MouseReport& r) {
    const QPointF at = tiplabels::localPosition(*this, r.event);
    const double x = at.x() * m_tppX;
    const double y = at.y() * m_tppY;
    switch (r.kind) {
    case MouseReport::Kind::Down:
    case MouseReport::Kind::DoubleClick:
        Form_MouseDown(r.button, r.shift, x, y);
        break;
    case MouseReport::Kind::Move:
        Form_MouseMove(r.button, r.shift, x, y);
        break;
    case MouseReport::Kind::Up:
        break;
    }
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

Frmzdydhc* ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack) {
    if (Frmzdydhc* open = LoadedTipDialog(variant)) {
        // Showing it while it is open does not load it again; its hints
        // follow what the desktop has given since.
        open->setWayBack(wayBack);
        SetTopmost(open, true);
        open->activateWindow();
        return open;
    }
    auto* dialog = new Frmzdydhc(variant, owner);
    loadedDialogs()[variant] = dialog;
    dialog->setWayBack(wayBack);
    dialog->Form_Load();
    return dialog;
}

void UnloadTipDialog(TipVariant variant) {
    if (Frmzdydhc* open = LoadedTipDialog(variant)) open->Unload();
}
