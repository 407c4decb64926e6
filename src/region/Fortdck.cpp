// Loading, layout and unloading of the magnified-region window.
#include "region/Fortdck.h"

#include "shared/formplace.h"
#include "shared/platform/windowplacement.h"

#include "region/emptiedwindows.h"
#include "region/frmMainwn.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>

Fortdck::Fortdck(frmMainwn& main)
    : MouseReporting(nullptr, Qt::Window | Qt::FramelessWindowHint), memory(main.fortdckMemory()),
      m_main(main) {
    setWindowTitle(QString());
    // Without a title, what a screen reader reads out.
    setAccessibleName(QCoreApplication::translate("zuz", "放大的区域"));
    setAccessibleDescription(QCoreApplication::translate("zuz", "按F1查看按键"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    EmptiedWindows::prepare(*this);
    setMouseTracking(true);
    resize(320, 240);

    Timer1 = new VbTimer(1, this);
    Timgund = new VbTimer(50, this);
    Timgund2 = new VbTimer(50, this);
    // The poll answers one question, which scroll timer to run; it runs
    // only while that question is open (see Timer1_Timer), not for the
    // window's whole life: at a millisecond it would keep the program
    // awake all the time.
    Timer1->setEnabled(m_main.scrollSwitch().isOn());
    connect(&m_main.scrollSwitch(), &ScrollSwitch::changed, this, &Fortdck::ScrollSwitchChanged);
    connect(Timer1, &VbTimer::Timer, this, &Fortdck::Timer1_Timer);
    connect(Timgund, &VbTimer::Timer, this, &Fortdck::Timgund_Timer);
    connect(Timgund2, &VbTimer::Timer, this, &Fortdck::Timgund2_Timer);
    connect(&m_main.aids(), &ColourAids::changed, this, &Fortdck::aidsChanged);
}

Fortdck::~Fortdck() = default;

units::Screen Fortdck::screen() const {
    return m_main.services().screen->screen();
}
QRect Fortdck::monitor() const {
    return m_main.services().screen->geometry();
}
double Fortdck::Left() const {
    return formplace::twips(*this, screen(), monitor()).x();
}
double Fortdck::Top() const {
    return formplace::twips(*this, screen(), monitor()).y();
}
double Fortdck::Width() const {
    return screen().toTwipsX(width());
}
double Fortdck::Height() const {
    return screen().toTwipsY(height());
}
double Fortdck::ScaleWidth() const {
    return screen().toTwipsX(width() - 2 * kBorderPx);
}
double Fortdck::ScaleHeight() const {
    return screen().toTwipsY(height() - 2 * kBorderPx);
}
void Fortdck::setLeft(double twips) {
    formplace::setLeft(*this, screen(), monitor(), twips);
}
void Fortdck::setTop(double twips) {
    formplace::setTop(*this, screen(), monitor(), twips);
}

bool Fortdck::PictureFitsScreen() const {
    const units::Screen s = screen();
    return Imayulanpic.Width <= s.Width() && Imayulanpic.Height <= s.Height();
}

QSizeF Fortdck::naturalSize() const {
    // Without a picture the image keeps a size of its own: the window then
    // shows its background instead of shrinking to its border.
    if (Imayulanpic.picture.isNull()) return kEmptyImageTwips;
    // The bitmap holds device pixels of the monitor it was taken from.
    const units::Screen s = screen();
    return {s.pictureTwipsX(Imayulanpic.picture.width()),
            s.pictureTwipsY(Imayulanpic.picture.height())};
}

void Fortdck::LoadNaturalPicture() {
    ShowNaturalPicture(m_main.clipboard().bitmap());
}

void Fortdck::ShowNaturalPicture(const QImage& picture) {
    Imayulanpic.Stretch = false;
    Imayulanpic.picture = picture;
    const QSizeF natural = naturalSize();
    Imayulanpic.Width = natural.width();
    Imayulanpic.Height = natural.height();
}

void Fortdck::ReloadPicture() {
    // Whatever picture the clipboard holds now is shown, at the size the
    // picture has: another program may have replaced it meanwhile. Anything
    // that gives no picture leaves the shown one as it is rather than blank
    // it: text copied since, an emptied clipboard, or data that only claims
    // to be a picture (undecodable, empty, or too large for the decoder).
    m_main.clipboard().requestBitmap(this,
                                     [this](const QImage& picture) { ShowReloaded(picture); });
}

void Fortdck::ShowReloaded(const QImage& picture) {
    if (picture.isNull()) return;
    Imayulanpic.picture = Imagls.picture;
    if (Imayulanpic.Stretch)
        Imayulanpic.picture = picture;
    else
        ShowNaturalPicture(picture);
    update();
}

void Fortdck::placeOnMonitor() {
    m_monitor = m_main.services().screen->qscreen();
    m_hadMonitor = !m_monitor.isNull();
    if (m_monitor) setScreen(m_monitor);
}

void Fortdck::Form_Load() {
    placeOnMonitor();
    LoadNaturalPicture();
    PixToHook = float(15 * screen().TwipsPerPixelX);
    LayoutEnlargedPicture();
    FitWindowToPicture(Imayulanpic);
}

void Fortdck::LayoutEnlargedPicture() {
    Imayulanpic.Stretch = true;
    m_enlargement = m_main.ratio().factor();
    Imayulanpic.Height = m_enlargement * Imayulanpic.Height;
    Imayulanpic.Width = m_enlargement * Imayulanpic.Width;
    const units::Screen s = screen();
    if (Imayulanpic.Height >= s.Height() || Imayulanpic.Width >= s.Width()) ReloadPicture();
}

void Fortdck::FitWindowToPicture(RegionImage& picture) {
    const units::Screen s = screen();
    const int border = borderDevicePx();
    const QSize wanted(windowSpanPx(s.toDeviceX(picture.Width), border, s.widthPx),
                       windowSpanPx(s.toDeviceY(picture.Height), border, s.heightPx));
    if (wanted != size()) placement::resize(*this, wanted);
    Form_Resize();
    m_layoutScreen = s;
    setLeft((s.Width() - Width()) / 2);
    setTop((s.Height() - Height()) / 2);
    // A new size of picture or screen may call for another scroll timer.
    AskForScrollTimer();
}

void Fortdck::CenterPicture(RegionImage& picture) {
    picture.Left = (ScaleWidth() - picture.Width) / 2;
    picture.Top = (ScaleHeight() - picture.Height) / 2;
    update();
}

bool Fortdck::LostItsMonitor() const {
    return m_hadMonitor && m_monitor.isNull();
}

bool Fortdck::MonitorChangedSinceLayout() const {
    return LostItsMonitor() || screen() != m_layoutScreen;
}

void Fortdck::ReturnToScreen() {
    placeOnMonitor();
    const QSizeF natural = naturalSize();
    Imayulanpic.Width = m_enlargement * natural.width();
    Imayulanpic.Height = m_enlargement * natural.height();
    FitWindowToPicture(Imayulanpic);
}

void Fortdck::Form_Resize() {
    CenterPicture(Imayulanpic);
}

void Fortdck::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void Fortdck::Unload() {
    if (!m_life.unload()) return;
    Timer1->setEnabled(false);
    Timgund->setEnabled(false);
    Timgund2->setEnabled(false);
    hide();
    emit unloaded();
    deleteLater();
}

void Fortdck::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

bool Fortdck::event(QEvent* e) {
    // The crosshairs go with the pointer.
    if (e->type() == QEvent::Leave && m_main.aids().crosshairs() == colouraids::Switch::On)
        update();
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        if (overPicture(he->globalPos()))
            QToolTip::showText(he->globalPos(), QCoreApplication::translate("zuz", "双击暂离"),
                               this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
