#pragma once
// The system's clipboard as the played host's PasteFace reads it: the add-in is a DLL of its
// own here and leaves its button faces there, not in the substitute host's memory.
#include <vector>

#include "sim/model/clipboard.h"

namespace outlook_sim {

// Every format the clipboard holds, by name ("CF_DIB" and the like for the standard ones), with
// the bytes of the face and the mask. A face block too short to hold a bitmap's header is no
// face the host could paste, and is left out. Fails as PasteFace does when the clipboard
// cannot be opened.
std::vector<sim::ClipboardBlock> read_system_clipboard();

}  // namespace outlook_sim
