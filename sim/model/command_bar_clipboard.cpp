// Reading a button face off the clipboard, as a command-bar button's PasteFace does.
#include <optional>
#include <string>
#include <vector>

#include "host/win32_api.h"
#include "sim/model/command_bar_parts.h"
#include "sim/model/host_errors.h"

namespace sim {

namespace {

std::string format_name(UINT format) {
    switch (format) {
    case 1: return "CF_TEXT";
    case 2: return "CF_BITMAP";
    case 3: return "CF_METAFILEPICT";
    case 7: return "CF_OEMTEXT";
    case 8: return "CF_DIB";
    case 9: return "CF_PALETTE";
    case 13: return "CF_UNICODETEXT";
    case 14: return "CF_ENHMETAFILE";
    case 16: return "CF_LOCALE";
    case 17: return "CF_DIBV5";
    default: break;
    }
    char name[256] = {};
    if (::GetClipboardFormatNameA(format, name, static_cast<int>(sizeof name)) > 0) return name;
    return "#" + std::to_string(format);
}

// The bytes the clipboard holds under a format; the clipboard must be open.
std::optional<std::vector<uint8_t>> clipboard_block(UINT format) {
    if (format == 0) return std::nullopt;
    HANDLE h = ::GetClipboardData(format);
    if (!h) return std::nullopt;
    host::win32::GlobalLocked locked(h);
    if (!locked) return std::nullopt;
    const auto* p = static_cast<const uint8_t*>(locked.get());
    return std::vector<uint8_t>(p, p + ::GlobalSize(h));
}

}  // namespace

ClipboardFace face_from_clipboard() {
    constexpr std::u16string_view source = u"CommandBarButton";
    host::win32::OpenedClipboard clipboard;
    if (!clipboard) fail(failed, u"The clipboard cannot be opened.", source);
    ClipboardFace out;
    for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) out.formats.push_back(format_name(f));
    auto face = clipboard_block(::RegisterClipboardFormatA("Toolbar Button Face"));
    if (!face || face->size() < sizeof(BITMAPINFOHEADER))
        fail(failed, u"Method 'PasteFace' of object 'CommandBarButton' failed: the clipboard holds no button face.",
             source);
    out.face = std::move(*face);
    if (auto mask = clipboard_block(::RegisterClipboardFormatA("Toolbar Button Mask"))) out.mask = std::move(*mask);
    return out;
}

}  // namespace sim
