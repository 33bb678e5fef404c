// The button faces, the mTrIcons module: a picture and its transparency mask prepared on the
// clipboard for PasteFace (see button_faces.h).
#include "host/com/button_faces.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/failure.h"
#include "host/variant.h"

namespace host::com::mTrIcons {

namespace {

constexpr int32_t out_of_memory = 7;
constexpr int32_t cant_open_clipboard = 521;
constexpr LONG largest_side = 30000;
// Movable and shareable, as clipboard data must be.
constexpr UINT clipboard_block = GMEM_MOVEABLE | GMEM_DDESHARE;

// The mask's bitmap info: its header and the two colour entries of a 1-bit bitmap.
struct MaskInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};
static_assert(sizeof(MaskInfo) == 48);
// Behind the mask's pixels the block keeps two bytes more, zeroed.
constexpr SIZE_T mask_tail = 2;

// The automation picture hands its GDI handles out as 32-bit integers, signed or unsigned
// by the binding; on 64-bit Windows a GDI handle is those 32 bits sign-extended.
template <class H>
H handle_from(const Variant& value) {
    const double number = value.as_double();
    if (!(number >= -2147483648.0 && number <= 4294967295.0)) raise(errors::overflow);
    const auto bits = static_cast<uint32_t>(static_cast<int64_t>(number));
    return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int32_t>(bits)));
}

// Stores a copy of the clipboard's device-independent bitmap under the face format.
void put_face(UINT face_id) {
    HANDLE dib = ::GetClipboardData(CF_DIB);
    if (!dib) return;
    const SIZE_T size = ::GlobalSize(dib);
    GlobalBlock copy(::GlobalAlloc(clipboard_block, size));
    if (!copy || size == 0) return;
    {
        GlobalLocked from(dib);
        GlobalLocked to(copy.get());
        if (!from || !to) return;
        std::memcpy(to.get(), from.get(), size);
    }
    if (::SetClipboardData(face_id, copy.get())) (void)copy.release();
}

// Stores the mask block: info header, colour entries, pixel rows, two zero bytes.
void put_mask(UINT mask_id, const MaskInfo& info, const std::vector<BYTE>& bits) {
    const SIZE_T image = info.header.biSizeImage;
    GlobalBlock block(::GlobalAlloc(clipboard_block, sizeof(MaskInfo) + image + mask_tail));
    if (!block) return;
    {
        GlobalLocked to(block.get());
        if (!to) return;
        auto* out = static_cast<BYTE*>(to.get());
        std::memcpy(out, &info, sizeof(MaskInfo));
        std::memcpy(out + sizeof(MaskInfo), bits.data(), image);
        // Freshly allocated memory holds whatever was there before; none of it may go
        // onto the clipboard.
        std::memset(out + sizeof(MaskInfo) + image, 0, mask_tail);
    }
    if (::SetClipboardData(mask_id, block.get())) (void)block.release();
}

}  // namespace

Bitmap CreateMaskBitmap(HBITMAP bitmap, COLORREF rgb, HDC reference_dc, HPALETTE palette) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    if (bm.bmWidth < 1 || bm.bmWidth > largest_side || bm.bmHeight < 1 || bm.bmHeight > largest_side)
        return {};

    // The picture, in a context that carries the palette as its background palette.
    MemoryDC picture_dc(reference_dc);
    if (!picture_dc) return {};
    PaletteSelection palette_in(picture_dc.get(), palette, TRUE);
    ::RealizePalette(picture_dc.get());
    Selection picture_in(picture_dc.get(), bitmap);
    if (!picture_in) return {};

    Bitmap mask(::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr));
    if (!mask) return {};
    MemoryDC mask_dc(reference_dc);
    if (!mask_dc) return {};
    Selection mask_in(mask_dc.get(), mask.get());
    if (!mask_in) return {};

    // Copying colour into monochrome turns the source's background colour into 1 and
    // every other colour into 0.
    ::SetBkColor(picture_dc.get(), rgb);
    ::SetTextColor(picture_dc.get(), RGB(255, 255, 255));
    if (!::BitBlt(mask_dc.get(), 0, 0, bm.bmWidth, bm.bmHeight, picture_dc.get(), 0, 0, SRCCOPY))
        return {};
    // The selections go back in reverse order as the locals end: the mask's context first,
    // then the picture's bitmap and palette.
    return mask;
}

void PutFaceAndMask(HBITMAP mask, HDC reference_dc) {
    MaskInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    if (!mask ||
        !::GetDIBits(reference_dc, mask, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return;
    if (info.header.biBitCount != 1 || info.header.biSizeImage < 1) return;
    const auto height = static_cast<UINT>(info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight);
    std::vector<BYTE> bits(info.header.biSizeImage + 5);

    // The clipboard is not emptied: the picture put there before stays beside the formats.
    OpenedClipboard clipboard;
    if (!clipboard) return;
    const UINT face_id = ::RegisterClipboardFormatA(face_format);
    const UINT mask_id = ::RegisterClipboardFormatA(mask_format);

    if (face_id) put_face(face_id);

    // Reading the rows through the info buffer fills the colour entries behind the header.
    const int lines = ::GetDIBits(reference_dc, mask, 0, height, bits.data(),
                                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    // A mask that could not be read would make the whole face opaque or worse.
    if (mask_id && lines == static_cast<int>(height)) put_mask(mask_id, info, bits);
}

void PutPictureOnClipboard(HBITMAP bitmap, HDC reference_dc) {
    BITMAP bm{};
    if (!bitmap || ::GetObjectA(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth < 0 || bm.bmHeight < 0)
        raise(errors::invalid_picture);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = bm.bmWidth;
    header.biHeight = bm.bmHeight;  // rows bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const uint64_t image = uint64_t{4} * static_cast<uint64_t>(bm.bmWidth) * static_cast<uint64_t>(bm.bmHeight);
    if (image > 0x7FFFFFFF) raise(out_of_memory, u"Out of memory");
    header.biSizeImage = static_cast<DWORD>(image);

    GlobalBlock block(::GlobalAlloc(clipboard_block, sizeof header + static_cast<SIZE_T>(image)));
    if (!block) raise(out_of_memory, u"Out of memory");
    {
        GlobalLocked to(block.get());
        if (!to) raise(out_of_memory, u"Out of memory");
        auto* out = static_cast<BYTE*>(to.get());
        std::memcpy(out, &header, sizeof header);
        if (image > 0) {
            int lines = ::GetDIBits(reference_dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), out + sizeof header,
                                    reinterpret_cast<BITMAPINFO*>(out), DIB_RGB_COLORS);
            if (lines != bm.bmHeight) raise(errors::invalid_picture);
        }
        // The platform may touch header fields it does not need; the block says exactly
        // what it holds.
        std::memcpy(out, &header, sizeof header);
    }

    OpenedClipboard clipboard;
    if (!clipboard) raise(cant_open_clipboard, u"Can't open Clipboard");
    if (!::SetClipboardData(CF_DIB, block.get())) raise(cant_open_clipboard, u"Can't open Clipboard");
    (void)block.release();
}

void CopyFaceToClipboard(const Object& picture, uint32_t mask_colour) {
    if (!picture) raise(errors::invalid_picture);
    if (picture.get(u"Type").as_int32() != 1) raise(errors::invalid_picture);
    const auto bitmap = handle_from<HBITMAP>(picture.get(u"Handle"));
    if (!bitmap) raise(errors::invalid_picture);

    // Released in reverse order on every path: the mask, a palette made here, the screen.
    ScreenDC screen;
    auto palette = handle_from<HPALETTE>(picture.get(u"hPal"));
    Palette halftone;
    if (!palette) {
        halftone.reset(::CreateHalftonePalette(screen.get()));
        palette = halftone.get();
    }
    COLORREF rgb = 0;
    // A colour that does not translate leaves black as the mask colour.
    ::OleTranslateColor(mask_colour, palette, &rgb);

    Bitmap mask = CreateMaskBitmap(bitmap, rgb, screen.get(), palette);
    PutPictureOnClipboard(bitmap, screen.get());
    PutFaceAndMask(mask.get(), screen.get());
}

}  // namespace host::com::mTrIcons
