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

// The screen as the forms see it: one monitor, its size in Qt's
// logical pixels and twips per logical pixel, and how many device pixels a
// logical one holds. Pictures of the screen are in device pixels; their
// size in twips follows from that ratio, so that twips keep their physical
// meaning on scaled screens.
struct Screen {
    int widthPx = 0;
    int heightPx = 0;
    double TwipsPerPixelX = 15.0;
    double TwipsPerPixelY = 15.0;
    double DevicePixelRatio = 1.0;
    // The monitor's own pixel count, which a scaled logical size may not
    // give back exactly.
    int deviceWidthPx = 0;
    int deviceHeightPx = 0;

    // An unscaled monitor: device pixels are logical pixels.
    static Screen fromDpi(int widthPx, int heightPx, double dpiX, double dpiY);
    // A monitor of `deviceSize` device pixels shown as widthPx x heightPx
    // logical pixels.
    static Screen fromDpi(int widthPx, int heightPx, double dpiX, double dpiY, double ratio,
                          int deviceWidthPx, int deviceHeightPx);

    double Width() const { return widthPx * TwipsPerPixelX; }
    double Height() const { return heightPx * TwipsPerPixelY; }

    int toPixelsX(double twips) const { return cint(twips / TwipsPerPixelX); }
    int toPixelsY(double twips) const { return cint(twips / TwipsPerPixelY); }
    double toTwipsX(double px) const { return px * TwipsPerPixelX; }
    double toTwipsY(double px) const { return px * TwipsPerPixelY; }

    // The extent in twips of so many device pixels of a picture.
    double pictureTwipsX(double devicePx) const {
        return devicePx / DevicePixelRatio * TwipsPerPixelX;
    }
    double pictureTwipsY(double devicePx) const {
        return devicePx / DevicePixelRatio * TwipsPerPixelY;
    }
    // Twips to device pixels, unrounded.
    double toDeviceX(double twips) const { return twips / TwipsPerPixelX * DevicePixelRatio; }
    double toDeviceY(double twips) const { return twips / TwipsPerPixelY * DevicePixelRatio; }

    bool operator==(const Screen&) const = default;
};

} // namespace units
