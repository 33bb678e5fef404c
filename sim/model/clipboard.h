#pragma once
// The clipboard of the substitute host, as the command bars' PasteFace reads it: blocks of
// bytes under named formats, in the order their formats were first stored.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

// The formats of a button face: the picture as a device-independent bitmap, and the face
// and mask PasteFace reads.
inline constexpr std::string_view dib_format = "CF_DIB";
inline constexpr std::string_view face_format = "Toolbar Button Face";
inline constexpr std::string_view mask_format = "Toolbar Button Mask";

struct ClipboardBlock {
    std::string format;  // a registered format's name, or "CF_DIB" and the like
    std::vector<uint8_t> bytes;
};

// Stores a block as the system's clipboard does: it replaces a block of the same format in
// its place, or comes after the others.
inline void store(std::vector<ClipboardBlock>& clipboard, std::string_view format, std::vector<uint8_t> bytes = {}) {
    for (auto& block : clipboard)
        if (block.format == format) {
            block.bytes = std::move(bytes);
            return;
        }
    clipboard.push_back({std::string(format), std::move(bytes)});
}

}  // namespace sim
