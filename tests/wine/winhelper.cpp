// What the end-to-end tests under Wine need from the Windows side:
//   winhelper pattern X Y W H   shows a borderless window at X,Y of W x H
//                               pixels with a gradient in which every
//                               point has its own colour (red grows to the
//                               right, green downwards, blue 128), until
//                               it is ended;
//   winhelper clipboard FILE    writes the clipboard's device-independent
//                               bitmap to FILE as a .bmp, or an empty FILE
//                               when the clipboard holds none. FILE appears
//                               whole: it is written under another name
//                               first.
//   winhelper hungowner FILE    takes the clipboard with a picture in PNG
//                               and bitmap form that it would render only
//                               when asked, writes FILE, and from then on
//                               runs no messages at all: a program that
//                               hangs, until it is ended.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

namespace {
int g_width = 0, g_height = 0;
std::vector<DWORD> g_pixels;

LRESULT CALLBACK patternProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = g_width;
        info.bmiHeader.biHeight = -g_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, g_width, g_height, 0, 0, 0, g_height, g_pixels.data(), &info,
                          DIB_RGB_COLORS);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int pattern(int x, int y, int w, int h) {
    g_width = w;
    g_height = h;
    g_pixels.resize(std::size_t(w) * h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const DWORD r = DWORD(col * 255 / (w - 1)), g = DWORD(row * 255 / (h - 1));
            g_pixels[std::size_t(row) * w + col] = (r << 16) | (g << 8) | 128;
        }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = patternProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"winhelper-pattern";
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"pattern", WS_POPUP | WS_VISIBLE, x, y, w, h,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 2;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int clipboard(const char* path) {
    const std::string part = std::string(path) + ".part";
    FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return 2;
    int status = 1;
    if (!OpenClipboard(nullptr)) {
        std::fclose(f);
        return 2;
    }
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        if (dib && size >= sizeof(BITMAPINFOHEADER)) {
            DWORD colours = dib->biClrUsed;
            if (!colours && dib->biBitCount <= 8) colours = 1u << dib->biBitCount;
            DWORD masks = dib->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
            BITMAPFILEHEADER head = {};
            head.bfType = 0x4d42; // "BM"
            head.bfSize = DWORD(sizeof head + size);
            head.bfOffBits = DWORD(sizeof head + dib->biSize + masks + colours * sizeof(RGBQUAD));
            std::fwrite(&head, sizeof head, 1, f);
            std::fwrite(dib, size, 1, f);
            status = 0;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (std::fclose(f) != 0) return 2;
    if (!MoveFileExA(part.c_str(), path, MOVEFILE_REPLACE_EXISTING)) return 2;
    return status;
}
int hungOwner(const char* path) {
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"hung owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd || !OpenClipboard(hwnd)) return 2;
    EmptyClipboard();
    SetClipboardData(RegisterClipboardFormatW(L"PNG"), nullptr);
    SetClipboardData(CF_DIB, nullptr);
    CloseClipboard();
    FILE* f = std::fopen(path, "wb");
    if (!f || std::fclose(f) != 0) return 2;
    Sleep(INFINITE);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "pattern") == 0)
        return pattern(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                       std::atoi(argv[5]));
    if (argc == 3 && std::strcmp(argv[1], "clipboard") == 0) return clipboard(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "hungowner") == 0) return hungOwner(argv[2]);
    std::fprintf(stderr, "usage: winhelper pattern X Y W H | clipboard FILE | hungowner FILE\n");
    return 2;
}
