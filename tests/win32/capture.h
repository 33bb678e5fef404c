#pragma once
// A picture of one window as the screen shows it, taken from the window's own device context
// (children included), and written out as a BMP file.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

struct Capture {
    int width = 0, height = 0;  // the whole window, frame included
    POINT client{};             // where the client area starts in the picture
    std::vector<uint32_t> bits; // top-down rows, 0x00RRGGBB

    // The colour at a client-area pixel, as a COLORREF; CLR_INVALID outside the picture.
    COLORREF client_pixel(int x, int y) const;
    // Writes a 24-bit BMP; false when the file cannot be written.
    bool write_bmp(const std::wstring& path) const;
};

// Copies what the window shows; with `repaint`, paints it and its children first.
Capture capture(HWND window, bool repaint = true);

}  // namespace wintest
