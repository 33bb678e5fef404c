// Reading a button face off the clipboard, as a command-bar button's PasteFace does.
#include "sim/model/command_bar_parts.h"
#include "sim/model/host_errors.h"

namespace sim {

ClipboardFace face_from_clipboard(const World& world) {
    const std::vector<ClipboardBlock> blocks = world.read_clipboard ? world.read_clipboard() : world.clipboard;
    ClipboardFace out;
    const ClipboardBlock* face = nullptr;
    for (const auto& block : blocks) {
        out.formats.push_back(block.format);
        if (block.format == face_format) face = &block;
        if (block.format == mask_format) out.mask = block.bytes;
    }
    if (!face)
        fail(failed, u"Method 'PasteFace' of object 'CommandBarButton' failed: the clipboard holds no button face.",
             u"CommandBarButton");
    out.face = face->bytes;
    return out;
}

}  // namespace sim
