// The stand-in's palettes and colours: palettes, system colours and OLE colour translation.
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include <iterator>

#include "host/gdi/state.h"

using namespace sim::gdi::standin;

namespace {

constexpr UINT GDI_ERROR = 0xFFFFFFFF;

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

#endif  // !_WIN32
