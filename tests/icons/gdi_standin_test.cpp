// The graphics stand-in on its own: the rules of the API that the button faces rely on,
// and the checks that let the other tests prove nothing leaked or was misused.
#include "tests/icons/icons_fixture.h"

namespace icons_test {
namespace {

TEST_F(IconsTest, GetDIBitsDeliversRowsBottomUpPaddedToFourBytes) {
    // A 3 x 2 monochrome bitmap from rows top first, each padded to 2 bytes.
    const uint8_t rows[] = {0b10100000, 0, 0b01100000, 0};
    HBITMAP mono = ::CreateBitmap(3, 2, 1, 1, rows);
    HDC screen = ::GetDC(nullptr);

    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[2];
    } info{};
    info.h.biSize = 40;
    ASSERT_NE(::GetDIBits(screen, mono, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.h.biBitCount, 1);
    EXPECT_EQ(info.h.biWidth, 3);
    EXPECT_EQ(info.h.biHeight, 2);
    EXPECT_EQ(info.h.biSizeImage, 8u);
    EXPECT_EQ(info.c[1].rgbRed, 0);  // a format query leaves the colour table alone

    uint8_t bits[8];
    std::memset(bits, 0xEE, sizeof bits);
    ASSERT_EQ(::GetDIBits(screen, mono, 0, 2, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 2);
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + 8), (std::vector<uint8_t>{0b01100000, 0, 0, 0, 0b10100000, 0, 0, 0}));
    EXPECT_EQ(info.c[1].rgbRed, 255);

    // The same bitmap as 32 bits per pixel: black and white.
    BITMAPINFOHEADER h32{40, 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t px[6];
    ASSERT_EQ(::GetDIBits(screen, mono, 0, 2, px, reinterpret_cast<BITMAPINFO*>(&h32), DIB_RGB_COLORS), 2);
    EXPECT_EQ(std::vector<uint32_t>(px, px + 6), (std::vector<uint32_t>{0, white, white, white, 0, white}));

    ::DeleteObject(mono);
    ::ReleaseDC(nullptr, screen);
}

TEST_F(IconsTest, BitBltConvertsByTheContextColours) {
    HDC screen = ::GetDC(nullptr);
    HDC a = ::CreateCompatibleDC(screen), b = ::CreateCompatibleDC(screen);
    HBITMAP colour = sim::gdi::make_bitmap(3, 1, {0x00FF00, 0x00FE00, 0x123456});
    HBITMAP mono = ::CreateBitmap(3, 1, 1, 1, nullptr);
    HBITMAP back = ::CreateBitmap(3, 1, 1, 32, nullptr);
    HGDIOBJ old_a = ::SelectObject(a, colour);
    HGDIOBJ old_b = ::SelectObject(b, mono);

    ::SetBkColor(a, RGB(0, 255, 0));
    ASSERT_TRUE(::BitBlt(b, 0, 0, 3, 1, a, 0, 0, SRCCOPY));
    EXPECT_EQ(sim::gdi::pixels(mono), (std::vector<uint32_t>{1, 0, 0}));

    // Monochrome into colour: 1 takes the target's background, 0 its text colour.
    ::SelectObject(a, back);
    ::SetBkColor(a, RGB(0, 0, 255));
    ::SetTextColor(a, RGB(255, 0, 0));
    ASSERT_TRUE(::BitBlt(a, 0, 0, 3, 1, b, 0, 0, SRCCOPY));
    EXPECT_EQ(sim::gdi::pixels(back), (std::vector<uint32_t>{0x0000FF, 0xFF0000, 0xFF0000}));
    EXPECT_FALSE(::BitBlt(a, 0, 0, 3, 1, b, 0, 0, 0x00EE0086));  // only SRCCOPY

    ::SelectObject(a, old_a);
    ::SelectObject(b, old_b);
    for (HBITMAP h : {colour, mono, back}) ::DeleteObject(h);
    ::DeleteDC(a);
    ::DeleteDC(b);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 0);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
}

TEST_F(IconsTest, MisusesAreRecordedAndRefused) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_FALSE(::DeleteObject(bitmap));  // still selected
    HDC other = ::CreateCompatibleDC(nullptr);
    EXPECT_EQ(::SelectObject(other, bitmap), nullptr);  // one context at a time
    ::SelectObject(dc, old);
    EXPECT_TRUE(::DeleteObject(bitmap));

    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_FALSE(::OpenClipboard(nullptr));
    ASSERT_TRUE(::SetClipboardData(CF_DIB, block));
    EXPECT_EQ(::GlobalFree(block), block);  // the clipboard owns it now
    ::CloseClipboard();
    EXPECT_FALSE(::CloseClipboard());

    EXPECT_EQ(sim::gdi::misuses().size(), 4u);
    ::DeleteDC(dc);
    ::DeleteDC(other);
    sim::gdi::reset();
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 0);
}

TEST_F(IconsTest, ClipboardFormatsAndMemoryBlocks) {
    const UINT face = ::RegisterClipboardFormatA("Toolbar Button Face");
    EXPECT_EQ(face, 0xC000u);
    EXPECT_EQ(::RegisterClipboardFormatA("toolbar button FACE"), face);
    EXPECT_EQ(::RegisterClipboardFormatA("Toolbar Button Mask"), 0xC001u);
    EXPECT_EQ(sim::gdi::format_name(face), "Toolbar Button Face");

    // Fresh memory is not zeroed unless asked for.
    HGLOBAL stale = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 3);
    HGLOBAL zero = ::GlobalAlloc(GHND, 3);
    EXPECT_EQ(static_cast<uint8_t*>(::GlobalLock(stale))[0], 0xCD);
    EXPECT_EQ(static_cast<uint8_t*>(::GlobalLock(zero))[2], 0x00);
    EXPECT_FALSE(::GlobalUnlock(stale));  // lock count back to zero
    ::GlobalUnlock(zero);
    EXPECT_EQ(::GlobalSize(zero), 3u);

    EXPECT_EQ(::SetClipboardData(face, stale), nullptr);  // not open
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ASSERT_TRUE(::SetClipboardData(face, stale));
    ASSERT_TRUE(::SetClipboardData(face, zero));  // replaces and frees the first
    EXPECT_EQ(::GetClipboardData(face), zero);
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 1);
    ASSERT_TRUE(::EmptyClipboard());
    ::CloseClipboard();
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 0);
}

TEST_F(IconsTest, OleColoursTranslate) {
    struct Case {
        uint32_t ole;
        HRESULT hr;
        COLORREF rgb;
    };
    const Case cases[] = {
        {0x80000009, S_OK, RGB(255, 255, 255)},  // caption text
        {0x80000008, S_OK, RGB(0, 0, 0)},        // window text
        {0x8000000F, S_OK, RGB(212, 208, 200)},  // button face
        {0x00123456, S_OK, 0x00123456},
        {0x02123456, S_OK, 0x02123456},
        {0x80000040, E_INVALIDARG, 7},
        {0x05000000, E_INVALIDARG, 7},
    };
    for (const Case& c : cases) {
        COLORREF out = 7;
        EXPECT_EQ(::OleTranslateColor(c.ole, nullptr, &out), c.hr) << std::hex << c.ole;
        EXPECT_EQ(out, c.rgb) << std::hex << c.ole;
    }
}

}  // namespace
}  // namespace icons_test
