// The graphics, clipboard and memory stand-in of the native build (see gdi_api.h).
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <map>
#include <utility>

#include "host/sim/gdi_api.h"
#include "host/sim/gdi_sim.h"

namespace {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;
constexpr UINT first_registered_format = 0xC000;
constexpr UINT last_registered_format = 0xFFFF;
constexpr long long max_pixels = 64LL * 1024 * 1024;
constexpr SIZE_T max_block = SIZE_T{1} << 30;

// Pixels: colour bitmaps keep 0xAARRGGBB as a 32-bit DIB stores them; monochrome bitmaps
// keep 0 or 1, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bpp = 32;
    std::vector<uint32_t> px;
    uintptr_t selected_in = 0;
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
    int selections = 0;
};

struct Dc {
    bool screen = false;
    uintptr_t bitmap = 0;
    uintptr_t palette = 0;
    COLORREF bk = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
};

struct Block {
    std::vector<uint8_t> bytes;
    int locks = 0;
    bool on_clipboard = false;
};

struct FaultState {
    int countdown = 0;
    bool always = false;
};

struct State {
    uintptr_t next_id = 0x1000;
    uintptr_t stock_bitmap = 0x10;
    uintptr_t stock_palette = 0x14;
    std::map<uintptr_t, Bitmap> bitmaps;
    std::map<uintptr_t, Palette> palettes;
    std::map<uintptr_t, Dc> dcs;
    std::map<uintptr_t, Block> blocks;

    bool clipboard_open = false;
    std::vector<std::pair<UINT, uintptr_t>> clipboard;
    std::vector<std::string> format_names;  // index: format - first_registered_format

    std::vector<std::string> misuses;
    std::map<sim::gdi::Fault, FaultState> faults;
    std::map<std::string, int> calls;
    std::function<void(UINT, const std::string&)> listener;

    State() {
        Bitmap stock;
        stock.width = stock.height = 1;
        stock.bpp = 1;
        stock.px = {0};
        bitmaps[stock_bitmap] = stock;
        // The default palette: the twenty static colours.
        static const BYTE statics[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        Palette def;
        for (auto& c : statics) def.entries.push_back({c[0], c[1], c[2], 0});
        palettes[stock_palette] = def;
    }

    uintptr_t new_id() {
        uintptr_t id = next_id;
        next_id += 4;
        return id;
    }
    bool is_stock(uintptr_t id) const { return id == stock_bitmap || id == stock_palette; }
};

State& state() {
    static State s;
    return s;
}

uintptr_t id_of(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }
template <class H>
H handle_of(uintptr_t id) {
    return reinterpret_cast<H>(id);
}

void misuse(std::string what) { state().misuses.push_back(std::move(what)); }
void count(const char* function) { ++state().calls[function]; }

bool refused(sim::gdi::Fault fault) {
    auto it = state().faults.find(fault);
    if (it == state().faults.end()) return false;
    if (it->second.always) return true;
    if (it->second.countdown > 0 && --it->second.countdown == 0) {
        state().faults.erase(it);
        return true;
    }
    return false;
}

Bitmap* find_bitmap(uintptr_t id) {
    auto it = state().bitmaps.find(id);
    return it == state().bitmaps.end() ? nullptr : &it->second;
}
Palette* find_palette(uintptr_t id) {
    auto it = state().palettes.find(id);
    return it == state().palettes.end() ? nullptr : &it->second;
}
Dc* find_dc(uintptr_t id) {
    auto it = state().dcs.find(id);
    return it == state().dcs.end() ? nullptr : &it->second;
}
Block* find_block(uintptr_t id) {
    auto it = state().blocks.find(id);
    return it == state().blocks.end() ? nullptr : &it->second;
}
Dc* memory_dc(HDC dc) {
    Dc* d = find_dc(id_of(dc));
    return d && !d->screen ? d : nullptr;
}

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

HBITMAP new_bitmap(int width, int height, int bpp) {
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bpp = bpp;
    b.px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    uintptr_t id = state().new_id();
    state().bitmaps[id] = std::move(b);
    return handle_of<HBITMAP>(id);
}

bool size_allowed(int width, int height) {
    return width >= 0 && height >= 0 &&
           static_cast<long long>(width) * static_cast<long long>(height) <= max_pixels;
}

void free_block(uintptr_t id) { state().blocks.erase(id); }

void release_selection(const Dc& d) {
    if (Bitmap* b = find_bitmap(d.bitmap); b && d.bitmap != state().stock_bitmap) b->selected_in = 0;
    if (Palette* p = find_palette(d.palette); p && d.palette != state().stock_palette) --p->selections;
}

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The standard Windows colour scheme: caption text (9) is white. A fresh Wine 8 prefix has
// a light scheme instead, with black caption text; the Windows tests set TitleText there.
constexpr COLORREF system_colours[] = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 200),     RGB(166, 202, 240),
    RGB(192, 192, 192), RGB(10, 36, 106),   RGB(212, 208, 200)};
constexpr int system_colour_count = static_cast<int>(std::size(system_colours));

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

// ---------------------------------------------------------------- palettes and colours

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    count("CreatePalette");
    if (!palette || palette->palNumEntries == 0) return nullptr;
    Palette p;
    const PALETTEENTRY* e = palette->palPalEntry;
    p.entries.assign(e, e + palette->palNumEntries);
    uintptr_t id = state().new_id();
    state().palettes[id] = std::move(p);
    return handle_of<HPALETTE>(id);
}

HPALETTE CreateHalftonePalette(HDC dc) {
    count("CreateHalftonePalette");
    if (dc && !find_dc(id_of(dc))) return nullptr;
    Palette p;
    static const BYTE steps[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    for (BYTE r : steps)
        for (BYTE g : steps)
            for (BYTE b : steps) p.entries.push_back({r, g, b, 0});
    for (int i = 0; p.entries.size() < 256; ++i) {
        auto v = static_cast<BYTE>(i * 255 / 39);
        p.entries.push_back({v, v, v, 0});
    }
    uintptr_t id = state().new_id();
    state().palettes[id] = std::move(p);
    return handle_of<HPALETTE>(id);
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    count("SelectPalette");
    Dc* d = find_dc(id_of(dc));
    Palette* p = find_palette(id_of(palette));
    if (!d || !p) return nullptr;
    uintptr_t previous = d->palette;
    if (Palette* old = find_palette(previous); old && previous != state().stock_palette) --old->selections;
    d->palette = id_of(palette);
    if (id_of(palette) != state().stock_palette) ++p->selections;
    return handle_of<HPALETTE>(previous);
}

UINT RealizePalette(HDC dc) {
    count("RealizePalette");
    // The stand-in's screen has true colour: there is no system palette to map into.
    return find_dc(id_of(dc)) ? 0 : GDI_ERROR;
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= system_colour_count) return 0;
    return system_colours[index];
}

HRESULT OleTranslateColor(OLE_COLOR colour, HPALETTE palette, COLORREF* result) {
    count("OleTranslateColor");
    COLORREF out = 0;
    switch (colour >> 24) {
    case 0x00:
    case 0x02:
        out = colour;
        break;
    case 0x01: {  // a palette index, checked against the palette when there is one
        if (palette) {
            Palette* p = find_palette(id_of(palette));
            if (!p || (colour & 0xFFFF) >= p->entries.size()) return E_INVALIDARG;
        }
        out = colour;
        break;
    }
    case 0x80: {
        int index = static_cast<int>(colour & 0xFFFFFF);
        if (index >= system_colour_count) return E_INVALIDARG;
        out = GetSysColor(index);
        break;
    }
    default:
        return E_INVALIDARG;
    }
    if (result) *result = out;
    return S_OK;
}

// ---------------------------------------------------------------- clipboard

BOOL OpenClipboard(HWND) {
    count("OpenClipboard");
    if (refused(sim::gdi::Fault::OpenClipboard)) return FALSE;
    if (state().clipboard_open) {
        misuse("OpenClipboard while it is open");
        return FALSE;
    }
    state().clipboard_open = true;
    return TRUE;
}

BOOL CloseClipboard() {
    count("CloseClipboard");
    if (!state().clipboard_open) {
        misuse("CloseClipboard while it is closed");
        return FALSE;
    }
    state().clipboard_open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    count("EmptyClipboard");
    if (!state().clipboard_open) return FALSE;
    for (auto& [format, block] : state().clipboard) free_block(block);
    state().clipboard.clear();
    return TRUE;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
    count("RegisterClipboardFormatA");
    if (!name || !*name) return 0;
    auto& names = state().format_names;
    std::string key = lower(name);
    for (size_t i = 0; i < names.size(); ++i)
        if (lower(names[i]) == key) return first_registered_format + static_cast<UINT>(i);
    if (first_registered_format + names.size() > last_registered_format) return 0;
    names.emplace_back(name);
    return first_registered_format + static_cast<UINT>(names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, char* name, int size) {
    std::string n = sim::gdi::format_name(format);
    if (n.empty() || !name || size <= 0) return 0;
    int len = std::min(static_cast<int>(n.size()), size - 1);
    std::memcpy(name, n.data(), static_cast<size_t>(len));
    name[len] = '\0';
    return len;
}

HANDLE GetClipboardData(UINT format) {
    count("GetClipboardData");
    if (!state().clipboard_open) return nullptr;
    for (auto& [f, block] : state().clipboard)
        if (f == format) return handle_of<HANDLE>(block);
    return nullptr;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    count("SetClipboardData");
    if (!state().clipboard_open || format == 0 || !data) return nullptr;
    Block* b = find_block(id_of(data));
    if (!b) return nullptr;
    if (refused(sim::gdi::Fault::SetClipboardData)) return nullptr;
    auto& clip = state().clipboard;
    auto it = std::find_if(clip.begin(), clip.end(), [&](auto& e) { return e.first == format; });
    if (it != clip.end() && it->second == id_of(data)) return data;
    if (b->on_clipboard) {
        misuse("SetClipboardData of a block the clipboard holds under another format");
        return nullptr;
    }
    if (b->locks > 0) misuse("SetClipboardData of a locked block");
    if (it != clip.end()) {
        free_block(it->second);
        it->second = id_of(data);
    } else {
        clip.emplace_back(format, id_of(data));
    }
    b->on_clipboard = true;
    if (state().listener) state().listener(format, sim::gdi::format_name(format));
    return data;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    for (auto& [f, block] : state().clipboard)
        if (f == format) return TRUE;
    return FALSE;
}

int CountClipboardFormats() { return static_cast<int>(state().clipboard.size()); }

UINT EnumClipboardFormats(UINT format) {
    if (!state().clipboard_open) return 0;
    auto& clip = state().clipboard;
    if (format == 0) return clip.empty() ? 0 : clip.front().first;
    for (size_t i = 0; i + 1 < clip.size(); ++i)
        if (clip[i].first == format) return clip[i + 1].first;
    return 0;
}

// ---------------------------------------------------------------- global memory

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    count("GlobalAlloc");
    if (bytes > max_block) return nullptr;
    if (refused(sim::gdi::Fault::GlobalAlloc)) return nullptr;
    Block b;
    // Fresh memory is not zero unless asked for: stale bytes must show up in tests.
    b.bytes.assign(bytes, (flags & GMEM_ZEROINIT) ? 0x00 : 0xCD);
    uintptr_t id = state().new_id();
    state().blocks[id] = std::move(b);
    return handle_of<HGLOBAL>(id);
}

HGLOBAL GlobalFree(HGLOBAL block) {
    count("GlobalFree");
    if (!block) return nullptr;
    Block* b = find_block(id_of(block));
    if (!b) {
        misuse("GlobalFree of an unknown handle");
        return block;
    }
    if (b->on_clipboard) {
        misuse("GlobalFree of a block the clipboard holds");
        return block;
    }
    free_block(id_of(block));
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL block) {
    count("GlobalLock");
    Block* b = find_block(id_of(block));
    if (!b || b->bytes.empty()) return nullptr;
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    count("GlobalUnlock");
    Block* b = find_block(id_of(block));
    if (!b) return FALSE;
    if (b->locks == 0) {
        misuse("GlobalUnlock of a block that is not locked");
        return FALSE;
    }
    return --b->locks > 0;
}

SIZE_T GlobalSize(HGLOBAL block) {
    Block* b = find_block(id_of(block));
    return b ? b->bytes.size() : 0;
}

// ---------------------------------------------------------------- control and inspection

namespace sim::gdi {

void reset() { state() = State{}; }

int live_gdi_objects() {
    // The stock bitmap and the default palette are always there.
    return static_cast<int>(state().bitmaps.size() + state().palettes.size()) - 2;
}
int live_dcs() { return static_cast<int>(state().dcs.size()); }
int live_memory_blocks() { return static_cast<int>(state().blocks.size()); }
int clipboard_blocks() { return static_cast<int>(state().clipboard.size()); }
const std::vector<std::string>& misuses() { return state().misuses; }

void inject(Fault fault, int nth) {
    FaultState f;
    if (nth <= 0)
        f.always = true;
    else
        f.countdown = nth;
    state().faults[fault] = f;
}

int calls(const std::string& function) {
    auto it = state().calls.find(function);
    return it == state().calls.end() ? 0 : it->second;
}

std::vector<UINT> clipboard_formats() {
    std::vector<UINT> out;
    for (auto& [f, block] : state().clipboard) out.push_back(f);
    return out;
}

std::optional<std::vector<uint8_t>> clipboard_bytes(UINT format) {
    for (auto& [f, block] : state().clipboard)
        if (f == format) return find_block(block)->bytes;
    return std::nullopt;
}

std::string format_name(UINT format) {
    auto& names = state().format_names;
    if (format < first_registered_format || format - first_registered_format >= names.size()) return {};
    return names[format - first_registered_format];
}

bool clipboard_open() { return state().clipboard_open; }

void on_clipboard_write(std::function<void(UINT, const std::string&)> listener) {
    state().listener = std::move(listener);
}

HBITMAP make_bitmap(int width, int height, const std::vector<uint32_t>& pixels) {
    if (!size_allowed(width, height) ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return nullptr;
    HBITMAP h = new_bitmap(width, height, 32);
    find_bitmap(id_of(h))->px = pixels;
    return h;
}

std::vector<uint32_t> pixels(HBITMAP bitmap) {
    Bitmap* b = find_bitmap(id_of(bitmap));
    return b ? b->px : std::vector<uint32_t>{};
}

int bits_per_pixel(HBITMAP bitmap) {
    Bitmap* b = find_bitmap(id_of(bitmap));
    return b ? b->bpp : 0;
}

bool is_palette(HPALETTE palette) { return find_palette(id_of(palette)) != nullptr; }

}  // namespace sim::gdi

#endif  // !_WIN32
