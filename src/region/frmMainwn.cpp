// Construction, start-up, geometry and exit of the control window.
#include "region/frmMainwn.h"

#include "shared/formplace.h"
#include "shared/platform/windowplacement.h"

#include "region/Fortdck.h"
#include "region/emptiedwindows.h"
#include "region/picker/cursors.h"
#include "region/picker/frmCaptureArea.h"
#include "shared/tip/Frmzdydhc.h"
#include "shared/topmost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

frmMainwn::frmMainwn(const Services& services, RegionClipboard& clipboard, QWidget* parent)
    : frmMainwn(services, *services.screen, clipboard, parent) {}

frmMainwn::frmMainwn(const Services& services, ScreenInfo& home, RegionClipboard& clipboard,
                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services),
      m_clipboard(clipboard), m_home(&home) {
    setWindowTitle(QString());
    EmptiedWindows::prepare(*this);
    buildButton();
    buildMenu();
    watchScreens();
    m_clipboard.setUnreachedReport([this] { InformationBox(RegionClipboard::unreachedText()); });
}

frmMainwn::~frmMainwn() {
    m_clipboard.setUnreachedReport({});
    m_picker.reset();
    delete m_fortdck.data();
}

void frmMainwn::buildButton() {
    Comzdy = new QPushButton(this);
    Comzdy->setObjectName(QStringLiteral("Comzdy"));
    Comzdy->setFocusPolicy(Qt::NoFocus);
    Comzdy->setToolTip(QCoreApplication::translate("zuz", "自定义区域（单击后拖动鼠标！）"));
    // A face without a caption: a screen reader reads this instead.
    Comzdy->setAccessibleName(QCoreApplication::translate("zuz", "自定义区域"));
    Comzdy->setAccessibleDescription(Comzdy->toolTip());
    // The window around it has no title; the program's name stands for it.
    setAccessibleName(QStringLiteral("Zonara"));
    Comzdy->setCursor(cursors::magnifier());
    // A plain face: no caption, no picture, a light grey that stands out
    // from most wallpapers without hiding what lies beside it.
    Comzdy->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #E0E0E0; border: 2px outset #F4F4F4; }"
                       "QPushButton:pressed { border-style: inset; }"));
    const units::Screen s = screen();
    Comzdy->setGeometry(0, 0, s.toPixelsX(495), s.toPixelsY(495));
    Comzdy->installEventFilter(this);
    connect(Comzdy, &QPushButton::clicked, this, &frmMainwn::Comzdy_Click);
}

units::Screen frmMainwn::screen() const {
    return m_home->screen();
}

double frmMainwn::Left() const {
    return formplace::twips(*this, screen(), m_home->geometry()).x();
}
double frmMainwn::Top() const {
    return formplace::twips(*this, screen(), m_home->geometry()).y();
}
// The size reads back as it was set while the window has that size, so
// that the placement below the size works with the 500 twips asked for,
// not with the whole pixels they became.
double frmMainwn::Width() const {
    const units::Screen s = screen();
    return s.toPixelsX(m_sizeTwips.width()) == width() ? m_sizeTwips.width() : s.toTwipsX(width());
}

double frmMainwn::Height() const {
    const units::Screen s = screen();
    return s.toPixelsY(m_sizeTwips.height()) == height() ? m_sizeTwips.height()
                                                         : s.toTwipsY(height());
}

void frmMainwn::setLeft(double twips) {
    formplace::setLeft(*this, screen(), m_home->geometry(), twips);
}
void frmMainwn::setTop(double twips) {
    formplace::setTop(*this, screen(), m_home->geometry(), twips);
}

void frmMainwn::setWidth(double twips) {
    m_sizeTwips.setWidth(twips);
    placement::resize(*this, QSize(screen().toPixelsX(twips), height()));
}

void frmMainwn::setHeight(double twips) {
    m_sizeTwips.setHeight(twips);
    placement::resize(*this, QSize(width(), screen().toPixelsY(twips)));
}

void frmMainwn::Form_Load() {
    // Sized and placed before the stay-on-top band shows it: shown first,
    // the button would appear elsewhere and then jump to its corner.
    setHeight(500);
    setWidth(500);
    PlaceInCorner();
    SetTopmost(this, true);
    ShowTipOnFirstRun();
}

void frmMainwn::PlaceInCorner() {
    // On the home monitor before it is placed: its twips and logical pixels
    // are that monitor's.
    if (QScreen* home = m_home->qscreen()) setScreen(home);
    const units::Screen s = screen();
    setLeft(s.Width() - Width());
    setTop(s.Height() - 1.8 * Height());
    // Qt rounds the corner and the size to device pixels apart: at
    // a fractional ratio the right edge can come out a device pixel beyond
    // the monitor's, and the button would be cut.
    const double r = s.DevicePixelRatio;
    const int left = x() - m_home->geometry().left();
    if (qRound(left * r) + qRound(width() * r) > s.deviceWidthPx) move(x() - 1, y());
}

void frmMainwn::ShowTipOnFirstRun() {
    if (!prompts().TipMarkerExists(TipVariant::Region))
        prompts().ShowTipDialog(TipVariant::Region, nullptr, {});
}

Fortdck* frmMainwn::fortdck() const {
    return m_fortdck.data();
}

void frmMainwn::LoadFortdck() {
    UnloadFortdck();
    m_fortdck = new Fortdck(*this);
    connect(m_fortdck.data(), &Fortdck::unloaded, this, [this] { m_fortdck = nullptr; });
    m_fortdck->Form_Load();
    m_fortdck->show();
}

void frmMainwn::UnloadFortdck() {
    if (m_fortdck) m_fortdck->Unload();
}

void frmMainwn::Form_Unload() {
    if (m_phase == Phase::Ending) return;
    m_phase = Phase::Ending;
    // Only our own picture goes: one that the user copied in another
    // program since then is theirs to keep.
    if (m_clipboard.holdsOwnBitmap()) m_clipboard.clear();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible()) w->close();
    }
    UnloadFortdck();
    prompts().UnloadTipDialog(TipVariant::Region);
    if (m_picker) m_picker->Unload();
}

void frmMainwn::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    QCoreApplication::quit();
}

void frmMainwn::InformationBox(const QString& text) {
    prompts().MessageBox(text, QApplication::applicationName());
}

void frmMainwn::OpenMailLink(const QUrl& link) {
    QDesktopServices::openUrl(link);
}
