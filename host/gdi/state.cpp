// The stand-in's shared state and helpers, and its control and inspection (control.h).
// Windows has the real functions, so the whole file is for the native build only.
#if !defined(_WIN32)

#include "host/gdi/state.h"

namespace sim::gdi::standin {

namespace {

constexpr long long max_pixels = 64LL * 1024 * 1024;

}  // namespace

State& state() {
    static State s;
    return s;
}

void misuse(std::string what) { state().misuses.push_back(std::move(what)); }
void count(const char* function) { ++state().calls[function]; }

bool refused(sim::gdi::Fault fault) {
    auto it = state().faults.find(fault);
    if (it == state().faults.end()) return false;
    if (it->second.always) return true;
    if (it->second.countdown > 0 && --it->second.countdown == 0) {
        state().faults.erase(it);
        return true;
    }
    return false;
}

Bitmap* find_bitmap(uintptr_t id) {
    auto it = state().bitmaps.find(id);
    return it == state().bitmaps.end() ? nullptr : &it->second;
}
Palette* find_palette(uintptr_t id) {
    auto it = state().palettes.find(id);
    return it == state().palettes.end() ? nullptr : &it->second;
}
Dc* find_dc(uintptr_t id) {
    auto it = state().dcs.find(id);
    return it == state().dcs.end() ? nullptr : &it->second;
}
Block* find_block(uintptr_t id) {
    auto it = state().blocks.find(id);
    return it == state().blocks.end() ? nullptr : &it->second;
}
Dc* memory_dc(HDC dc) {
    Dc* d = find_dc(id_of(dc));
    return d && !d->screen ? d : nullptr;
}

HBITMAP new_bitmap(int width, int height, int bpp) {
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bpp = bpp;
    b.px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    uintptr_t id = state().new_id();
    state().bitmaps[id] = std::move(b);
    return handle_of<HBITMAP>(id);
}

bool size_allowed(int width, int height) {
    return width >= 0 && height >= 0 &&
           static_cast<long long>(width) * static_cast<long long>(height) <= max_pixels;
}

void free_block(uintptr_t id) { state().blocks.erase(id); }

}  // namespace sim::gdi::standin

using namespace sim::gdi::standin;

// ---------------------------------------------------------------- control and inspection

namespace sim::gdi {

void reset() { state() = State{}; }

int live_gdi_objects() {
    // The stock bitmap and the default palette are always there.
    return static_cast<int>(state().bitmaps.size() + state().palettes.size()) - 2;
}
int live_dcs() { return static_cast<int>(state().dcs.size()); }
int live_memory_blocks() { return static_cast<int>(state().blocks.size()); }
int clipboard_blocks() { return static_cast<int>(state().clipboard.size()); }
const std::vector<std::string>& misuses() { return state().misuses; }

void inject(Fault fault, int nth) {
    FaultState f;
    if (nth <= 0)
        f.always = true;
    else
        f.countdown = nth;
    state().faults[fault] = f;
}

int calls(const std::string& function) {
    auto it = state().calls.find(function);
    return it == state().calls.end() ? 0 : it->second;
}

std::vector<UINT> clipboard_formats() {
    std::vector<UINT> out;
    for (auto& [f, block] : state().clipboard) out.push_back(f);
    return out;
}

std::optional<std::vector<uint8_t>> clipboard_bytes(UINT format) {
    for (auto& [f, block] : state().clipboard)
        if (f == format) return find_block(block)->bytes;
    return std::nullopt;
}

std::string format_name(UINT format) {
    auto& names = state().format_names;
    if (format < first_registered_format || format - first_registered_format >= names.size()) return {};
    return names[format - first_registered_format];
}

bool clipboard_open() { return state().clipboard_open; }

void on_clipboard_write(std::function<void(UINT, const std::string&)> listener) {
    state().listener = std::move(listener);
}

HBITMAP make_bitmap(int width, int height, const std::vector<uint32_t>& pixels) {
    if (!size_allowed(width, height) ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return nullptr;
    HBITMAP h = new_bitmap(width, height, 32);
    find_bitmap(id_of(h))->px = pixels;
    return h;
}

std::vector<uint32_t> pixels(HBITMAP bitmap) {
    Bitmap* b = find_bitmap(id_of(bitmap));
    return b ? b->px : std::vector<uint32_t>{};
}

int bits_per_pixel(HBITMAP bitmap) {
    Bitmap* b = find_bitmap(id_of(bitmap));
    return b ? b->bpp : 0;
}

bool is_palette(HPALETTE palette) { return find_palette(id_of(palette)) != nullptr; }

}  // namespace sim::gdi

#endif  // !_WIN32
