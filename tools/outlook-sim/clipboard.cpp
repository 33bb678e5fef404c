#include "tools/outlook-sim/clipboard.h"

#include <cstdint>
#include <string>
#include <vector>

#include "host/com/gdi_handles.h"
#include "sim/model/host_errors.h"

namespace outlook_sim {

namespace {

std::string format_name(UINT format) {
    switch (format) {
    case CF_TEXT: return "CF_TEXT";
    case CF_BITMAP: return "CF_BITMAP";
    case CF_METAFILEPICT: return "CF_METAFILEPICT";
    case CF_OEMTEXT: return "CF_OEMTEXT";
    case CF_DIB: return "CF_DIB";
    case CF_PALETTE: return "CF_PALETTE";
    case CF_UNICODETEXT: return "CF_UNICODETEXT";
    case CF_ENHMETAFILE: return "CF_ENHMETAFILE";
    case CF_LOCALE: return "CF_LOCALE";
    case CF_DIBV5: return "CF_DIBV5";
    default: break;
    }
    char name[256] = {};
    if (GetClipboardFormatNameA(format, name, static_cast<int>(sizeof name)) > 0) return name;
    return "#" + std::to_string(format);
}

// The bytes of a memory block the open clipboard holds; none for a handle of another kind.
std::vector<uint8_t> block_bytes(UINT format) {
    HANDLE h = GetClipboardData(format);
    if (!h) return {};
    host::com::GlobalLocked locked(h);
    if (!locked) return {};
    const auto* p = static_cast<const uint8_t*>(locked.get());
    return std::vector<uint8_t>(p, p + GlobalSize(h));
}

}  // namespace

std::vector<sim::ClipboardBlock> read_system_clipboard() {
    host::com::OpenedClipboard clipboard;
    if (!clipboard) sim::fail(sim::failed, u"The clipboard cannot be opened.", u"CommandBarButton");
    std::vector<sim::ClipboardBlock> out;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) {
        sim::ClipboardBlock block{format_name(f), {}};
        if (block.format == sim::face_format || block.format == sim::mask_format) block.bytes = block_bytes(f);
        if (block.format == sim::face_format && block.bytes.size() < sizeof(BITMAPINFOHEADER)) continue;
        out.push_back(std::move(block));
    }
    return out;
}

}  // namespace outlook_sim
