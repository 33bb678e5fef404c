#pragma once
// What the form window's files share: Windows text from the model's, and colours and
// buttons as the window system has them.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "wizard/form.h"

namespace wizard::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

inline const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// An OLE colour; with the high bit set, a system colour by index.
inline COLORREF colour_of(uint32_t ole) {
    if (ole & 0x80000000u) return GetSysColor(static_cast<int>(ole & 0xFF));
    return static_cast<COLORREF>(ole & 0xFFFFFF);
}

inline bool is_push_button(HWND window) {
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// A progress bar's range, and the value within it: sent as the bar is made and at every
// change of the range.
inline void send_bar_range(HWND bar, const Control& c) {
    SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(std::lround(c.min)), static_cast<LPARAM>(std::lround(c.max)));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(std::lround(c.value)), 0);
}

}  // namespace wizard::win32
