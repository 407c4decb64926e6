#include "shared/colouraids.h"

#include <algorithm>
#include <thread>

namespace colouraids {

namespace {

using Table = std::array<std::uint8_t, 256>;

// In integers: with d = 2v - 255 (twice the distance from the middle, odd)
// and h the factor in halves, 4v' = 510 + h d; a half is rounded away from
// the middle.
std::uint8_t contrasted(int v, int halves) {
    const int n = halves * (2 * v - 255);
    int out = 0;
    if (n >= 0)
        out = (512 + n) / 4;
    else if (508 + n > 0)
        out = (508 + n + 3) / 4;
    return std::uint8_t(std::clamp(out, 0, 255));
}

const Table& table(Contrast contrast, Switch inversion) {
    static const auto tables = [] {
        std::array<Table, 6> all{};
        for (int c = 0; c < 3; ++c) {
            for (int inv = 0; inv < 2; ++inv) {
                Table& t = all[c * 2 + inv];
                for (int v = 0; v < 256; ++v) {
                    const std::uint8_t out = contrasted(v, contrastHalves(Contrast(c)));
                    t[v] = inv ? std::uint8_t(255 - out) : out;
                }
            }
        }
        return all;
    }();
    return tables[int(contrast) * 2 + (inversion == Switch::On ? 1 : 0)];
}

// Rows of 32-bit pixels; `from` and `to` may be the same memory.
struct Rows {
    const uchar* from;
    qsizetype fromStride;
    uchar* to;
    qsizetype toStride;
};

void applyRows(const Rows& rows, const QRect& area, const ColourRule& rule) {
    const Table& t = table(rule.contrast, rule.inversion);
    const bool grey = rule.greyscale == Switch::On;
    const bool tableOnly = grey || rule.contrast != Contrast::Normal;
    const bool invert = rule.inversion == Switch::On;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* p =
            reinterpret_cast<const QRgb*>(rows.from + y * rows.fromStride) + area.left();
        const QRgb* const end = p + area.width();
        QRgb* o = reinterpret_cast<QRgb*>(rows.to + y * rows.toStride) + area.left();
        if (!tableOnly) {
            const QRgb flip = invert ? 0x00ffffffu : 0;
            for (; p != end; ++p, ++o)
                *o = *p ^ flip;
        } else if (grey) {
            for (; p != end; ++p, ++o) {
                const QRgb v = *p;
                const QRgb g = t[luma(qRed(v), qGreen(v), qBlue(v))];
                *o = (v & 0xff000000u) | (g << 16) | (g << 8) | g;
            }
        } else {
            for (; p != end; ++p, ++o) {
                const QRgb v = *p;
                *o = (v & 0xff000000u) | (QRgb(t[qRed(v)]) << 16) | (QRgb(t[qGreen(v)]) << 8) |
                     t[qBlue(v)];
            }
        }
    }
}

// A screen's worth on a 4K monitor takes about 15 ms on one core; the
// picture is split in two bands of rows, the lower one on a thread of its
// own, so that a key shows its change within a frame or two.
template <class Work>
void inBands(const QImage& from, QImage& to, const QRect& area, const Work& work) {
    constexpr qint64 kSplitFrom = 1 << 20;
    // Pointers taken once: bits() detaches a shared picture, which the two
    // threads must not do each.
    uchar* const out = to.bits();
    const Rows rows{from.constBits(), from.bytesPerLine(), out, to.bytesPerLine()};
    if (qint64(area.width()) * area.height() < kSplitFrom ||
        std::thread::hardware_concurrency() < 2) {
        work(rows, area);
        return;
    }
    const int half = area.height() / 2;
    const QRect top(area.left(), area.top(), area.width(), half);
    const QRect bottom(area.left(), area.top() + half, area.width(), area.height() - half);
    std::thread lower([&] { work(rows, bottom); });
    work(rows, top);
    lower.join();
}

void applyInBands(const QImage& from, QImage& to, const QRect& area, const ColourRule& rule) {
    inBands(from, to, area,
            [&rule](const Rows& rows, const QRect& a) { applyRows(rows, a, rule); });
}

bool direct(QImage::Format f) {
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

int contrastHalves(Contrast c) {
    switch (c) {
    case Contrast::Normal:
        return 2;
    case Contrast::High:
        return 3;
    case Contrast::Higher:
        return 4;
    }
    return 2;
}

std::uint8_t channel(std::uint8_t v, Contrast contrast, Switch inversion) {
    return table(contrast, inversion)[v];
}

int luma(int r, int g, int b) {
    return (77 * r + 150 * g + 29 * b + 128) >> 8;
}

QRgb applied(QRgb pixel, const ColourRule& rule) {
    QImage one(1, 1, QImage::Format_ARGB32);
    one.setPixel(0, 0, pixel);
    apply(one, rule);
    return one.pixel(0, 0);
}

void apply(QImage& image, const ColourRule& rule) {
    apply(image, image.rect(), rule);
}

void apply(QImage& image, const QRect& area, const ColourRule& rule) {
    if (!rule.changesColour() || image.isNull()) return;
    if (!direct(image.format())) image.convertTo(QImage::Format_ARGB32);
    const QRect within = area & image.rect();
    if (within.isEmpty()) return;
    // In place: a shared picture is detached first and read from its copy.
    applyInBands(image, image, within, rule);
}

bool transformInto(const QImage& from, QImage& to, const ColourRule& rule) {
    if (from.size() != to.size() || !direct(from.format()) || !direct(to.format())) return false;
    applyInBands(from, to, from.rect(), rule);
    return true;
}

bool dimInto(const QImage& from, QImage& to, int alpha) {
    if (from.size() != to.size() || !direct(from.format()) || !direct(to.format())) return false;
    Table t;
    for (int v = 0; v < 256; ++v)
        t[v] = std::uint8_t((v * (255 - alpha) + 127) / 255);
    inBands(from, to, from.rect(), [&t](const Rows& rows, const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QRgb* p = reinterpret_cast<const QRgb*>(rows.from + y * rows.fromStride);
            QRgb* o = reinterpret_cast<QRgb*>(rows.to + y * rows.toStride);
            for (const QRgb* const end = p + area.width(); p != end; ++p, ++o)
                *o = (*p & 0xff000000u) | (QRgb(t[qRed(*p)]) << 16) | (QRgb(t[qGreen(*p)]) << 8) |
                     t[qBlue(*p)];
        }
    });
    return true;
}

QImage transformed(const QImage& image, const ColourRule& rule) {
    if (!rule.changesColour()) return image;
    QImage copy = image.copy();
    apply(copy, rule);
    return copy;
}

namespace overlay {

std::array<QRect, 4> crosshairArms(const QRect& screen, QPoint pointer) {
    const int half = kCrosshairWidth / 2;
    const QRect across(screen.left(), pointer.y() - half, screen.width(), kCrosshairWidth);
    const QRect down(pointer.x() - half, screen.top(), kCrosshairWidth, screen.height());
    const int gapLeft = pointer.x() - kCrosshairGap, gapRight = pointer.x() + kCrosshairGap;
    const int gapTop = pointer.y() - kCrosshairGap, gapBottom = pointer.y() + kCrosshairGap;
    return {
        QRect(QPoint(across.left(), across.top()), QPoint(gapLeft - 1, across.bottom())) & screen,
        QRect(QPoint(gapRight + 1, across.top()), QPoint(across.right(), across.bottom())) & screen,
        QRect(QPoint(down.left(), down.top()), QPoint(down.right(), gapTop - 1)) & screen,
        QRect(QPoint(down.left(), gapBottom + 1), QPoint(down.right(), down.bottom())) & screen,
    };
}

QRect bandStrip(const QRect& screen, int centreY, int heightPercent) {
    const int height = std::max(1, screen.height() * heightPercent / 100);
    return QRect(screen.left(), centreY - height / 2, screen.width(), height) & screen;
}

std::array<QRect, 2> bandShades(const QRect& screen, int centreY, int heightPercent) {
    const int height = std::max(1, screen.height() * heightPercent / 100);
    const int top = centreY - height / 2;
    const int bottom = top + height; // first row below the strip
    return {
        QRect(QPoint(screen.left(), screen.top()), QPoint(screen.right(), top - 1)) & screen,
        QRect(QPoint(screen.left(), bottom), QPoint(screen.right(), screen.bottom())) & screen,
    };
}

} // namespace overlay

bool BandPlace::follow(int pointerY, PictureMotion motion) {
    if (motion == PictureMotion::MovingByItself || pointerY == m_centre) return false;
    m_centre = pointerY;
    return true;
}

} // namespace colouraids

int ColourAids::bandHeight(int screenHeight) const {
    return std::max(1, screenHeight * m_bandPercent / 100);
}

void ColourAids::setInversion(Switch s) {
    if (m_rule.inversion == s) return;
    m_rule.inversion = s;
    emit changed(Aspect::Colour);
}

void ColourAids::setGreyscale(Switch s) {
    if (m_rule.greyscale == s) return;
    m_rule.greyscale = s;
    emit changed(Aspect::Colour);
}

void ColourAids::setContrast(Contrast c) {
    if (m_rule.contrast == c) return;
    m_rule.contrast = c;
    emit changed(Aspect::Colour);
}

void ColourAids::setSmoothing(Smoothing s) {
    if (m_smoothing == s) return;
    m_smoothing = s;
    emit changed(Aspect::Smoothing);
}

void ColourAids::setCrosshairs(Switch s) {
    if (m_crosshairs == s) return;
    m_crosshairs = s;
    emit changed(Aspect::Crosshairs);
}

void ColourAids::setBand(Switch s) {
    if (m_band == s) return;
    m_band = s;
    emit changed(Aspect::Band);
}

void ColourAids::setBandPercent(int percent) {
    percent = std::clamp(percent, colouraids::overlay::kBandMinPercent,
                         colouraids::overlay::kBandMaxPercent);
    if (m_bandPercent == percent) return;
    m_bandPercent = percent;
    emit changed(Aspect::Band);
}

void ColourAids::flipSmoothing() {
    setSmoothing(m_smoothing == Smoothing::Sharp ? Smoothing::Smooth : Smoothing::Sharp);
}

void ColourAids::stepContrast(int direction) {
    const int n = (int(m_rule.contrast) + (direction < 0 ? 2 : 1)) % 3;
    setContrast(Contrast(n));
}

bool ColourAids::wheelBand(int angleDelta) {
    if (m_band != Switch::On) return false;
    // High-resolution wheels send parts of a notch: they add up.
    m_wheelRest += angleDelta;
    const int notches = m_wheelRest / 120;
    m_wheelRest -= notches * 120;
    if (notches != 0)
        setBandPercent(m_bandPercent + notches * colouraids::overlay::kBandPercentPerNotch);
    return true;
}
