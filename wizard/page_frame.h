#pragma once
// Building blocks of the page designs: the frame that the four wizard pages share (client
// size, header band, etched separator, button row) and short makers for their controls.
#include <string>

#include "wizard/form.h"

namespace wizard::frame {

inline constexpr int32_t client_width = 8550;
inline constexpr int32_t client_height = 6255;
inline constexpr std::u16string_view page_icon = u"wizard.ico";

// Where a page opens when it is shown without being placed.
inline constexpr int32_t near_left = 975, near_top = 1365;    // welcome and closing pages
inline constexpr int32_t far_left = 5865, far_top = 4530;     // work type and name pages

// The button row: all buttons 1095 x 375 at top 5760.
inline constexpr int32_t help_x = 120, back_x = 4920, next_x = 6000, cancel_x = 7320;

// The separator's height and where its lines end on most pages.
inline constexpr int32_t separator_y = 5520;
inline constexpr int32_t separator_right = 8520;

inline Control label(std::u16string name, std::u16string text, Rect r) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Label;
    c.text = std::move(text);
    c.rect = r;
    return c;
}

// A label on a window-coloured background (the header band, the welcome page's panel).
inline Control band_label(std::u16string name, std::u16string text, Rect r, bool bold = false) {
    Control c = label(std::move(name), std::move(text), r);
    c.fill = sys_window;
    c.bold = bold;
    return c;
}

inline Control button(std::u16string name, std::u16string caption, int32_t left, int32_t tab) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Button;
    c.text = std::move(caption);
    c.rect = {left, 5760, 1095, 375};
    c.tab_index = tab;
    return c;
}

inline Control line(std::u16string name, int32_t x1, int32_t y, int32_t x2, uint32_t colour,
                    int32_t width_pixels) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Line;
    c.rect = {x1, y, x2 - x1, 0};
    c.fill = colour;
    c.line_width = width_pixels;
    return c;
}

inline Control shape(std::u16string name, Rect r, uint32_t fill, uint32_t border) {
    Control c;
    c.name = std::move(name);
    c.kind = Kind::Shape;
    c.rect = r;
    c.fill = fill;
    c.border = border;
    return c;
}

// A page with the common frame's size and icon.
inline FormDesign page(std::u16string name, std::u16string caption, int32_t left, int32_t top,
                       std::u16string initial_focus) {
    FormDesign d;
    d.name = std::move(name);
    d.caption = std::move(caption);
    d.client_width = client_width;
    d.client_height = client_height;
    d.start_left = left;
    d.start_top = top;
    d.icon = std::u16string(page_icon);
    d.initial_focus = std::move(initial_focus);
    return d;
}

// The white header band across the top of a page; borderless, so only its fill shows.
inline void add_header_band(FormDesign& d, int32_t width) {
    d.controls.push_back(shape(u"Shape1", {-120, -120, width, 975}, sys_window, sys_window));
}

// The etched separator above the button row: a wide light line with a thin dark one on it,
// so Line1 comes first and Line2 is drawn over it.
inline void add_separator(FormDesign& d, int32_t line2_left, int32_t line2_right,
                          int32_t line1_left, std::u16string line2_name = u"Line2") {
    d.controls.push_back(line(u"Line1", line1_left, separator_y, separator_right, sys_caption_text, 2));
    d.controls.push_back(line(std::move(line2_name), line2_left, separator_y, line2_right,
                              sys_app_workspace, 1));
}

}  // namespace wizard::frame
