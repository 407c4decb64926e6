// Construction, start-up, geometry and exit of the control window.
#include "frmMainwn.h"

#include "Fortdck.h"
#include "cursors.h"
#include "frmCaptureArea.h"
#include "tip/Frmzdydhc.h"
#include "topmost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

frmMainwn::frmMainwn(const Services& services, RegionClipboard& clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services),
      m_clipboard(clipboard) {
    setWindowTitle(QString());
    buildButton();
    buildMenu();
}

frmMainwn::~frmMainwn() {
    m_picker.reset();
    delete m_fortdck.data();
}

void frmMainwn::buildButton() {
    Comzdy = new QPushButton(this);
    Comzdy->setObjectName(QStringLiteral("Comzdy"));
    Comzdy->setFocusPolicy(Qt::NoFocus);
    Comzdy->setToolTip(QStringLiteral("自定义区域（单击后拖动鼠标！）"));
    Comzdy->setCursor(cursors::magnifier());
    // A plain face: no caption, no picture, the light grey of the design.
    Comzdy->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #E0E0E0; border: 2px outset #F4F4F4; }"
                       "QPushButton:pressed { border-style: inset; }"));
    const units::Screen s = screen();
    Comzdy->setGeometry(0, 0, s.toPixelsX(495), s.toPixelsY(495));
    Comzdy->installEventFilter(this);
    connect(Comzdy, &QPushButton::clicked, this, &frmMainwn::Comzdy_Click);
}

units::Screen frmMainwn::screen() const {
    return m_services.screen->screen();
}

double frmMainwn::Left() const {
    return screen().toTwipsX(x());
}
double frmMainwn::Top() const {
    return screen().toTwipsY(y());
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
    move(screen().toPixelsX(twips), y());
}
void frmMainwn::setTop(double twips) {
    move(x(), screen().toPixelsY(twips));
}

void frmMainwn::setWidth(double twips) {
    m_sizeTwips.setWidth(twips);
    resize(screen().toPixelsX(twips), height());
}

void frmMainwn::setHeight(double twips) {
    m_sizeTwips.setHeight(twips);
    resize(width(), screen().toPixelsY(twips));
}

void frmMainwn::Form_Load() {
    SetTopmost(this, true);
    setHeight(500);
    setWidth(500);
    const units::Screen s = screen();
    setLeft(s.Width() - Width());
    setTop(s.Height() - 1.8 * Height());
    ShowTipOnFirstRun();
}

void frmMainwn::ShowTipOnFirstRun() {
    if (!TipMarkerExists()) ShowTipDialog();
}

bool frmMainwn::TipMarkerExists() const {
    return ::TipMarkerExists(TipVariant::Region);
}
void frmMainwn::ShowTipDialog() {
    ::ShowTipDialog(TipVariant::Region);
}
void frmMainwn::UnloadTipDialog() {
    ::UnloadTipDialog(TipVariant::Region);
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
    UnloadTipDialog();
    if (m_picker) m_picker->Unload();
}

void frmMainwn::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    QCoreApplication::quit();
}

void frmMainwn::PopupMenu(QMenu* menu) {
    menu->exec(QCursor::pos());
}

QString frmMainwn::InputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void frmMainwn::InformationBox(const QString& text) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text,
                    QMessageBox::Ok);
    box.exec();
}

void frmMainwn::OpenMailLink(const QUrl& link) {
    QDesktopServices::openUrl(link);
}
