#include "wizard/win32/dpi.h"

#include <algorithm>
#include <cmath>

#include "host/com/gdi_handles.h"

namespace wizard::win32 {

namespace {

constexpr float twips_per_inch = 1440.0f;

// The per-DPI functions of newer systems, where there are any; older ones (and the headers
// this builds with) have only the system-wide DPI.
template <class F>
F user32_function(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int Scale::pixels(float twips) const {
    return static_cast<int>(std::lround(twips * static_cast<float>(dpi_) / twips_per_inch));
}

float Scale::twips(int pixels) const { return static_cast<float>(pixels) * twips_per_inch / static_cast<float>(dpi_); }

RECT Scale::rect(const Rect& r) const {
    return RECT{pixels(static_cast<float>(r.left)), pixels(static_cast<float>(r.top)),
                pixels(static_cast<float>(r.left + r.width)), pixels(static_cast<float>(r.top + r.height))};
}

int Scale::font_height(float points) const {
    return -static_cast<int>(std::lround(points * static_cast<float>(dpi_) / 72.0f));
}

int Scale::line_width(int designed) const {
    return std::max(1, MulDiv(designed, dpi_, USER_DEFAULT_SCREEN_DPI));
}

int window_dpi(HWND window) {
    static const auto for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    if (for_window && window)
        if (const UINT dpi = for_window(window)) return static_cast<int>(dpi);
    return system_dpi();
}

int system_dpi() {
    static const auto for_system = user32_function<GetDpiForSystemFn>("GetDpiForSystem");
    if (for_system) return static_cast<int>(for_system());
    host::com::ScreenDC screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int metric_for_dpi(int index, int dpi) {
    static const auto for_dpi = user32_function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (for_dpi) return for_dpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, system_dpi());
}

RECT outer_rect(RECT client, DWORD style, DWORD ex_style, int dpi) {
    static const auto for_dpi = user32_function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (!for_dpi || !for_dpi(&client, style, FALSE, ex_style, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&client, style, FALSE, ex_style);
    return client;
}

}  // namespace wizard::win32
