#pragma once
// Pictures whose button faces are recorded from a real GDI (Wine's) and compared with the
// native stand-in's: the same source runs on both (see record/record_face_bytes.cpp).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "addin/button_faces_gdi.h"
#include "host/dispatch.h"
#include "host/failure.h"
#include "host/variant.h"

namespace icons_test {

struct FaceCase {
    const char* name;
    int width, height;
    uint32_t mask_colour;          // OLE colour
    uint32_t (*pixel)(int x, int y);  // as a 32-bit DIB stores it: 0xAARRGGBB
};

inline const std::vector<FaceCase>& face_cases() {
    static const std::vector<FaceCase> cases = {
        {"all-mask", 13, 5, 0x80000009, [](int, int) -> uint32_t { return 0xFFFFFF; }},
        {"no-mask", 13, 5, 0x80000009, [](int x, int y) -> uint32_t { return 0x102030u + x + y; }},
        {"mixed", 13, 5, 0x80000009,
         [](int x, int y) -> uint32_t {
             return ((x * 3 + y * 5) % 4 == 0 || x == 12) ? 0xFFFFFFu : (x % 2 ? 0xFEFFFFu : 0x2F64B4u);
         }},
        {"plain-rgb", 7, 3, 0x000000FF, [](int x, int) -> uint32_t { return x < 3 ? 0xFF0000u : 0xFFFFFFu; }},
        {"wide-rows", 33, 2, 0x80000009, [](int x, int y) -> uint32_t { return (x + y) % 2 ? 0xFFFFFFu : 0u; }},
        {"fourth-byte-set", 3, 2, 0x80000009,
         [](int x, int) -> uint32_t { return x == 0 ? 0xFFFFFFFFu : x == 1 ? 0x00FFFFFFu : 0xFF123456u; }},
    };
    return cases;
}

// A bitmap picture object over a bitmap it owns.
class BitmapPicture final : public host::Dispatch {
public:
    explicit BitmapPicture(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~BitmapPicture() override { ::DeleteObject(bitmap_); }
    BitmapPicture(const BitmapPicture&) = delete;
    BitmapPicture& operator=(const BitmapPicture&) = delete;
    std::u16string type_name() const override { return u"Picture"; }
    host::Variant invoke(host::Invoke, std::u16string_view member, std::vector<host::Variant>&) override {
        if (member == u"Type") return host::Variant(int16_t{1});
        if (member == u"Handle") return host::Variant(static_cast<int32_t>(reinterpret_cast<intptr_t>(bitmap_)));
        if (member == u"hPal") return host::Variant(int32_t{0});
        host::raise(host::errors::member_not_found);
    }
    host::Subscription subscribe(std::u16string_view, host::EventHandler) override { return {}; }
    std::unique_ptr<host::Enumerator> enumerate() override { return nullptr; }

private:
    HBITMAP bitmap_;
};

inline std::string clipboard_hex(const char* label, UINT format) {
    std::string out = label;
    if (!::OpenClipboard(nullptr)) return out + " (clipboard busy)";
    HANDLE h = ::GetClipboardData(format);
    if (!h) {
        ::CloseClipboard();
        return out + " none";
    }
    const SIZE_T n = ::GlobalSize(h);
    const auto* p = static_cast<const unsigned char*>(::GlobalLock(h));
    out += " " + std::to_string(n) + " ";
    char hex[3];
    for (SIZE_T i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", p[i]);
        out += hex;
    }
    ::GlobalUnlock(h);
    ::CloseClipboard();
    return out;
}

// The three formats a case leaves on an emptied clipboard, one line each after its name.
inline std::string face_bytes(const FaceCase& c) {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    std::vector<uint32_t> bits;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) bits.push_back(c.pixel(x, y));
    std::string out = std::string("== ") + c.name + "\n";
    try {
        host::Object picture(std::make_shared<BitmapPicture>(::CreateBitmap(c.width, c.height, 1, 32, bits.data())));
        addin::mTrIcons::CopyFaceToClipboard(picture, c.mask_colour);
    } catch (const host::Failure& f) {
        out += "failure " + std::to_string(f.number()) + "\n";
    }
    out += clipboard_hex("dib", CF_DIB) + "\n";
    out += clipboard_hex("face", ::RegisterClipboardFormatA(addin::mTrIcons::face_format)) + "\n";
    out += clipboard_hex("mask", ::RegisterClipboardFormatA(addin::mTrIcons::mask_format)) + "\n";
    return out;
}

}  // namespace icons_test
