#include "wizard/win32/assets.h"

namespace wizard::win32 {

std::wstring asset_path(const std::wstring& folder, std::u16string_view name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path.append(name.begin(), name.end());
    return path;
}

unique_icon load_icon(const std::wstring& path, int size) {
    return unique_icon(static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
}

Picture Picture::load(const std::wstring& path) {
    Picture p;
    std::wstring buffer = path;  // the loader takes a writable string
    if (FAILED(OleLoadPicturePath(buffer.data(), nullptr, 0, 0, IID_IPicture, p.picture_.put_void())))
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
