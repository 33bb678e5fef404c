#pragma once
// Pictures of the native build: automation picture objects (Handle, hPal, Type, Width,
// Height) over pixels of their own, and the loader of picture files. The native build draws
// nothing: what the add-in does with a picture natively is hand it back to the host, which
// checks what the platform would check of it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/object.h"

namespace sim {

// Picture types as the automation picture reports them.
inline constexpr int16_t picture_none = 0;
inline constexpr int16_t picture_bitmap = 1;
inline constexpr int16_t picture_metafile = 2;
inline constexpr int16_t picture_icon = 3;

// A picture's pixels, 0x00RRGGBB, row by row from the top.
struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// A picture object over an image. Its Handle stands for a bitmap's: non-zero, and different
// for every picture, unless the image is empty; hPal is 0.
host::Object make_picture(Image image, int16_t type = picture_bitmap);
// The image of a picture made here; null for any other object.
const Image* image_of(const host::Object& picture);

// The folder setups always installed the add-in to: the loader finds its files among the
// repository's assets.
inline constexpr std::u16string_view fixed_install_folder = u"C:\\Program Files\\Orvane Corporation\\Quillamor\\";

// Loads a GIF file into a picture of type bitmap (the first image on the GIF's screen). A
// path under fixed_install_folder names the file of that name in the repository's assets
// folder; any other path is a native file name. Raises 53 (file not found) for a file that
// is not there and 481 (invalid picture) for one that is not a GIF.
host::Object load_picture_file(std::u16string_view path);

// The native file a path names, as load_picture_file maps it.
std::string native_picture_path(std::u16string_view path);

}  // namespace sim
