#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>

// Aids for reading an enlarged picture: colour changes made to the
// picture itself, and the crosshairs and reading band drawn over it. The
// state lives as long as the program, so a later picture starts with the
// aids the user left on; nothing of it is saved.
namespace colouraids {

enum class Switch { Off, On };
// Contrast about the middle grey: Normal, then 1.5 and 2 times.
enum class Contrast { Normal, High, Higher };
// How the picture is enlarged: Sharp takes the nearest pixel, Smooth mixes
// the four nearest (bilinear).
enum class Smoothing { Sharp, Smooth };

inline Switch flipped(Switch s) {
    return s == Switch::On ? Switch::Off : Switch::On;
}

// The colour rule, applied to every pixel in this order:
// 1. greyscale: Y = (77 R + 150 G + 29 B + 128) >> 8 (the BT.601 weights in
//    256ths, rounded), written to all three channels;
// 2. contrast: v' = 127.5 + f (v - 127.5), f 1 / 1.5 / 2, clamped to 0..255,
//    a half rounded away from the middle (so the table is symmetric:
//    c(255 - v) = 255 - c(v), and inversion and contrast commute);
// 3. inversion: 255 - v on each channel.
// Alpha is left as it is.
struct ColourRule {
    Switch greyscale = Switch::Off;
    Contrast contrast = Contrast::Normal;
    Switch inversion = Switch::Off;

    bool changesColour() const {
        return greyscale == Switch::On || contrast != Contrast::Normal || inversion == Switch::On;
    }
    bool operator==(const ColourRule&) const = default;
};

// The contrast factor in halves: 2, 3, 4.
int contrastHalves(Contrast c);
// One channel through contrast and inversion (the tables' entries).
std::uint8_t channel(std::uint8_t v, Contrast contrast, Switch inversion);
int luma(int r, int g, int b);
// One pixel through the whole rule.
QRgb applied(QRgb pixel, const ColourRule& rule);

// The rule applied in place to `area` of `image` (RGB32 or ARGB32, or an
// opaque ARGB32_Premultiplied; other formats are converted to ARGB32
// first). Tables, no floating point per pixel.
void apply(QImage& image, const ColourRule& rule);
void apply(QImage& image, const QRect& area, const ColourRule& rule);
// The rule applied to the whole of `from`, written into `to` (a picture
// of the same size, in memory the caller chose, e.g. where a window
// system draws from). False, and nothing written, for other sizes or formats.
bool transformInto(const QImage& from, QImage& to, const ColourRule& rule);
// `from` as black of opacity `alpha` (of 255) laid over it leaves it,
// written into `to` as transformInto() writes: for a shade drawn as fast as
// the picture itself.
bool dimInto(const QImage& from, QImage& to, int alpha);
// A changed copy of `image`, or `image` itself when the rule changes nothing.
QImage transformed(const QImage& image, const ColourRule& rule);

// What is drawn over the picture, in the logical pixels of the window the
// picture fills (`screen`).
namespace overlay {
inline constexpr int kCrosshairWidth = 8;
// The crosshairs leave the pointer and this much on each side of it clear.
inline constexpr int kCrosshairGap = 16;
// Red, two thirds opaque.
inline constexpr QRgb kCrosshairColour = qRgba(255, 0, 0, 170);
// Black, two thirds opaque: what lies under it keeps a third of its
// brightness.
inline constexpr QRgb kShadeColour = qRgba(0, 0, 0, 170);
// A fifth of the screen high by default, in per cent of its height.
inline constexpr int kBandDefaultPercent = 20;
inline constexpr int kBandMinPercent = 5;
inline constexpr int kBandMaxPercent = 60;
// A wheel notch (120) makes the band this many per cent taller or lower.
inline constexpr int kBandPercentPerNotch = 2;

// The two arms of each line through the pointer, left, right, above and
// below it; an arm may be empty where the pointer is near an edge.
std::array<QRect, 4> crosshairArms(const QRect& screen, QPoint pointer);
// The strip the band leaves clear, centred at `centreY`, within `screen`.
QRect bandStrip(const QRect& screen, int centreY, int heightPercent);
// The shaded parts above and below the strip.
std::array<QRect, 2> bandShades(const QRect& screen, int centreY, int heightPercent);
} // namespace overlay

// Whether the picture moves by itself (scrolling); then the band stays
// where it is and the lines pass through it.
enum class PictureMotion { Still, MovingByItself };

// Where the band is: it follows the pointer up and down, except while the
// picture moves by itself.
class BandPlace {
  public:
    // Whether the band moved.
    bool follow(int pointerY, PictureMotion motion);
    void place(int centreY) { m_centre = centreY; }
    int centre() const { return m_centre; }

  private:
    int m_centre = 0;
};

} // namespace colouraids

// The aids' state, shared by every picture of a program's run. Each setter
// says what changed, so the windows redo only that: a new coloured copy for
// a colour change, a new filter for smoothing, a repaint of the overlay.
class ColourAids : public QObject {
    Q_OBJECT
  public:
    using Switch = colouraids::Switch;
    using Contrast = colouraids::Contrast;
    using Smoothing = colouraids::Smoothing;
    enum class Aspect { Colour, Smoothing, Crosshairs, Band };
    Q_ENUM(Aspect)

    const colouraids::ColourRule& rule() const { return m_rule; }
    bool changesColour() const { return m_rule.changesColour(); }
    Smoothing smoothing() const { return m_smoothing; }
    Switch crosshairs() const { return m_crosshairs; }
    Switch band() const { return m_band; }
    int bandPercent() const { return m_bandPercent; }
    // The band's height on a screen `screenHeight` high, at least a pixel.
    int bandHeight(int screenHeight) const;

    void setInversion(Switch s);
    void setGreyscale(Switch s);
    void setContrast(Contrast c);
    void setSmoothing(Smoothing s);
    void setCrosshairs(Switch s);
    void setBand(Switch s);
    void setBandPercent(int percent);

    // What the keys do: I, G, S, H, L flip; C steps contrast up and wraps
    // to Normal, Shift+C steps it down and wraps to Higher.
    void flipInversion() { setInversion(colouraids::flipped(m_rule.inversion)); }
    void flipGreyscale() { setGreyscale(colouraids::flipped(m_rule.greyscale)); }
    void flipSmoothing();
    void flipCrosshairs() { setCrosshairs(colouraids::flipped(m_crosshairs)); }
    void flipBand() { setBand(colouraids::flipped(m_band)); }
    void stepContrast(int direction);
    // Shift+wheel: taller upwards, by notches of 120. Whether it took the
    // wheel: only while the band shows.
    bool wheelBand(int angleDelta);

  signals:
    void changed(ColourAids::Aspect aspect);

  private:
    colouraids::ColourRule m_rule;
    Smoothing m_smoothing = Smoothing::Sharp;
    Switch m_crosshairs = Switch::Off;
    Switch m_band = Switch::Off;
    int m_bandPercent = colouraids::overlay::kBandDefaultPercent;
    int m_wheelRest = 0;
};
