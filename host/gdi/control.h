#pragma once
// Control and inspection of the graphics, clipboard and memory stand-in (api.h):
// a fresh start between tests, counts of what is alive so that tests can prove nothing
// leaked, injected refusals, and a look at the clipboard and at pixels without going
// through the functions under test.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/gdi/api.h"

namespace sim::gdi {

// Frees every bitmap, palette, device context and memory block, empties the clipboard,
// forgets the registered formats and the injected faults, and zeroes the counters.
void reset();

// Live objects: bitmaps and palettes (stock objects aside), device contexts (memory
// contexts and screen contexts not yet released), memory blocks (those the clipboard
// holds included).
int live_gdi_objects();
int live_dcs();
int live_memory_blocks();
// Blocks the clipboard holds.
int clipboard_blocks();
// Calls that broke the rules of the API (deleting a selected object, freeing a block the
// clipboard owns, reading the bits of a selected bitmap, unbalanced locks, ...), in order.
const std::vector<std::string>& misuses();

// Functions whose next calls can be refused.
enum class Fault { OpenClipboard, SetClipboardData, GlobalAlloc, CreateBitmap, CreateCompatibleDC, GetDIBits };
// Refuses the nth call from now (1 = the next one); 0 refuses every call until reset.
void inject(Fault fault, int nth = 1);

// How many times each function was called since the last reset.
int calls(const std::string& function);

// The clipboard, read without opening it.
std::vector<UINT> clipboard_formats();  // in the order they were first stored
std::optional<std::vector<uint8_t>> clipboard_bytes(UINT format);
std::string format_name(UINT format);  // "" for a format that was never registered
bool clipboard_open();
// Told of every block the clipboard accepts: the format and its name ("" if standard).
void on_clipboard_write(std::function<void(UINT format, const std::string& name)> listener);

// A 32-bit bitmap from pixels 0x00RRGGBB, row by row from the top.
HBITMAP make_bitmap(int width, int height, const std::vector<uint32_t>& pixels);
// The pixels of a bitmap, row by row from the top: 0x00RRGGBB for colour bitmaps, 0 or 1
// for monochrome ones. Empty for a handle that is not a bitmap.
std::vector<uint32_t> pixels(HBITMAP bitmap);
int bits_per_pixel(HBITMAP bitmap);  // 0 for a handle that is not a bitmap
bool is_palette(HPALETTE palette);

}  // namespace sim::gdi
