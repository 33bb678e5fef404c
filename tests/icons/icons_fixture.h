#pragma once
// Shared set-up of the button-face tests: a fresh graphics stand-in per test, pictures made
// from pixel grids, and readers for the clipboard blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "addin/button_faces_gdi.h"
#include "host/gdi/control.h"
#include "sim/gdi_picture.h"

namespace icons_test {

inline constexpr uint32_t white = 0xFFFFFF;
inline constexpr uint32_t caption_text = 0x80000009;  // the buttons' mask colour

class IconsTest : public ::testing::Test {
protected:
    void SetUp() override { sim::gdi::reset(); }
    void TearDown() override {
        EXPECT_TRUE(sim::gdi::misuses().empty()) << sim::gdi::misuses().front();
        EXPECT_FALSE(sim::gdi::clipboard_open());
        sim::gdi::reset();
    }

    static UINT face_id() { return ::RegisterClipboardFormatA(addin::mTrIcons::face_format); }
    static UINT mask_id() { return ::RegisterClipboardFormatA(addin::mTrIcons::mask_format); }
};

// A picture of the given pixels (0x00RRGGBB, top row first).
inline host::Object picture(int width, int height, const std::vector<uint32_t>& pixels) {
    return sim::make_picture(sim::gdi::make_bitmap(width, height, pixels));
}

inline BITMAPINFOHEADER header_of(const std::vector<uint8_t>& block) {
    BITMAPINFOHEADER h{};
    if (block.size() >= sizeof h) std::memcpy(&h, block.data(), sizeof h);
    return h;
}

// Bit (x, y) of a 1-bit image whose rows start at offset, bottom row first, padded to 4 bytes.
inline int mono_bit(const std::vector<uint8_t>& block, size_t offset, int width, int height, int x, int y) {
    const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t row = offset + static_cast<size_t>(height - 1 - y) * stride;
    return (block.at(row + static_cast<size_t>(x) / 8) >> (7 - x % 8)) & 1;
}

// Pixel (x, y) of a 32-bit image whose rows start at offset, bottom row first.
inline uint32_t colour_pixel(const std::vector<uint8_t>& block, size_t offset, int width, int height, int x, int y) {
    uint32_t v;
    std::memcpy(&v, &block.at(offset + (static_cast<size_t>(height - 1 - y) * width + x) * 4), 4);
    return v;
}

}  // namespace icons_test
