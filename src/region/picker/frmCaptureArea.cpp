// Loading, painting and unloading of the area picker.
#include "region/picker/frmCaptureArea.h"

#include "shared/paintbuffer.h"
#include "shared/platform/windowplacement.h"

#include "region/picker/cursors.h"
#include "region/picker/devicepixels.h"
#include "region/picker/windowsystem.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

namespace {
// The outline of an inclusive pixel rectangle, one pixel wide.
QRegion outlineArea(int x0, int y0, int x1, int y1) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    QRegion r(x0, y0, x1 - x0 + 1, 1);
    r += QRect(x0, y1, x1 - x0 + 1, 1);
    r += QRect(x0, y0, 1, y1 - y0 + 1);
    r += QRect(x1, y0, 1, y1 - y0 + 1);
    return r;
}
} // namespace

frmCaptureArea::frmCaptureArea(CaptureAreaOwner& owner)
    : MouseReporting(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                  Qt::BypassWindowManagerHint),
      m_owner(owner), m_font(LabelFont()) {
    setWindowTitle(QStringLiteral("Capture Area"));
    watchPointerEvents();
    // Every pixel is painted from the frozen screen; nothing is to be
    // cleared first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    const ScreenInfo& monitor = *m_owner.services().screen;
    m_ratio = monitor.screen().DevicePixelRatio;
    // On its monitor before it is placed: a logical geometry means device
    // pixels only on the monitor whose ratio it was worked out with.
    if (QScreen* s = monitor.qscreen()) setScreen(s);
    placement::cover(*this, monitor.qscreen(), monitor.geometry());
}

frmCaptureArea::~frmCaptureArea() = default;

QFont frmCaptureArea::LabelFont() {
    QFont f(QStringLiteral("MS Sans Serif"), 12);
    f.setBold(true);
    return f;
}

void frmCaptureArea::Form_Load() {
    const Services& s = m_owner.services();
    m_ratio = s.screen->screen().DevicePixelRatio;
    // Answered at once where the screen is read directly (X11, Windows),
    // later where the desktop is asked (the portal).
    connect(s.grabber, &ScreenGrabber::grabbed, this,
            [this](const QObject* asker, const QImage& picture) {
                if (asker == this) Captured(picture, {});
            });
    connect(s.grabber, &ScreenGrabber::failed, this,
            [this](const QObject* asker, const QString& why) {
                if (asker == this) Captured({}, why);
            });
    const QRect monitor = s.screen->nativeGeometry();
    if (monitor.isEmpty()) {
        Captured({}, {});
        return;
    }
    // Made now, hidden, while the desktop takes the picture (the portal),
    // so that showing it then is only mapping it. Not shown before: it
    // would be in the picture.
    create();
    readyPaintBuffer(*this, size(), *s.grabber);
    capturetiming::mark("picker asks");
    s.grabber->request(monitor, this);
    // Where the answer is yet to come.
    s.grabber->runMeanwhile();
}

void frmCaptureArea::Captured(const QImage& picture, const QString& why) {
    capturetiming::mark("picker has picture");
    ScreenGrabber* grabber = m_owner.services().grabber;
    disconnect(grabber, nullptr, this, nullptr);
    // What an answer at once left undone is not done after it.
    grabber->setMeanwhile(nullptr);
    m_background = CreateBitmapPicture(picture);
    if (!why.isEmpty()) m_owner.InformationBox(why);
    emit captured();
}

PointL frmCaptureArea::devicePoint(double x, double y) const {
    return {units::cint(x * m_ratio), units::cint(y * m_ratio)};
}

QRectF frmCaptureArea::toLogical(const QRect& device) const {
    return devicepixels::toLogical(device, m_ratio);
}

void frmCaptureArea::ShowModal() {
    if (!isLoaded()) return;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    // Esc must reach the picker although no window manager gives it the
    // focus.
    grabKeyboard();
    capturetiming::mark("picker shown");
}

void frmCaptureArea::firstPaintHandedOver() {
    setCursor(cursors::thinCross());
    emit painted();
    // Asked for only now: on Wayland the request is a token of the
    // compositor's, which KWin takes some 15 ms to make, and the window's
    // first configure waits behind it. X11 would have deferred it to the
    // map in any case, and most desktops give a program's new window the
    // focus on their own.
    if (isLoaded() && !isActiveWindow()) activateWindow();
}

void frmCaptureArea::Unload() {
    if (!m_life.unload()) return;
    m_state = State::Idle;
    releaseKeyboard();
    hide();
    emit unloaded();
}

void frmCaptureArea::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

bool frmCaptureArea::ShowsSizeLabel(const RectL& region, double ratio) {
    return (double(region.Right) - region.Left) / ratio > 100 &&
           (double(region.Bottom) - region.Top) / ratio > 100;
}

QString frmCaptureArea::SizeLabelText(const RectL& region) {
    return QStringLiteral(" %1 x %2 ")
        .arg(std::int64_t(region.Right) - region.Left)
        .arg(std::int64_t(region.Bottom) - region.Top);
}

QRect frmCaptureArea::SizeLabelRect(const RectL& region, double ratio) {
    const double left = region.Left / ratio;
    const double top = region.Top / ratio;
    const double right = region.Right / ratio;
    const double bottom = region.Bottom / ratio;
    const int labelTop = units::cint((bottom - top) / 2 + top - 5);
    return QRect(QPoint(units::cint(left), labelTop),
                 QPoint(units::cint(right) - 1, units::cint(bottom) - 1));
}

bool frmCaptureArea::hasSizeLabel() const {
    return m_state == State::Outlined && ShowsSizeLabel(m_region, m_ratio);
}

QRect frmCaptureArea::sizeLabelRect() const {
    return SizeLabelRect(m_region, m_ratio);
}
QString frmCaptureArea::sizeLabelText() const {
    return SizeLabelText(m_region);
}

QRect frmCaptureArea::labelTextRect() const {
    const QRect label = sizeLabelRect();
    const QFontMetrics fm(m_font);
    const int w = fm.horizontalAdvance(sizeLabelText());
    // A little slack on each side for glyphs that overhang their advance.
    const QRect text(label.left() + (label.width() - w) / 2 - 2, label.top(), w + 4, fm.height());
    return text & label;
}

QRegion frmCaptureArea::drawnArea() const {
    if (m_state != State::Outlined) return {};
    QRegion r;
    for (const QRect& d : outlineArea(m_start.x, m_start.y, m_end.x, m_end.y) +
                              outlineArea(m_start.x + 1, m_start.y + 1, m_end.x - 1, m_end.y - 1))
        r += devicepixels::coveringLogical(d, m_ratio);
    // The label is drawn in logical pixels, but its glyphs land on device
    // pixels as the outlines do.
    if (hasSizeLabel())
        r += devicepixels::coveringLogical(devicepixels::covering(labelTextRect(), m_ratio),
                                           m_ratio);
    return r;
}

void frmCaptureArea::ClearWindow() {
    // Only what the last move drew is painted over with the frozen screen.
    update(drawnArea());
    if (m_state == State::Outlined) m_state = State::Pressed;
}

void frmCaptureArea::paintEvent(QPaintEvent* event) {
    if (std::exchange(m_firstPaint, false)) {
        capturetiming::mark("picker first paint");
        // Once this paint has been handed over, outside it.
        QMetaObject::invokeMethod(this, &frmCaptureArea::firstPaintHandedOver,
                                  Qt::QueuedConnection);
    }
    QPainter p(this);
    // Unscaled, whole pixels take the painter's plain blits and fills.
    const bool unscaled = m_ratio == 1;
    const auto fill = [&](const QRect& device, const QColor& colour) {
        if (unscaled)
            p.fillRect(device, colour);
        else
            p.fillRect(toLogical(device), colour);
    };
    // Whole device pixels of the frozen picture onto as many of the window:
    // the monitor shows exactly as it was.
    for (const QRect& r : event->region()) {
        const QRect d = devicepixels::covering(r, m_ratio);
        const QRect part = d & m_background.rect();
        if (!part.isEmpty()) {
            if (unscaled)
                p.drawImage(part.topLeft(), m_background, part);
            else
                p.drawImage(toLogical(part), m_background, QRectF(part));
        }
        if (part != d)
            for (const QRect& rest : QRegion(d) - part)
                fill(rest, Qt::black);
    }
    if (m_state != State::Outlined) return;
    for (const QRect& r : outlineArea(m_start.x + 1, m_start.y + 1, m_end.x - 1, m_end.y - 1))
        fill(r, Qt::white);
    for (const QRect& r : outlineArea(m_start.x, m_start.y, m_end.x, m_end.y))
        fill(r, Qt::black);
    if (hasSizeLabel()) {
        const QRect label = sizeLabelRect();
        p.setClipRect(label, Qt::IntersectClip);
        p.setFont(m_font);
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, sizeLabelText());
    }
}
