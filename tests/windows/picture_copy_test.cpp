// The button picture's copy for Wine's 32-bit pictures: the fourth byte cleared, the palette
// the picture was loaded with carried over as a palette of the copy's own, and pictures of
// other depths passed on untouched.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/com/picture_copy.h"

namespace wintest {

namespace {

using host::com::com_ptr;

// A 2 x 1 bitmap picture of the given depth, with the given palette colours (none: no
// palette), owning both.
com_ptr<IPicture> picture(WORD bits_per_pixel, const std::vector<COLORREF>& colours) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 2;
    format.bmiHeader.biHeight = 1;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = bits_per_pixel;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bits_per_pixel == 32) {
        auto* p = static_cast<uint32_t*>(bits);
        p[0] = 0xFF102030;
        p[1] = 0xFF405060;
    }
    HPALETTE palette = nullptr;
    if (!colours.empty()) {
        std::vector<uint8_t> storage(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
        log->palVersion = 0x300;
        log->palNumEntries = static_cast<WORD>(colours.size());
        for (size_t i = 0; i < colours.size(); ++i)
            log->palPalEntry[i] = PALETTEENTRY{GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i]), 0};
        palette = CreatePalette(log);
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    desc.bmp.hpal = palette;
    com_ptr<IPicture> out;
    EXPECT_HRESULT_SUCCEEDED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, out.put_void()));
    return out;
}

HPALETTE palette_of(IPicture* p) {
    OLE_HANDLE h = 0;
    p->get_hPal(&h);
    return reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(h));
}

std::vector<COLORREF> colours_of(HPALETTE palette) {
    std::vector<COLORREF> out;
    if (!palette) return out;
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
    GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
    for (const auto& e : entries) out.push_back(RGB(e.peRed, e.peGreen, e.peBlue));
    return out;
}

std::vector<uint32_t> pixels_of(IPicture* p) {
    OLE_HANDLE h = 0;
    p->get_Handle(&h);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 2;
    format.bmiHeader.biHeight = 1;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> out(2);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(h)), 0, 1, out.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return out;
}

}  // namespace

TEST(PictureCopy, ClearsTheFourthByteAndOwnsItsPalette) {
    const std::vector<COLORREF> colours = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(1, 2, 3)};
    struct Case {
        const char* what;
        WORD depth;
        std::vector<COLORREF> palette;
        bool copied;
    } cases[] = {
        {"32 bits with a palette", 32, colours, true},
        {"32 bits without one", 32, {}, true},
        {"24 bits with a palette", 24, colours, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] {
            com_ptr<IPicture> loaded = picture(c.depth, c.palette);
            ASSERT_TRUE(loaded);
            HPALETTE palette = palette_of(loaded.get());
            com_ptr<IPicture> out = host::com::without_fourth_byte(loaded);
            EXPECT_EQ(out.get() != loaded.get(), c.copied);
            EXPECT_EQ(colours_of(palette_of(out.get())), c.palette);
            if (!c.copied) return;
            EXPECT_EQ(pixels_of(out.get()), (std::vector<uint32_t>{0x00102030, 0x00405060}));
            // The copy's palette is its own: it outlives the loaded picture.
            if (palette) {
                EXPECT_NE(palette_of(out.get()), palette);
            }
            loaded.reset();
            EXPECT_EQ(colours_of(palette_of(out.get())), c.palette);
        }();
    }
}

}  // namespace wintest
