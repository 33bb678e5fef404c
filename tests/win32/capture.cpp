#include "capture.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/com/gdi_handles.h"

namespace wintest {

namespace {

using host::com::Bitmap;
using host::com::MemoryDC;
using host::com::Selection;

// A device context of a window, given back to it when done.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace

COLORREF Capture::client_pixel(int x, int y) const {
    const int px = client.x + x, py = client.y + y;
    if (px < 0 || py < 0 || px >= width || py >= height) return CLR_INVALID;
    const uint32_t v = bits[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

Capture capture(HWND window, bool repaint) {
    if (repaint)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Capture c;
    RECT outer;
    GetWindowRect(window, &outer);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    c.width = outer.right - outer.left;
    c.height = outer.bottom - outer.top;
    c.client = POINT{origin.x - outer.left, origin.y - outer.top};

    WindowDC screen(window);
    MemoryDC memory(screen.get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return c;
    {
        Selection select(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, c.width, c.height, screen.get(), 0, 0, SRCCOPY);
        GdiFlush();
        c.bits.resize(static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
        std::memcpy(c.bits.data(), bits, c.bits.size() * sizeof(uint32_t));
    }
    for (auto& v : c.bits) v &= 0xFFFFFF;
    return c;
}

bool Capture::write_bmp(const std::wstring& path) const {
    const int row = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(row * height);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::vector<uint8_t> data(header.biSizeImage);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = &data[static_cast<size_t>(height - 1 - y) * static_cast<size_t>(row)];
        for (int x = 0; x < width; ++x) {
            const uint32_t v = bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            out[x * 3] = v & 0xFF;
            out[x * 3 + 1] = (v >> 8) & 0xFF;
            out[x * 3 + 2] = (v >> 16) & 0xFF;
        }
    }
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    return bool(out);
}

}  // namespace wintest
