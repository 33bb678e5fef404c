#pragma once
// The pictures of the designs: the welcome page's picture and the window icons, resources of
// the module that holds the pages, found by the name the design gives them ("startup.gif" is
// the resource STARTUP_GIF).
// A picture that is not there leaves its place empty; the window works without it.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string_view>

#include "host/com/com_ptr.h"
#include "host/com/gdi_handles.h"
#include "host/com/unique_handle.h"

namespace wizard::win32 {

using unique_icon = host::unique_any<HICON, &DestroyIcon>;
using unique_font = host::com::GdiObject<HFONT>;
using unique_brush = host::com::GdiObject<HBRUSH>;

// The icon resource of that name at the given size in pixels; empty when there is none.
unique_icon load_icon(HINSTANCE module, std::u16string_view name, int size);

// A picture resource of any kind the system picture loader reads (GIF, BMP, JPEG, icon).
class Picture {
public:
    Picture() = default;
    static Picture load(HINSTANCE module, std::u16string_view name);

    explicit operator bool() const { return bool(picture_); }
    // Draws the picture stretched to `place`, with its transparent parts left as they are.
    void draw(HDC dc, const RECT& place) const;

private:
    host::com::com_ptr<IPicture> picture_;
};

}  // namespace wizard::win32
