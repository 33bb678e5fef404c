#include "host/com/picture_copy.h"

#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/com/hresult.h"
#include "host/com/gdi_handles.h"

namespace host::com {

namespace {


// A palette of the same colours, for a picture of its own to own; none for none.
Palette copy_of(HPALETTE palette) {
    if (!palette) return {};
    const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
    if (!count) return {};
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(palette, 0, count, log->palPalEntry);
    return Palette(CreatePalette(log));
}

}  // namespace

com_ptr<IPicture> without_fourth_byte(com_ptr<IPicture> picture) {
    SHORT type = 0;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return picture;
    HBITMAP loaded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info{};
    if (!GetObjectW(loaded, sizeof info, &info) || info.bmBitsPixel != 32) return picture;
    OLE_HANDLE loaded_palette = 0;
    if (FAILED(picture->get_hPal(&loaded_palette))) loaded_palette = 0;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = info.bmHeight;  // bottom-up, as GetDIBits gives the rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight) * 4);
    {
        ScreenDC screen;
        if (GetDIBits(screen.get(), loaded, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format,
                      DIB_RGB_COLORS) != info.bmHeight)
            return picture;
    }
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0;

    void* bits = nullptr;
    Bitmap copy(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) return picture;
    std::copy(pixels.begin(), pixels.end(), static_cast<uint8_t*>(bits));
    GdiFlush();
    // The loaded picture deletes its own palette when it goes; the copy gets one of its own.
    Palette palette = copy_of(reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(loaded_palette)));
    if (loaded_palette && !palette) return picture;

    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = copy.get();
    desc.bmp.hpal = palette.get();
    com_ptr<IPicture> out;
    // The new picture owns the copy and its palette from here.
    check(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, out.put_void()));
    static_cast<void>(copy.release());
    static_cast<void>(palette.release());
    return out;
}

}  // namespace host::com
