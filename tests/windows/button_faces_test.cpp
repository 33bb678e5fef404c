// The button faces under the platform's own graphics and clipboard, through the environment
// the add-in asks: every block byte for byte as worked out from the picture's pixels, the
// pictures rejected with nothing touched, the sizes that make no mask, and the clipboard left
// as it was found apart from the three formats.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/com/button_faces.h"
#include "host/com/com_environment.h"
#include "host/dispatch.h"
#include "host/failure.h"
#include "host/variant.h"
#include "tests/icons/face_cases.h"

namespace wintest {

namespace {

namespace faces = host::com::mTrIcons;

// An automation picture over a bitmap it owns; the handle may be handed out as another number.
class Picture final : public host::Dispatch {
public:
    Picture(HBITMAP bitmap, int16_t type, std::optional<host::Variant> handle = std::nullopt)
        : bitmap_(bitmap), type_(type),
          handle_(handle.value_or(host::Variant(static_cast<int32_t>(reinterpret_cast<intptr_t>(bitmap))))) {}
    ~Picture() override {
        if (bitmap_) DeleteObject(bitmap_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    std::u16string type_name() const override { return u"Picture"; }
    host::Variant invoke(host::Invoke, std::u16string_view member, std::vector<host::Variant>&) override {
        if (member == u"Type") return host::Variant(type_);
        if (member == u"Handle") return handle_;
        if (member == u"hPal") return host::Variant(int32_t{0});
        host::raise(host::errors::member_not_found);
    }
    host::Subscription subscribe(std::u16string_view, host::EventHandler) override { return {}; }
    std::unique_ptr<host::Enumerator> enumerate() override { return nullptr; }

private:
    HBITMAP bitmap_;
    int16_t type_;
    host::Variant handle_;
};

// A 32-bit bitmap of pixels as a device-independent bitmap holds them, top row first.
HBITMAP bitmap(int width, int height, const std::vector<uint32_t>& pixels) {
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

host::Object picture(int width, int height, const std::vector<uint32_t>& pixels, int16_t type = PICTYPE_BITMAP) {
    return host::Object(std::make_shared<Picture>(bitmap(width, height, pixels), type));
}

void empty_clipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

// The bytes under a format; none when the clipboard holds none.
std::optional<std::vector<uint8_t>> block(UINT format) {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::vector<uint8_t>> out;
    if (HANDLE h = GetClipboardData(format)) {
        const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
        if (p) out.emplace(p, p + GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

UINT face_id() { return RegisterClipboardFormatA(faces::face_format); }
UINT mask_id() { return RegisterClipboardFormatA(faces::mask_format); }

// A COLORREF (0x00BBGGRR) as a pixel of a 32-bit bitmap (0x00RRGGBB).
uint32_t pixel_of(COLORREF c) { return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c); }

struct FaceCase {
    const char* name;
    int width, height;
    uint32_t mask_colour;                                  // OLE colour handed in
    std::function<uint32_t(int x, int y, uint32_t mask)> pixel;  // given the mask colour as a pixel
};

TEST(ButtonFace, EveryBlockIsTheOneWorkedOutFromThePixels) {
    // The caption text's colour is the buttons'; what it is depends on the desktop's scheme.
    const uint32_t caption = pixel_of(GetSysColor(COLOR_CAPTIONTEXT));
    const FaceCase cases[] = {
        {"all transparent", 13, 5, 0x80000009, [](int, int, uint32_t m) { return m; }},
        {"none transparent", 13, 5, 0x80000009, [](int x, int y, uint32_t m) { return (m ^ 0x102030u) + x + y; }},
        // Near the mask colour is not it.
        {"mixed, odd width", 13, 5, 0x80000009,
         [](int x, int y, uint32_t m) { return (x * 3 + y * 5) % 4 == 0 || x == 12 ? m : x % 2 ? m ^ 1u : 0x2F64B4u; }},
        // A plain RGB colour (COLORREF order) picks its pixels.
        {"plain RGB", 7, 3, 0x000000FF, [](int x, int, uint32_t m) { return x < 3 ? m : 0xFFFFFFu; }},
        // A row wider than 32 pixels spans two words of the mask.
        {"wide rows", 33, 2, 0x80000009, [](int x, int y, uint32_t m) { return (x + y) % 2 ? m : m ^ 0xFFFFFFu; }},
        // The bitmap keeps a set fourth byte, and such a pixel is not the mask colour.
        {"fourth byte set", 3, 2, 0x80000009,
         [](int x, int, uint32_t m) { return x == 0 ? 0xFF000000u | m : x == 1 ? m : 0xFF123456u; }},
    };
    host::com::ComEnvironment env;
    for (const FaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t mask = c.mask_colour & 0x80000000 ? caption : pixel_of(c.mask_colour);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) pixels.push_back(c.pixel(x, y, mask));
        empty_clipboard();
        env.copy_button_face(picture(c.width, c.height, pixels), c.mask_colour);

        const icons_test::FaceBlocks expected = icons_test::expected_face(c.width, c.height, pixels, mask);
        EXPECT_EQ(block(CF_DIB), expected.dib);
        EXPECT_EQ(block(face_id()), expected.face);
        EXPECT_EQ(block(mask_id()), expected.mask);
    }
}

TEST(ButtonFace, ARejectedPictureTouchesNothing) {
    struct Case {
        const char* name;
        std::function<host::Object()> make;
        int32_t error;
    };
    const std::vector<uint32_t> black(4, 0);
    const Case cases[] = {
        {"no picture", [] { return host::Object(); }, host::errors::invalid_picture},
        {"an icon", [&] { return picture(2, 2, black, PICTYPE_ICON); }, host::errors::invalid_picture},
        {"a metafile", [&] { return picture(2, 2, black, PICTYPE_METAFILE); }, host::errors::invalid_picture},
        {"no handle", [] { return host::Object(std::make_shared<Picture>(nullptr, PICTYPE_BITMAP)); },
         host::errors::invalid_picture},
        // A handle beyond 32 bits is no handle a picture could hand out.
        {"handle out of range",
         [&] { return host::Object(std::make_shared<Picture>(bitmap(2, 2, black), PICTYPE_BITMAP, host::Variant(5e9))); },
         host::errors::overflow},
    };
    host::com::ComEnvironment env;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        empty_clipboard();
        host::Object pic = c.make();
        try {
            env.copy_button_face(pic, 0x80000009);
            ADD_FAILURE() << "no failure";
        } catch (const host::Failure& f) {
            EXPECT_EQ(f.number(), c.error);
        }
        EXPECT_EQ(CountClipboardFormats(), 0);
    }
}

TEST(ButtonFace, AHandleHandedOutAsAnotherNumberStillNamesTheBitmap) {
    const std::vector<uint32_t> white(4, 0xFFFFFF);
    HBITMAP b = bitmap(2, 2, white);
    host::com::ComEnvironment env;
    empty_clipboard();
    env.copy_button_face(host::Object(std::make_shared<Picture>(
                             b, PICTYPE_BITMAP, host::Variant(static_cast<double>(reinterpret_cast<intptr_t>(b))))),
                         0x000000FF);
    EXPECT_TRUE(block(mask_id()));
}

TEST(ButtonFace, OutOfRangeSizesLeaveThePictureButNoToolbarFormats) {
    struct Case {
        int width, height;
        bool toolbar_formats;
    };
    const Case cases[] = {{30001, 1, false}, {1, 30001, false}, {30000, 1, true}, {1, 1, true}};
    host::com::ComEnvironment env;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        empty_clipboard();
        env.copy_button_face(picture(c.width, c.height, std::vector<uint32_t>(size_t(c.width) * c.height, 0xFFFFFF)),
                             0x80000009);
        const auto dib = block(CF_DIB);
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->size(), 40u + 4u * c.width * c.height);
        EXPECT_EQ(block(face_id()).has_value(), c.toolbar_formats);
        EXPECT_EQ(block(mask_id()).has_value(), c.toolbar_formats);
    }
}

// The clipboard is shared with every program: what another one left there stays, and a
// second face replaces the first rather than adding to it.
TEST(ButtonFace, TheClipboardKeepsWhatElseItHeld) {
    empty_clipboard();
    const char text[] = "kept";
    HGLOBAL block_of_text = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(block_of_text), text, sizeof text);
    GlobalUnlock(block_of_text);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(SetClipboardData(CF_TEXT, block_of_text));
    CloseClipboard();

    host::com::ComEnvironment env;
    const std::vector<uint32_t> white(16, 0xFFFFFF);
    env.copy_button_face(picture(4, 4, white), 0x80000009);
    const int formats = CountClipboardFormats();
    env.copy_button_face(picture(4, 4, white), 0x80000009);

    EXPECT_EQ(CountClipboardFormats(), formats);
    EXPECT_EQ(block(CF_TEXT), std::vector<uint8_t>(text, text + sizeof text));
    EXPECT_TRUE(block(face_id()));
    EXPECT_TRUE(block(mask_id()));
}

}  // namespace

}  // namespace wintest
