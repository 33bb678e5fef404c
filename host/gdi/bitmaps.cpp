// The stand-in's device contexts and bitmaps: selection, BitBlt, GetDIBits and pixels.
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/gdi/state.h"

using namespace sim::gdi::standin;

namespace {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// 0x00BBGGRR (COLORREF) <-> 0x00RRGGBB (a 32-bit DIB pixel).
uint32_t pixel_of(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
COLORREF colour_of(uint32_t px) {
    return RGB(static_cast<BYTE>(px >> 16), static_cast<BYTE>(px >> 8), static_cast<BYTE>(px));
}
bool nearer_white(uint32_t px) {
    auto sq = [](int v) { return v * v; };
    int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    return sq(255 - r) + sq(255 - g) + sq(255 - b) < sq(r) + sq(g) + sq(b);
}

int ddb_stride(int width, int bpp) { return ((width * bpp + 15) / 16) * 2; }
int dib_stride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

void release_selection(const Dc& d) {
    if (Bitmap* b = find_bitmap(d.bitmap); b && d.bitmap != state().stock_bitmap) b->selected_in = 0;
    if (Palette* p = find_palette(d.palette); p && d.palette != state().stock_palette) --p->selections;
}

}  // namespace

// ---------------------------------------------------------------- device contexts

HDC GetDC(HWND window) {
    count("GetDC");
    if (window) return nullptr;  // the stand-in has no windows, only the screen
    Dc d;
    d.screen = true;
    uintptr_t id = state().new_id();
    state().dcs[id] = d;
    return handle_of<HDC>(id);
}

int ReleaseDC(HWND, HDC dc) {
    count("ReleaseDC");
    Dc* d = find_dc(id_of(dc));
    if (!d) return 0;
    if (!d->screen) {
        misuse("ReleaseDC of a memory device context");
        return 0;
    }
    state().dcs.erase(id_of(dc));
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    count("CreateCompatibleDC");
    if (dc && !find_dc(id_of(dc))) return nullptr;
    if (refused(sim::gdi::Fault::CreateCompatibleDC)) return nullptr;
    Dc d;
    d.bitmap = state().stock_bitmap;
    d.palette = state().stock_palette;
    uintptr_t id = state().new_id();
    state().dcs[id] = d;
    return handle_of<HDC>(id);
}

BOOL DeleteDC(HDC dc) {
    count("DeleteDC");
    Dc* d = find_dc(id_of(dc));
    if (!d) return FALSE;
    if (d->screen) {
        misuse("DeleteDC of a screen device context");
        return FALSE;
    }
    release_selection(*d);
    state().dcs.erase(id_of(dc));
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    count("SelectObject");
    Dc* d = memory_dc(dc);
    uintptr_t id = id_of(object);
    if (!d) return nullptr;
    if (find_palette(id)) {
        misuse("SelectObject of a palette (SelectPalette selects palettes)");
        return nullptr;
    }
    Bitmap* b = find_bitmap(id);
    if (!b) return nullptr;
    if (id != state().stock_bitmap) {
        if (b->selected_in && b->selected_in != id_of(dc)) return nullptr;  // one DC at a time
    }
    uintptr_t previous = d->bitmap;
    if (Bitmap* p = find_bitmap(previous); p && previous != state().stock_bitmap) p->selected_in = 0;
    d->bitmap = id;
    if (id != state().stock_bitmap) b->selected_in = id_of(dc);
    return handle_of<HGDIOBJ>(previous);
}

BOOL DeleteObject(HGDIOBJ object) {
    count("DeleteObject");
    uintptr_t id = id_of(object);
    if (!id) return FALSE;
    if (state().is_stock(id)) return TRUE;
    if (Bitmap* b = find_bitmap(id)) {
        if (b->selected_in) {
            misuse("DeleteObject of a bitmap selected into a device context");
            return FALSE;
        }
        state().bitmaps.erase(id);
        return TRUE;
    }
    if (Palette* p = find_palette(id)) {
        if (p->selections > 0) {
            misuse("DeleteObject of a palette selected into a device context");
            return FALSE;
        }
        state().palettes.erase(id);
        return TRUE;
    }
    misuse("DeleteObject of an unknown handle");
    return FALSE;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    count("SetBkColor");
    Dc* d = find_dc(id_of(dc));
    if (!d) return CLR_INVALID;
    return std::exchange(d->bk, colour);
}

COLORREF GetBkColor(HDC dc) {
    Dc* d = find_dc(id_of(dc));
    return d ? d->bk : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    count("SetTextColor");
    Dc* d = find_dc(id_of(dc));
    if (!d) return CLR_INVALID;
    return std::exchange(d->text, colour);
}

COLORREF GetTextColor(HDC dc) {
    Dc* d = find_dc(id_of(dc));
    return d ? d->text : CLR_INVALID;
}

// ---------------------------------------------------------------- bitmaps

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
    count("CreateBitmap");
    if (planes != 1 || (bits_per_pixel != 1 && bits_per_pixel != 32)) return nullptr;
    if (!size_allowed(width, height)) return nullptr;
    if (refused(sim::gdi::Fault::CreateBitmap)) return nullptr;
    // As on Windows, an empty size gives the stock 1 x 1 monochrome bitmap.
    if (width == 0 || height == 0) return handle_of<HBITMAP>(state().stock_bitmap);
    HBITMAP h = new_bitmap(width, height, static_cast<int>(bits_per_pixel));
    if (bits) {
        Bitmap& b = *find_bitmap(id_of(h));
        const auto* in = static_cast<const uint8_t*>(bits);
        int stride = ddb_stride(width, b.bpp);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = in + static_cast<size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                uint32_t v;
                if (b.bpp == 32) {
                    std::memcpy(&v, row + 4 * x, 4);
                } else {
                    v = (row[x / 8] >> (7 - x % 8)) & 1;
                }
                b.px[static_cast<size_t>(y) * width + x] = v;
            }
        }
    }
    return h;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    count("CreateCompatibleBitmap");
    Dc* d = find_dc(id_of(dc));
    if (!d || !size_allowed(width, height)) return nullptr;
    if (refused(sim::gdi::Fault::CreateBitmap)) return nullptr;
    if (width == 0 || height == 0) return handle_of<HBITMAP>(state().stock_bitmap);
    // A memory DC is as deep as the bitmap in it, so a fresh one makes monochrome bitmaps.
    int bpp = 32;
    if (!d->screen) bpp = find_bitmap(d->bitmap)->bpp;
    return new_bitmap(width, height, bpp);
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
    count("GetObjectA");
    uintptr_t id = id_of(object);
    if (Bitmap* b = find_bitmap(id)) {
        if (!buffer) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP bm{0, b->width, b->height, ddb_stride(b->width, b->bpp), 1,
                  static_cast<WORD>(b->bpp), nullptr};
        std::memcpy(buffer, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    if (Palette* p = find_palette(id)) {
        if (!buffer) return sizeof(WORD);
        if (size < static_cast<int>(sizeof(WORD))) return 0;
        WORD n = static_cast<WORD>(p->entries.size());
        std::memcpy(buffer, &n, sizeof n);
        return sizeof(WORD);
    }
    return 0;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x, int source_y,
            DWORD rop) {
    count("BitBlt");
    Dc* dd = memory_dc(dest);
    Dc* sd = memory_dc(source);
    if (!dd || !sd || rop != SRCCOPY || width < 0 || height < 0) return FALSE;
    Bitmap& to = *find_bitmap(dd->bitmap);
    const Bitmap& from = *find_bitmap(sd->bitmap);
    const uint32_t background = pixel_of(sd->bk);
    for (int row = 0; row < height; ++row) {
        int sy = source_y + row, ty = y + row;
        if (sy < 0 || sy >= from.height || ty < 0 || ty >= to.height) continue;
        for (int col = 0; col < width; ++col) {
            int sx = source_x + col, tx = x + col;
            if (sx < 0 || sx >= from.width || tx < 0 || tx >= to.width) continue;
            uint32_t v = from.px[static_cast<size_t>(sy) * from.width + sx];
            if (from.bpp == 32 && to.bpp == 1) {
                // Colour to monochrome: exactly the source's background colour becomes 1.
                // The whole pixel is compared, its fourth byte too, as Wine's GDI does: a
                // pixel with that byte set never matches a background colour.
                v = v == background ? 1 : 0;
            } else if (from.bpp == 1 && to.bpp == 32) {
                // Monochrome to colour: 1 takes the target's background, 0 its text colour.
                v = pixel_of(v ? dd->bk : dd->text);
            }
            to.px[static_cast<size_t>(ty) * to.width + tx] = v;
        }
    }
    return TRUE;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
              UINT usage) {
    count("GetDIBits");
    if (!find_dc(id_of(dc)) || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    Bitmap* b = find_bitmap(id_of(bitmap));
    if (!b) return 0;
    if (usage != DIB_RGB_COLORS) return 0;  // palette-relative tables are not needed here
    if (b->selected_in) {
        misuse("GetDIBits of a bitmap selected into a device context");
        return 0;
    }
    if (refused(sim::gdi::Fault::GetDIBits)) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    auto* colours = reinterpret_cast<uint8_t*>(info) + h.biSize;
    auto put_mono_table = [&] {
        const RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        std::memcpy(colours, table, sizeof table);
    };

    if (!bits && h.biBitCount == 0) {
        // The format only: the bitmap's own, without a colour table.
        h.biWidth = b->width;
        h.biHeight = b->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(b->bpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(dib_stride(b->width, b->bpp) * b->height);
        h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
        h.biClrUsed = h.biClrImportant = 0;
        return 1;
    }
    const int bpp = h.biBitCount;
    if ((bpp != 1 && bpp != 32) || h.biCompression != BI_RGB) return 0;
    const bool top_down = h.biHeight < 0;
    if (h.biWidth != b->width || (top_down ? -h.biHeight : h.biHeight) != b->height) return 0;
    const int stride = dib_stride(b->width, bpp);
    h.biPlanes = 1;
    h.biSizeImage = static_cast<DWORD>(stride * b->height);
    h.biClrUsed = h.biClrImportant = 0;
    if (bpp == 1) put_mono_table();
    if (!bits) return 1;

    if (start >= static_cast<UINT>(b->height)) return 0;
    const int n = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(b->height) - start));
    auto* out = static_cast<uint8_t*>(bits);
    for (int i = 0; i < n; ++i) {
        int r = static_cast<int>(start) + i;
        int y = top_down ? r : b->height - 1 - r;
        uint8_t* row = out + static_cast<size_t>(i) * stride;
        std::memset(row, 0, static_cast<size_t>(stride));
        for (int x = 0; x < b->width; ++x) {
            uint32_t v = b->px[static_cast<size_t>(y) * b->width + x];
            if (bpp == 32) {
                if (b->bpp == 1) v = v ? 0xFFFFFF : 0;
                std::memcpy(row + 4 * x, &v, 4);
            } else {
                bool white = b->bpp == 1 ? v != 0 : nearer_white(v);
                if (white) row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
    }
    return n;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    Dc* d = memory_dc(dc);
    if (!d) return CLR_INVALID;
    const Bitmap& b = *find_bitmap(d->bitmap);
    if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
    uint32_t v = b.px[static_cast<size_t>(y) * b.width + x];
    if (b.bpp == 1) return v ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return colour_of(v);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    Dc* d = memory_dc(dc);
    if (!d) return CLR_INVALID;
    Bitmap& b = *find_bitmap(d->bitmap);
    if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
    uint32_t& v = b.px[static_cast<size_t>(y) * b.width + x];
    if (b.bpp == 1) {
        v = nearer_white(pixel_of(colour)) ? 1 : 0;
        return v ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    v = pixel_of(colour);
    return colour;
}

#endif  // !_WIN32
