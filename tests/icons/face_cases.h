#pragma once
// The button face the platform's graphics functions make of a picture, worked out from the
// picture's pixels alone: the Windows tests compare the real clipboard with it case by case,
// and tests/outlook-sim/contactsicon_face.txt holds it for the shipped picture.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace icons_test {

// The three clipboard blocks of a face.
struct FaceBlocks {
    std::vector<uint8_t> dib, face, mask;
};

// pixels: as a 32-bit device-independent bitmap holds them (0xAARRGGBB), row by row from
// the top; mask: the mask colour as such a pixel. A pixel is transparent when all of its
// 32 bits are the mask colour's.
inline FaceBlocks expected_face(int width, int height, const std::vector<uint32_t>& pixels, uint32_t mask) {
    auto put = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        // Bytes past the value's four are zeros (a shift by 32 or more is not defined).
        for (int i = 0; i < bytes; ++i) out.push_back(i < 4 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
    };
    // The 40-byte info header as the platform fills it: no compression, no resolution, no
    // colour counts.
    auto header = [&](std::vector<uint8_t>& out, int bits, uint32_t image) {
        put(out, 40, 4);
        put(out, static_cast<uint32_t>(width), 4);
        put(out, static_cast<uint32_t>(height), 4);  // positive: rows bottom-up
        put(out, 1, 2);
        put(out, static_cast<uint32_t>(bits), 2);
        put(out, 0, 4);
        put(out, image, 4);
        put(out, 0, 16);
    };
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; };

    FaceBlocks out;
    header(out.dib, 32, 4u * width * height);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) put(out.dib, at(x, y), 4);
    out.face = out.dib;

    const size_t stride = (static_cast<size_t>(width) + 31) / 32 * 4;
    header(out.mask, 1, static_cast<uint32_t>(stride * height));
    put(out.mask, 0x00000000, 4);  // 0: black
    put(out.mask, 0x00FFFFFF, 4);  // 1: white
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x)
            if (at(x, y) == mask) row[static_cast<size_t>(x) / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.mask.insert(out.mask.end(), row.begin(), row.end());
    }
    put(out.mask, 0, 2);  // the two bytes behind the rows, zeroed
    return out;
}

// A block as one line: its name, its size and its bytes in hex.
inline std::string hex_line(const char* name, const std::vector<uint8_t>& bytes) {
    std::string out = std::string(name) + " " + std::to_string(bytes.size()) + " ";
    char hex[3];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        out += hex;
    }
    return out;
}

}  // namespace icons_test
