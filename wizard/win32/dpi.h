#pragma once
// Twips and pixels at the DPI of a screen. A twip is 1/1440 inch: at 96 DPI 15 twips make a
// pixel, at 144 DPI 10. Pages keep their designed size in twips whatever the screen's DPI;
// only the pixels change.
//
// The DPI is the one the window system gives the window (or, before there is a window, the
// system's): a host that is not DPI-aware sees 96 and has its windows scaled for it, a
// system-aware one the system DPI, a per-monitor one the DPI of the monitor the window is on.
// The host's awareness is its own; nothing here changes it.
#include <windows.h>

#include "wizard/form.h"

namespace wizard::win32 {

class Scale {
public:
    explicit Scale(int dpi = USER_DEFAULT_SCREEN_DPI) : dpi_(dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI) {}

    int dpi() const { return dpi_; }
    // Twips to whole pixels, rounded to the nearest.
    int pixels(float twips) const;
    // Whole pixels to twips.
    float twips(int pixels) const;
    // A design rectangle in pixels; each edge is converted on its own so that neighbouring
    // controls keep meeting where they meet in twips.
    RECT rect(const Rect& r) const;
    // The character height of a font of `points` points (negative, as LOGFONT wants it).
    int font_height(float points) const;
    // A line's width, designed in pixels at 96 DPI; at least one pixel.
    int line_width(int designed) const;

    bool operator==(const Scale&) const = default;

private:
    int dpi_;
};

// The DPI the window system gives the window.
int window_dpi(HWND window);
// The DPI of the system, for what is placed before its window exists.
int system_dpi();
// A system metric (SM_CXSMICON, ...) at a DPI.
int metric_for_dpi(int index, int dpi);
// The outer rectangle of a window whose client area is `client`, at a DPI.
RECT outer_rect(RECT client, DWORD style, DWORD ex_style, int dpi);

}  // namespace wizard::win32
