#include "screengrabber_win.h"

#include <cstring>

#include <windows.h>

QImage WinScreenGrabber::grabNow(const QRect& area, QString& /*whyNot*/) {
    QImage out(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    if (out.isNull() || out.width() == 0 || out.height() == 0) return out;
    out.fill(Qt::black);
    const HWND hwnd = ::GetDesktopWindow();
    // The desktop window's own context is the screen's: the whole virtual
    // screen, with the primary monitor's corner at (0, 0).
    HDC source = ::GetWindowDC(hwnd);
    if (!source) return out;
    HDC memory = ::CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = out.width();
    info.bmiHeader.biHeight = -out.height(); // top-down, as QImage lays rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap =
        memory ? ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap && bits) {
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        // Off-screen parts stay as the section starts: zero, black.
        ::BitBlt(memory, 0, 0, out.width(), out.height(), source, area.x(), area.y(),
                 SRCCOPY | CAPTUREBLT);
        ::GdiFlush();
        ::SelectObject(memory, previous);
        // The section's rows are 4-byte pixels without padding, like the
        // image's; GDI leaves the fourth byte 0, which RGB32 wants as 0xff.
        const auto* from = static_cast<const quint32*>(bits);
        for (int y = 0; y < out.height(); ++y) {
            auto* to = reinterpret_cast<quint32*>(out.scanLine(y));
            const quint32* row = from + std::size_t(y) * std::size_t(out.width());
            for (int x = 0; x < out.width(); ++x)
                to[x] = row[x] | 0xff000000u;
        }
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    ::ReleaseDC(hwnd, source);
    return out;
}
