#pragma once
// The shared state of the native graphics, clipboard and memory stand-in, and the helpers
// its files use; internal to the stand-in's own files.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/gdi/api.h"
#include "host/gdi/control.h"

namespace sim::gdi::standin {

constexpr UINT first_registered_format = 0xC000;
constexpr UINT last_registered_format = 0xFFFF;

// Pixels: colour bitmaps keep 0xAARRGGBB as a 32-bit DIB stores them; monochrome bitmaps
// keep 0 or 1, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bpp = 32;
    std::vector<uint32_t> px;
    uintptr_t selected_in = 0;
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
    int selections = 0;
};

struct Dc {
    bool screen = false;
    uintptr_t bitmap = 0;
    uintptr_t palette = 0;
    COLORREF bk = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
};

struct Block {
    std::vector<uint8_t> bytes;
    int locks = 0;
    bool on_clipboard = false;
};

struct FaultState {
    int countdown = 0;
    bool always = false;
};

struct State {
    uintptr_t next_id = 0x1000;
    uintptr_t stock_bitmap = 0x10;
    uintptr_t stock_palette = 0x14;
    std::map<uintptr_t, Bitmap> bitmaps;
    std::map<uintptr_t, Palette> palettes;
    std::map<uintptr_t, Dc> dcs;
    std::map<uintptr_t, Block> blocks;

    bool clipboard_open = false;
    std::vector<std::pair<UINT, uintptr_t>> clipboard;
    std::vector<std::string> format_names;  // index: format - first_registered_format

    std::vector<std::string> misuses;
    std::map<sim::gdi::Fault, FaultState> faults;
    std::map<std::string, int> calls;
    std::function<void(UINT, const std::string&)> listener;

    State() {
        Bitmap stock;
        stock.width = stock.height = 1;
        stock.bpp = 1;
        stock.px = {0};
        bitmaps[stock_bitmap] = stock;
        // The default palette: the twenty static colours.
        static const BYTE statics[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        Palette def;
        for (auto& c : statics) def.entries.push_back({c[0], c[1], c[2], 0});
        palettes[stock_palette] = def;
    }

    uintptr_t new_id() {
        uintptr_t id = next_id;
        next_id += 4;
        return id;
    }
    bool is_stock(uintptr_t id) const { return id == stock_bitmap || id == stock_palette; }
};

State& state();

inline uintptr_t id_of(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }
template <class H>
H handle_of(uintptr_t id) {
    return reinterpret_cast<H>(id);
}

void misuse(std::string what);
void count(const char* function);
bool refused(sim::gdi::Fault fault);

Bitmap* find_bitmap(uintptr_t id);
Palette* find_palette(uintptr_t id);
Dc* find_dc(uintptr_t id);
Block* find_block(uintptr_t id);
Dc* memory_dc(HDC dc);

HBITMAP new_bitmap(int width, int height, int bpp);
bool size_allowed(int width, int height);
void free_block(uintptr_t id);

}  // namespace sim::gdi::standin
