#include "wizard/win32/assets.h"

#include <cstring>
#include <string>

namespace wizard::win32 {

namespace {

// The resource of a design's picture name: "startup.gif" is STARTUP_GIF (a resource name
// holds no ".", and the window system looks names up in capitals).
std::wstring resource_name(std::u16string_view name) {
    std::wstring id;
    for (char16_t c : name) id += c == u'.' ? L'_' : static_cast<wchar_t>(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
    return id;
}

}  // namespace

unique_icon load_icon(HINSTANCE module, std::u16string_view name, int size) {
    const std::wstring id = resource_name(name);
    return unique_icon(static_cast<HICON>(LoadImageW(module, id.c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

Picture Picture::load(HINSTANCE module, std::u16string_view name) {
    Picture p;
    const std::wstring id = resource_name(name);
    HRSRC found = FindResourceW(module, id.c_str(), RT_RCDATA);
    HGLOBAL resource = found ? LoadResource(module, found) : nullptr;
    const void* bytes = resource ? LockResource(resource) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || !size) return p;

    // The loader reads a stream; the stream gets a movable copy of the bytes of its own.
    host::com::GlobalBlock copy(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy) return p;
    if (void* to = GlobalLock(copy.get())) {
        std::memcpy(to, bytes, size);
        GlobalUnlock(copy.get());
    } else {
        return p;
    }
    host::com::com_ptr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy.get(), TRUE, stream.put()))) return p;
    static_cast<void>(copy.release());  // the stream frees it
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, p.picture_.put_void())))
        p.picture_.reset();
    return p;
}

void Picture::draw(HDC dc, const RECT& place) const {
    if (!picture_) return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // The source rectangle runs bottom-up in HIMETRIC units.
    picture_->Render(dc, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     0, height, width, -height, nullptr);
}

}  // namespace wizard::win32
