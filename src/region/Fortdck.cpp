// Loading, layout, painting and unloading of the magnified-region window.
#include "Fortdck.h"

#include "frmMainwn.h"

#include <QAction>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
const QColor kBackColor(0xC0, 0xC0, 0xFF);
const QColor kBorderColor(0, 0, 0);
} // namespace

Fortdck::Fortdck(frmMainwn& main)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), memory(main.fortdckMemory()),
      m_main(main) {
    setWindowTitle(QString());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    resize(320, 240);

    Timer1 = new VbTimer(1, this);
    Timgund = new VbTimer(50, this);
    Timgund2 = new VbTimer(50, this);
    Timer1->setEnabled(true);
    connect(Timer1, &VbTimer::Timer, this, &Fortdck::Timer1_Timer);
    connect(Timgund, &VbTimer::Timer, this, &Fortdck::Timgund_Timer);
    connect(Timgund2, &VbTimer::Timer, this, &Fortdck::Timgund2_Timer);
}

Fortdck::~Fortdck() = default;

units::Screen Fortdck::screen() const {
    return m_main.screen();
}
double Fortdck::Left() const {
    return screen().toTwipsX(x());
}
double Fortdck::Top() const {
    return screen().toTwipsY(y());
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
    move(screen().toPixelsX(twips), y());
}
void Fortdck::setTop(double twips) {
    move(x(), screen().toPixelsY(twips));
}

bool Fortdck::PictureFitsScreen() const {
    const units::Screen s = screen();
    return Imayulanpic.Width <= s.Width() && Imayulanpic.Height <= s.Height();
}

void Fortdck::LoadNaturalPicture() {
    Imayulanpic.Stretch = false;
    Imayulanpic.picture = m_main.clipboard().bitmap();
    const units::Screen s = screen();
    Imayulanpic.Width = s.toTwipsX(Imayulanpic.picture.width());
    Imayulanpic.Height = s.toTwipsY(Imayulanpic.picture.height());
}

void Fortdck::ReloadPicture() {
    // Whatever the clipboard holds now is shown, at the size the picture
    // has: another program may have replaced it meanwhile.
    Imayulanpic.picture = Imagls.picture;
    if (Imayulanpic.Stretch)
        Imayulanpic.picture = m_main.clipboard().bitmap();
    else
        LoadNaturalPicture();
    update();
}

void Fortdck::Form_Load() {
    LoadNaturalPicture();
    PixToHook = float(15 * screen().TwipsPerPixelX);
    LayoutEnlargedPicture();
    FitWindowToPicture(Imayulanpic);
}

void Fortdck::LayoutEnlargedPicture() {
    Imayulanpic.Stretch = true;
    // With no ratio ticked the window still opens, at the first ratio.
    int k = 1;
    if (m_main.mn1x2->isChecked())
        k = 1;
    else if (m_main.mn1x4->isChecked())
        k = 2;
    else if (m_main.mn1x6->isChecked())
        k = 3;
    Imayulanpic.Height = 2 * k * Imayulanpic.Height;
    Imayulanpic.Width = 2 * k * Imayulanpic.Width;
    const units::Screen s = screen();
    if (Imayulanpic.Height >= s.Height() || Imayulanpic.Width >= s.Width()) ReloadPicture();
}

void Fortdck::setWindowSize(double widthTwips, double heightTwips) {
    const units::Screen s = screen();
    const QSize wanted(std::max(2 * kBorderPx, s.toPixelsX(widthTwips)),
                       std::max(2 * kBorderPx, s.toPixelsY(heightTwips)));
    if (wanted != size()) resize(wanted);
    Form_Resize();
}

void Fortdck::FitWindowToPicture(RegionImage& picture) {
    const units::Screen s = screen();
    setWindowSize(std::min(Width() + picture.Width - ScaleWidth(), s.Width()), Height());
    setWindowSize(Width(), std::min(Height() + picture.Height - ScaleHeight(), s.Height()));
    setLeft((s.Width() - Width()) / 2);
    setTop((s.Height() - Height()) / 2);
}

void Fortdck::CenterPicture(RegionImage& picture) {
    picture.Left = (ScaleWidth() - picture.Width) / 2;
    picture.Top = (ScaleHeight() - picture.Height) / 2;
    update();
}

void Fortdck::Form_Resize() {
    CenterPicture(Imayulanpic);
}

void Fortdck::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void Fortdck::Unload() {
    if (m_life == Life::Unloaded) return;
    m_life = Life::Unloaded;
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

QRectF Fortdck::pictureRectPx() const {
    const units::Screen s = screen();
    return {kBorderPx + Imayulanpic.Left / s.TwipsPerPixelX,
            kBorderPx + Imayulanpic.Top / s.TwipsPerPixelY, Imayulanpic.Width / s.TwipsPerPixelX,
            Imayulanpic.Height / s.TwipsPerPixelY};
}

void Fortdck::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect outer = rect();
    const QRect client = outer.adjusted(kBorderPx, kBorderPx, -kBorderPx, -kBorderPx);
    QRegion border(outer);
    border -= client;
    for (const QRect& r : border & event->region())
        p.fillRect(r, kBorderColor);

    const QRectF target = pictureRectPx();
    const Picture& pic = Imayulanpic.picture;
    const QRectF visible = target & QRectF(client & event->rect());
    const bool drawPicture = !pic.isNull() && !visible.isEmpty();
    // The background goes wherever the picture does not cover a whole pixel.
    QRegion back = QRegion(client) & event->region();
    if (drawPicture) {
        const QPoint tl(int(std::ceil(visible.left())), int(std::ceil(visible.top())));
        const QPoint br(int(std::floor(visible.right())), int(std::floor(visible.bottom())));
        back -= QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y()));
    }
    for (const QRect& r : back)
        p.fillRect(r, kBackColor);
    if (!drawPicture) return;
    // Only the source pixels that land in the visible part are read: a
    // huge picture is neither scaled nor converted as a whole.
    const double sx = pic.width() / target.width();
    const double sy = pic.height() / target.height();
    const QRectF wanted((visible.x() - target.x()) * sx, (visible.y() - target.y()) * sy,
                        visible.width() * sx, visible.height() * sy);
    const QRect src = wanted.toAlignedRect() & pic.rect();
    const QRectF dst(target.x() + src.x() / sx, target.y() + src.y() / sy, src.width() / sx,
                     src.height() / sy);
    p.setClipRect(visible);
    if (src == pic.rect())
        p.drawImage(dst, pic);
    else
        p.drawImage(dst, pic.copy(src));
}

bool Fortdck::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        if (overPicture(he->globalPos()))
            QToolTip::showText(he->globalPos(), QStringLiteral("双击暂离"), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
