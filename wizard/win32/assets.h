#pragma once
// The pictures of the designs, read from files: the welcome page's picture and the window
// icons. A missing or unreadable file leaves the place empty; the window works without it.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <string_view>

#include "host/com/com_ptr.h"
#include "host/com/unique_handle.h"

namespace wizard::win32 {

using unique_icon = host::com::unique_any<HICON, &DestroyIcon>;
using unique_font = host::com::unique_any<HFONT, &DeleteObject>;
using unique_brush = host::com::unique_any<HBRUSH, &DeleteObject>;

// `folder` + "\" + `name`.
std::wstring asset_path(const std::wstring& folder, std::u16string_view name);

// An icon file at the given size in pixels; empty when it cannot be read.
unique_icon load_icon(const std::wstring& path, int size);

// A picture file of any kind the system picture loader reads (GIF, BMP, JPEG, icon).
class Picture {
public:
    Picture() = default;
    static Picture load(const std::wstring& path);

    explicit operator bool() const { return bool(picture_); }
    // Draws the picture stretched to `place`, with its transparent parts left as they are.
    void draw(HDC dc, const RECT& place) const;

private:
    host::com::com_ptr<IPicture> picture_;
};

}  // namespace wizard::win32
