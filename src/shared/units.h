#pragma once

#include <cstdint>

// Window and control geometry is kept in twips (1/1440 inch), as the forms
// compute it; pixels appear only where something is placed or drawn.
namespace units {

// Nearest integer, halves to the even neighbour (the default FP rounding
// mode), as every integer conversion of the forms requires.
std::int32_t cint(double value);

// Integer division of the rounded operands, truncating toward zero.
std::int32_t intDiv(double a, double b);

// Saturating conversion for the 16-bit fields, which some screens outgrow.
std::int16_t cint16(double value);

constexpr double kTwipsPerInch = 1440.0;

// The screen as the forms see it: size in pixels and twips per pixel.
struct Screen {
    int widthPx = 0;
    int heightPx = 0;
    double TwipsPerPixelX = 15.0;
    double TwipsPerPixelY = 15.0;

    static Screen fromDpi(int widthPx, int heightPx, double dpiX, double dpiY);

    double Width() const { return widthPx * TwipsPerPixelX; }
    double Height() const { return heightPx * TwipsPerPixelY; }

    int toPixelsX(double twips) const { return cint(twips / TwipsPerPixelX); }
    int toPixelsY(double twips) const { return cint(twips / TwipsPerPixelY); }
    double toTwipsX(double px) const { return px * TwipsPerPixelX; }
    double toTwipsY(double px) const { return px * TwipsPerPixelY; }

    bool operator==(const Screen&) const = default;
};

} // namespace units
