// The button faces: mask bits, the two toolbar formats, the rejections, and that every GDI
// object, device context and memory block goes back on every path.
#include <functional>

#include "host/dispatch.h"
#include "host/failure.h"
#include "host/variant.h"
#include "tests/icons/icons_fixture.h"

namespace icons_test {
namespace {

using addin::mTrIcons::CopyFaceToClipboard;
using sim::gdi::Fault;

// ------------------------------------------------------------------ mask bits

struct MaskCase {
    const char* name;
    int width, height;
    uint32_t mask_colour;                        // OLE colour handed in
    std::function<uint32_t(int, int)> pixel;     // the picture, 0x00RRGGBB
    std::function<int(int, int)> expected;       // 1 where transparent
};

void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

class MaskBits : public IconsTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskBits, OneExactlyWhereThePictureHasTheMaskColour) {
    const MaskCase& c = GetParam();
    std::vector<uint32_t> px;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) px.push_back(c.pixel(x, y));
    {
        host::Object pic = picture(c.width, c.height, px);
        CopyFaceToClipboard(pic, c.mask_colour);
    }

    auto mask = sim::gdi::clipboard_bytes(mask_id());
    ASSERT_TRUE(mask);
    const BITMAPINFOHEADER h = header_of(*mask);
    const DWORD image = static_cast<DWORD>(((c.width + 31) / 32) * 4 * c.height);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 1);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, image);
    ASSERT_EQ(mask->size(), 48 + image + 2);
    // Colour entries behind the header: black for 0, white for 1.
    const std::vector<uint8_t> colours(mask->begin() + 40, mask->begin() + 48);
    EXPECT_EQ(colours, (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
    // The two bytes after the rows hold no stale memory.
    EXPECT_EQ((*mask)[48 + image], 0);
    EXPECT_EQ((*mask)[48 + image + 1], 0);

    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            EXPECT_EQ(mono_bit(*mask, 48, c.width, c.height, x, y), c.expected(x, y)) << "at " << x << "," << y;
}

bool mixed(int x, int y) { return (x * 3 + y * 5) % 4 == 0 || x == 12; }

INSTANTIATE_TEST_SUITE_P(
    Pictures, MaskBits,
    ::testing::Values(
        MaskCase{"AllMask", 13, 5, caption_text, [](int, int) { return white; }, [](int, int) { return 1; }},
        MaskCase{"NoMask", 13, 5, caption_text, [](int x, int y) { return 0x102030u + x + y; },
                 [](int, int) { return 0; }},
        // Near-white is not white: only the exact colour is transparent.
        MaskCase{"MixedOddWidth", 13, 5, caption_text,
                 [](int x, int y) { return mixed(x, y) ? white : (x % 2 ? 0xFEFFFFu : 0x2F64B4u); },
                 [](int x, int y) { return mixed(x, y) ? 1 : 0; }},
        // A plain RGB mask colour (COLORREF order: 0x00BBGGRR) picks red pixels.
        MaskCase{"PlainRgbColour", 7, 3, 0x000000FF, [](int x, int) { return x < 3 ? 0xFF0000u : white; },
                 [](int x, int) { return x < 3 ? 1 : 0; }},
        // A row wider than 32 pixels spans two words per row.
        MaskCase{"WideRows", 33, 2, caption_text, [](int x, int y) { return (x + y) % 2 ? white : 0u; },
                 [](int x, int y) { return (x + y) % 2; }}),
    [](const ::testing::TestParamInfo<MaskCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ the face and the picture

TEST_F(IconsTest, FaceIsTheClipboardBitmapByteForByte) {
    std::vector<uint32_t> px;
    for (int i = 0; i < 13 * 5; ++i) px.push_back(i % 4 == 0 ? white : 0x00A0B0C0u + static_cast<uint32_t>(i));
    {
        host::Object pic = picture(13, 5, px);
        CopyFaceToClipboard(pic, caption_text);
    }
    EXPECT_EQ(sim::gdi::clipboard_formats(), (std::vector<UINT>{CF_DIB, face_id(), mask_id()}));

    auto dib = sim::gdi::clipboard_bytes(CF_DIB);
    auto face = sim::gdi::clipboard_bytes(face_id());
    ASSERT_TRUE(dib && face);
    EXPECT_EQ(*face, *dib);

    const BITMAPINFOHEADER h = header_of(*dib);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 13);
    EXPECT_EQ(h.biHeight, 5);  // bottom-up
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, 13u * 5 * 4);
    EXPECT_EQ(h.biClrUsed, 0u);
    ASSERT_EQ(dib->size(), 40u + 13 * 5 * 4);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) EXPECT_EQ(colour_pixel(*dib, 40, 13, 5, x, y), px[y * 13 + x]);
}

TEST_F(IconsTest, ClipboardIsNotEmptiedAndARepeatReplacesTheThreeFormats) {
    // Someone else's text on the clipboard stays.
    HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 6);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ASSERT_TRUE(::SetClipboardData(1, text));
    ASSERT_TRUE(::CloseClipboard());

    host::Object pic = picture(4, 4, std::vector<uint32_t>(16, white));
    CopyFaceToClipboard(pic, caption_text);
    CopyFaceToClipboard(pic, caption_text);

    EXPECT_EQ(sim::gdi::clipboard_formats(), (std::vector<UINT>{1, CF_DIB, face_id(), mask_id()}));
    // The replaced blocks were freed: only the four on the clipboard are alive.
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 4);
}

// ------------------------------------------------------------------ rejections

struct Rejection {
    const char* name;
    std::function<host::Object()> make;
};

void PrintTo(const Rejection& c, std::ostream* os) { *os << c.name; }

class Rejected : public IconsTest, public ::testing::WithParamInterface<Rejection> {};

TEST_P(Rejected, Raises481AndTouchesNothing) {
    host::Object pic = GetParam().make();
    const int objects = sim::gdi::live_gdi_objects();
    try {
        CopyFaceToClipboard(pic, caption_text);
        FAIL() << "no failure";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 481);
        EXPECT_EQ(f.description(), u"Invalid picture");
    }
    EXPECT_EQ(sim::gdi::live_gdi_objects(), objects);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 0);
    EXPECT_TRUE(sim::gdi::clipboard_formats().empty());
    for (const char* fn : {"GetDC", "CreateHalftonePalette", "CreateBitmap", "GlobalAlloc", "OpenClipboard"})
        EXPECT_EQ(sim::gdi::calls(fn), 0) << fn;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, Rejected,
    ::testing::Values(
        Rejection{"NoPicture", [] { return host::Object(); }},
        Rejection{"Icon", [] { return sim::make_picture(sim::gdi::make_bitmap(2, 2, {0, 0, 0, 0}), nullptr, sim::picture_icon); }},
        Rejection{"Metafile", [] { return sim::make_picture(sim::gdi::make_bitmap(2, 2, {0, 0, 0, 0}), nullptr, sim::picture_metafile); }},
        Rejection{"EmptyPicture", [] { return sim::make_picture(nullptr, nullptr, sim::picture_none); }},
        Rejection{"NoHandle", [] { return sim::make_picture(nullptr); }}),
    [](const ::testing::TestParamInfo<Rejection>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ sizes out of range

struct SizeCase {
    int width, height;
    bool mask;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << " x " << c.height; }

class Sizes : public IconsTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(Sizes, OutOfRangeGivesThePictureButNoToolbarFormats) {
    const SizeCase& c = GetParam();
    {
        host::Object pic = picture(c.width, c.height,
                                   std::vector<uint32_t>(static_cast<size_t>(c.width) * c.height, white));
        CopyFaceToClipboard(pic, caption_text);
    }
    auto dib = sim::gdi::clipboard_bytes(CF_DIB);
    ASSERT_TRUE(dib);
    EXPECT_EQ(header_of(*dib).biWidth, c.width);
    EXPECT_EQ(header_of(*dib).biHeight, c.height);
    EXPECT_EQ(dib->size(), 40u + 4u * c.width * c.height);
    EXPECT_EQ(sim::gdi::clipboard_bytes(face_id()).has_value(), c.mask);
    EXPECT_EQ(sim::gdi::clipboard_bytes(mask_id()).has_value(), c.mask);
    EXPECT_EQ(sim::gdi::calls("CreateBitmap"), c.mask ? 1 : 0);
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 0);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, Sizes,
                         ::testing::Values(SizeCase{0, 5, false}, SizeCase{5, 0, false}, SizeCase{30001, 1, false},
                                           SizeCase{1, 30001, false}, SizeCase{30000, 1, true},
                                           SizeCase{1, 1, true}),
                         [](const ::testing::TestParamInfo<SizeCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// ------------------------------------------------------------------ palettes and leaks

TEST_F(IconsTest, WithoutPaletteAHalftonePaletteIsMadeAndDeleted) {
    host::Object pic = picture(3, 3, std::vector<uint32_t>(9, white));
    CopyFaceToClipboard(pic, caption_text);
    EXPECT_EQ(sim::gdi::calls("CreateHalftonePalette"), 1);
    // Left alive: the picture's bitmap, and the three blocks on the clipboard.
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 1);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 3);
    EXPECT_EQ(sim::gdi::clipboard_blocks(), 3);
    pic.reset();
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 0);
}

TEST_F(IconsTest, APictureKeepsItsOwnPalette) {
    HPALETTE own = ::CreateHalftonePalette(nullptr);
    host::Object pic = sim::make_picture(sim::gdi::make_bitmap(3, 3, std::vector<uint32_t>(9, white)), own);
    CopyFaceToClipboard(pic, caption_text);
    EXPECT_EQ(sim::gdi::calls("CreateHalftonePalette"), 1);  // the test's own
    EXPECT_TRUE(sim::gdi::is_palette(own));
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 2);
    EXPECT_TRUE(sim::gdi::clipboard_bytes(mask_id()).has_value());
    pic.reset();
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 0);
}

// ------------------------------------------------------------------ failures on the way

struct FaultCase {
    const char* name;
    Fault fault;
    int nth;
    int error;  // 0: none
    bool dib, face, mask;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class Faults : public IconsTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Faults, EveryPathReleasesWhatItTook) {
    const FaultCase& c = GetParam();
    host::Object pic = picture(13, 5, std::vector<uint32_t>(65, white));
    sim::gdi::inject(c.fault, c.nth);
    int error = 0;
    try {
        CopyFaceToClipboard(pic, caption_text);
    } catch (const host::Failure& f) {
        error = f.number();
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(sim::gdi::clipboard_bytes(CF_DIB).has_value(), c.dib);
    EXPECT_EQ(sim::gdi::clipboard_bytes(face_id()).has_value(), c.face);
    EXPECT_EQ(sim::gdi::clipboard_bytes(mask_id()).has_value(), c.mask);
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 1);  // the picture's bitmap
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
    EXPECT_EQ(sim::gdi::live_memory_blocks(), sim::gdi::clipboard_blocks());
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, Faults,
    ::testing::Values(
        // Placing the picture: its failures end the call.
        FaultCase{"PictureMemory", Fault::GlobalAlloc, 1, 7, false, false, false},
        FaultCase{"PictureBits", Fault::GetDIBits, 1, 481, false, false, false},
        FaultCase{"PictureClipboardBusy", Fault::OpenClipboard, 1, 521, false, false, false},
        FaultCase{"PictureRefused", Fault::SetClipboardData, 1, 521, false, false, false},
        // The mask: without it, neither toolbar format.
        FaultCase{"MaskContext", Fault::CreateCompatibleDC, 1, 0, true, false, false},
        FaultCase{"MaskBitmap", Fault::CreateBitmap, 1, 0, true, false, false},
        FaultCase{"MaskTargetContext", Fault::CreateCompatibleDC, 2, 0, true, false, false},
        // The toolbar formats: each left out on its own, silently.
        FaultCase{"ToolbarClipboardBusy", Fault::OpenClipboard, 2, 0, true, false, false},
        FaultCase{"MaskFormat", Fault::GetDIBits, 2, 0, true, false, false},
        FaultCase{"MaskRows", Fault::GetDIBits, 3, 0, true, true, false},
        FaultCase{"FaceMemory", Fault::GlobalAlloc, 2, 0, true, false, true},
        FaultCase{"MaskMemory", Fault::GlobalAlloc, 3, 0, true, true, false},
        FaultCase{"FaceRefused", Fault::SetClipboardData, 2, 0, true, false, true},
        FaultCase{"MaskRefused", Fault::SetClipboardData, 3, 0, true, true, false}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// A picture object whose palette cannot be read: the screen context is already taken.
class BrokenPicture final : public host::Dispatch {
public:
    explicit BrokenPicture(HBITMAP b) : bitmap_(b) {}
    ~BrokenPicture() override { ::DeleteObject(bitmap_); }
    std::u16string type_name() const override { return u"Picture"; }
    host::Variant invoke(host::Invoke, std::u16string_view member, std::vector<host::Variant>&) override {
        if (member == u"Type") return host::Variant(int16_t{1});
        if (member == u"Handle") return host::Variant(static_cast<int32_t>(reinterpret_cast<intptr_t>(bitmap_)));
        throw host::Failure(-2147418113, u"Catastrophic failure");
    }
    host::Subscription subscribe(std::u16string_view, host::EventHandler) override { return {}; }
    std::unique_ptr<host::Enumerator> enumerate() override { return nullptr; }

private:
    HBITMAP bitmap_;
};

TEST_F(IconsTest, AHostFailureHalfwayReleasesTheScreenContext) {
    host::Object pic(std::make_shared<BrokenPicture>(sim::gdi::make_bitmap(1, 1, {0})));
    EXPECT_THROW(CopyFaceToClipboard(pic, caption_text), host::Failure);
    EXPECT_EQ(sim::gdi::calls("GetDC"), 1);
    EXPECT_EQ(sim::gdi::live_dcs(), 0);
    EXPECT_EQ(sim::gdi::live_gdi_objects(), 1);
    EXPECT_EQ(sim::gdi::live_memory_blocks(), 0);
}

// A picture whose binding hands the handle out as a double, as an unsigned 32-bit value
// arrives through some bindings.
class UnsignedHandlePicture final : public host::Dispatch {
public:
    UnsignedHandlePicture(HBITMAP b, double handle) : bitmap_(b), handle_(handle) {}
    ~UnsignedHandlePicture() override { ::DeleteObject(bitmap_); }
    std::u16string type_name() const override { return u"Picture"; }
    host::Variant invoke(host::Invoke, std::u16string_view member, std::vector<host::Variant>&) override {
        if (member == u"Type") return host::Variant(int16_t{1});
        if (member == u"Handle") return host::Variant(handle_);
        return host::Variant(0.0);
    }
    host::Subscription subscribe(std::u16string_view, host::EventHandler) override { return {}; }
    std::unique_ptr<host::Enumerator> enumerate() override { return nullptr; }

private:
    HBITMAP bitmap_;
    double handle_;
};

TEST_F(IconsTest, HandlesArriveAsAnyNumberType) {
    HBITMAP b = sim::gdi::make_bitmap(1, 1, {white});
    {
        host::Object pic(std::make_shared<UnsignedHandlePicture>(b, static_cast<double>(reinterpret_cast<intptr_t>(b))));
        CopyFaceToClipboard(pic, caption_text);
    }
    EXPECT_TRUE(sim::gdi::clipboard_bytes(mask_id()).has_value());

    host::Object too_big(std::make_shared<UnsignedHandlePicture>(sim::gdi::make_bitmap(1, 1, {0}), 5e9));
    try {
        CopyFaceToClipboard(too_big, caption_text);
        FAIL() << "no failure";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 6);
    }
    EXPECT_EQ(sim::gdi::calls("GetDC"), 1);
}

// ------------------------------------------------------------------ the steps on their own

TEST_F(IconsTest, CreateMaskBitmapLeavesTheContextsAsItFoundThem) {
    HBITMAP bitmap = sim::gdi::make_bitmap(2, 1, {white, 0});
    host::win32::ScreenDC screen;
    host::win32::Palette palette(::CreateHalftonePalette(screen.get()));
    {
        host::win32::Bitmap mask = addin::mTrIcons::CreateMaskBitmap(bitmap, RGB(255, 255, 255), screen.get(), palette.get());
        ASSERT_TRUE(mask);
        EXPECT_EQ(sim::gdi::bits_per_pixel(mask.get()), 1);
        EXPECT_EQ(sim::gdi::pixels(mask.get()), (std::vector<uint32_t>{1, 0}));
    }
    EXPECT_EQ(sim::gdi::live_dcs(), 1);  // the screen
    // Neither the bitmap nor the palette is still selected anywhere: both can go.
    EXPECT_TRUE(::DeleteObject(bitmap));
    EXPECT_TRUE(::DeleteObject(palette.release()));
}

TEST_F(IconsTest, PutFaceAndMaskWithoutAClipboardBitmapStoresTheMaskOnly) {
    HBITMAP mask = ::CreateBitmap(9, 2, 1, 1, nullptr);
    host::win32::ScreenDC screen;
    addin::mTrIcons::PutFaceAndMask(mask, screen.get());
    EXPECT_EQ(sim::gdi::clipboard_formats(), (std::vector<UINT>{mask_id()}));
    ::DeleteObject(mask);
}

TEST_F(IconsTest, PutFaceAndMaskIgnoresAColourBitmap) {
    HBITMAP colour = sim::gdi::make_bitmap(2, 2, {0, 0, 0, 0});
    host::win32::ScreenDC screen;
    addin::mTrIcons::PutFaceAndMask(colour, screen.get());
    EXPECT_TRUE(sim::gdi::clipboard_formats().empty());
    EXPECT_EQ(sim::gdi::calls("OpenClipboard"), 0);
    ::DeleteObject(colour);
}

}  // namespace
}  // namespace icons_test
