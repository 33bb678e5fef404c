// The stand-in's global memory blocks: allocation, locking and freeing.
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include "host/gdi/state.h"

using namespace sim::gdi::standin;

namespace {

constexpr SIZE_T max_block = SIZE_T{1} << 30;

}  // namespace

// ---------------------------------------------------------------- global memory

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    count("GlobalAlloc");
    if (bytes > max_block) return nullptr;
    if (refused(sim::gdi::Fault::GlobalAlloc)) return nullptr;
    Block b;
    // Fresh memory is not zero unless asked for: stale bytes must show up in tests.
    b.bytes.assign(bytes, (flags & GMEM_ZEROINIT) ? 0x00 : 0xCD);
    uintptr_t id = state().new_id();
    state().blocks[id] = std::move(b);
    return handle_of<HGLOBAL>(id);
}

HGLOBAL GlobalFree(HGLOBAL block) {
    count("GlobalFree");
    if (!block) return nullptr;
    Block* b = find_block(id_of(block));
    if (!b) {
        misuse("GlobalFree of an unknown handle");
        return block;
    }
    if (b->on_clipboard) {
        misuse("GlobalFree of a block the clipboard holds");
        return block;
    }
    free_block(id_of(block));
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL block) {
    count("GlobalLock");
    Block* b = find_block(id_of(block));
    if (!b || b->bytes.empty()) return nullptr;
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    count("GlobalUnlock");
    Block* b = find_block(id_of(block));
    if (!b) return FALSE;
    if (b->locks == 0) {
        misuse("GlobalUnlock of a block that is not locked");
        return FALSE;
    }
    return --b->locks > 0;
}

SIZE_T GlobalSize(HGLOBAL block) {
    Block* b = find_block(id_of(block));
    return b ? b->bytes.size() : 0;
}

#endif  // !_WIN32
