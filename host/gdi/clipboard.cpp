// The stand-in's clipboard: opening it, registered formats, and the blocks it holds.
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include <algorithm>
#include <cctype>
#include <cstring>

#include "host/gdi/state.h"

using namespace sim::gdi::standin;

namespace {

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

// ---------------------------------------------------------------- clipboard

BOOL OpenClipboard(HWND) {
    count("OpenClipboard");
    if (refused(sim::gdi::Fault::OpenClipboard)) return FALSE;
    if (state().clipboard_open) {
        misuse("OpenClipboard while it is open");
        return FALSE;
    }
    state().clipboard_open = true;
    return TRUE;
}

BOOL CloseClipboard() {
    count("CloseClipboard");
    if (!state().clipboard_open) {
        misuse("CloseClipboard while it is closed");
        return FALSE;
    }
    state().clipboard_open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    count("EmptyClipboard");
    if (!state().clipboard_open) return FALSE;
    for (auto& [format, block] : state().clipboard) free_block(block);
    state().clipboard.clear();
    return TRUE;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
    count("RegisterClipboardFormatA");
    if (!name || !*name) return 0;
    auto& names = state().format_names;
    std::string key = lower(name);
    for (size_t i = 0; i < names.size(); ++i)
        if (lower(names[i]) == key) return first_registered_format + static_cast<UINT>(i);
    if (first_registered_format + names.size() > last_registered_format) return 0;
    names.emplace_back(name);
    return first_registered_format + static_cast<UINT>(names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, char* name, int size) {
    std::string n = sim::gdi::format_name(format);
    if (n.empty() || !name || size <= 0) return 0;
    int len = std::min(static_cast<int>(n.size()), size - 1);
    std::memcpy(name, n.data(), static_cast<size_t>(len));
    name[len] = '\0';
    return len;
}

HANDLE GetClipboardData(UINT format) {
    count("GetClipboardData");
    if (!state().clipboard_open) return nullptr;
    for (auto& [f, block] : state().clipboard)
        if (f == format) return handle_of<HANDLE>(block);
    return nullptr;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    count("SetClipboardData");
    if (!state().clipboard_open || format == 0 || !data) return nullptr;
    Block* b = find_block(id_of(data));
    if (!b) return nullptr;
    if (refused(sim::gdi::Fault::SetClipboardData)) return nullptr;
    auto& clip = state().clipboard;
    auto it = std::find_if(clip.begin(), clip.end(), [&](auto& e) { return e.first == format; });
    if (it != clip.end() && it->second == id_of(data)) return data;
    if (b->on_clipboard) {
        misuse("SetClipboardData of a block the clipboard holds under another format");
        return nullptr;
    }
    if (b->locks > 0) misuse("SetClipboardData of a locked block");
    if (it != clip.end()) {
        free_block(it->second);
        it->second = id_of(data);
    } else {
        clip.emplace_back(format, id_of(data));
    }
    b->on_clipboard = true;
    if (state().listener) state().listener(format, sim::gdi::format_name(format));
    return data;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    for (auto& [f, block] : state().clipboard)
        if (f == format) return TRUE;
    return FALSE;
}

int CountClipboardFormats() { return static_cast<int>(state().clipboard.size()); }

UINT EnumClipboardFormats(UINT format) {
    if (!state().clipboard_open) return 0;
    auto& clip = state().clipboard;
    if (format == 0) return clip.empty() ? 0 : clip.front().first;
    for (size_t i = 0; i + 1 < clip.size(); ++i)
        if (clip[i].first == format) return clip[i + 1].first;
    return 0;
}

#endif  // !_WIN32
