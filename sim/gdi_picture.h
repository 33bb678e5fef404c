#pragma once
// Pictures of the native build: automation picture objects (Handle, hPal, Type, Width,
// Height) over stand-in bitmaps, and the loader of picture files.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/gdi/api.h"
#include "host/object.h"

namespace sim {

// Picture types as the automation picture reports them.
inline constexpr int16_t picture_none = 0;
inline constexpr int16_t picture_bitmap = 1;
inline constexpr int16_t picture_metafile = 2;
inline constexpr int16_t picture_icon = 3;

// A picture object over a bitmap handle (which may be null) and a palette (null for
// none). The picture owns both and deletes them when its last reference goes.
host::Object make_picture(HBITMAP bitmap, HPALETTE palette = nullptr, int16_t type = picture_bitmap);

// The folder setups always installed the add-in to: the loader finds its files among the
// repository's assets.
inline constexpr std::u16string_view fixed_install_folder = u"C:\\Program Files\\Orvane Corporation\\Quillamor\\";

// Loads a GIF file into a picture of type bitmap (32 bits per pixel, the first image on
// the GIF's screen). A path under fixed_install_folder names the file of that name in the
// repository's assets folder; any other path is a native file name. Raises 53 (file not
// found) for a file that is not there and 481 (invalid picture) for one that is not a GIF.
host::Object load_picture_file(std::u16string_view path);

// The native file a path names, as load_picture_file maps it.
std::string native_picture_path(std::u16string_view path);

}  // namespace sim
