#include "tools/outlook-sim/input.h"

#include <cctype>
#include <cmath>

#include "host/com/bstr.h"
#include "wizard/win32/win32_views.h"

namespace outlook_sim::input {

namespace {

const wizard::Control* control_design(const wizard::FormDesign& design, std::u16string_view name) {
    for (const auto& c : design.controls)
        if (c.name == name) return &c;
    return nullptr;
}

bool usable(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }

}  // namespace

HWND control(HWND page, const wizard::FormDesign& design, std::u16string_view name) {
    for (size_t i = 0; i < design.controls.size(); ++i)
        if (design.controls[i].name == name)
            return GetDlgItem(page, wizard::win32::first_control_id + static_cast<int>(i));
    return nullptr;
}

void press(HWND page, const wizard::FormDesign& design, std::u16string_view name) {
    HWND c = control(page, design, name);
    const wizard::Control* d = control_design(design, name);
    if (!usable(c) || !d) return;
    switch (d->kind) {
    case wizard::Kind::Button:
    case wizard::Kind::Option:
        SendMessageW(c, BM_CLICK, 0, 0);
        break;
    case wizard::Kind::ProgressBar:
        break;
    default:
        // A label, a link or the text box: a click of the mouse on it.
        SendMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        if (IsWindow(c)) SendMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        break;
    }
}

void type(HWND page, const wizard::FormDesign& design, std::u16string_view name, const std::u16string& text) {
    HWND c = control(page, design, name);
    if (!usable(c)) return;
    SetFocus(c);
    if (!IsWindow(c)) return;
    const std::wstring w = host::com::to_wide(text);
    SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    if (IsWindow(c)) SendMessageW(c, EM_SETSEL, w.size(), w.size());
}

void focus(HWND page, const wizard::FormDesign& design, std::u16string_view name) {
    HWND c = control(page, design, name);
    if (usable(c)) SetFocus(c);
}

void key(HWND page, const std::string& key) {
    // The user presses keys on the page in front: it is the active window, its focus where
    // the page puts it.
    if (GetActiveWindow() != page) {
        SetActiveWindow(page);
        pump();
        if (!IsWindow(page)) return;
    }
    HWND target = GetFocus();
    if (!target || (target != page && !IsChild(page, target))) target = page;
    if (key == "Enter") {
        PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
        pump();
    } else if (key == "Tab" || key == "Shift+Tab") {
        BYTE state[256] = {};
        GetKeyboardState(state);
        BYTE shift = state[VK_SHIFT];
        if (key == "Shift+Tab") {
            state[VK_SHIFT] = 0x80;
            SetKeyboardState(state);
        }
        PostMessageW(target, WM_KEYDOWN, VK_TAB, 1);
        pump();
        state[VK_SHIFT] = shift;
        SetKeyboardState(state);
    } else if (key.size() == 5 && key.rfind("Alt+", 0) == 0) {
        // The character of a key pressed with Alt held, as the window system makes it.
        const auto letter = static_cast<wchar_t>(std::tolower(static_cast<unsigned char>(key[4])));
        PostMessageW(target, WM_SYSCHAR, letter, 1 | (1 << 29));
        pump();
    }
}

void move(HWND page, double left, double top) {
    SetWindowPos(page, nullptr, static_cast<int>(std::lround(left / 15)), static_cast<int>(std::lround(top / 15)), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void close(HWND page) { SendMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0); }

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace outlook_sim::input
