#pragma once

#include <QImage>
#include <QSize>
#include <QVector>

#include <cstddef>
#include <cstdint>

// How an X server lays out the pixels of a screen in a Z-format image: the
// server picks the bits per pixel and the row padding for each depth, and
// the visual says what a pixel value means.
struct X11PixelLayout {
    int bitsPerPixel = 32;
    // Rows are padded to a multiple of this many bits.
    int scanlinePad = 32;
    bool mostSignificantFirst = false;
    // True and direct colour: where each channel lies in a pixel value.
    std::uint32_t redMask = 0xFF0000;
    std::uint32_t greenMask = 0x00FF00;
    std::uint32_t blueMask = 0x0000FF;
    // Colour maps (8-bit screens): the colour of each pixel value. Empty
    // for true colour.
    QVector<QRgb> palette;

    // The server's pixels are those of a picture in memory as they are.
    bool isPlainRgb32() const;
    std::size_t bytesPerLine(int width) const;
};

// The opaque picture of `size` pixels that `data` holds; the empty picture
// when there are fewer bytes than such a picture needs or the layout is one
// this reads no colours from.
QImage decodeX11Pixels(const std::uint8_t* data, std::size_t length, QSize size,
                       const X11PixelLayout& layout);
