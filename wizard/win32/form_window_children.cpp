// The form window's children: a window for each control the form does not draw itself, with
// its font, colours and tooltip, found again by window, id or name; and the focus.
#include "wizard/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "host/failure.h"
#include "host/text.h"
#include "wizard/win32/form_window_parts.h"
#include "wizard/win32/runtime.h"
#include "wizard/win32/win32_views.h"

namespace wizard::win32 {

void FormWindow::create_children() {
    const std::vector<Control>& controls = form_.controls();
    items_.clear();
    for (size_t i = 0; i < controls.size(); ++i)
        items_.push_back(Item{controls[i].name, controls[i].kind, first_control_id + static_cast<int>(i), nullptr, {},
                              controls[i].value});

    // Creation order is z-order, and z-order is the order Tab follows: the tab stops first,
    // by their tab index, then everything else as designed.
    std::vector<size_t> order(controls.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int32_t ta = controls[a].tab_index, tb = controls[b].tab_index;
        if ((ta < 0) != (tb < 0)) return tb < 0;
        return ta >= 0 && ta < tb;
    });
    for (size_t i : order) {
        const Control& c = controls[i];
        Item& item = items_[i];
        item.window = create_child(c, item.id);
        if (c.kind == Kind::Image && !c.picture.empty()) item.picture = Picture::load(runtime_->instance(), c.picture);
        if (c.kind == Kind::Button && c.default_button) designed_default_ = item.window;
        if (item.window && !c.tooltip.empty()) add_tooltip(c, item.window);
    }
    update_option_tab_stops();
}

HWND FormWindow::create_child(const Control& c, int id) {
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.enabled ? 0 : WS_DISABLED);
    DWORD ex_style = 0;
    const wchar_t* window_class = nullptr;
    switch (c.kind) {
    case Kind::Label:
        window_class = WC_STATICW;
        style |= SS_LEFT | WS_GROUP;
        break;
    case Kind::Link:
        // SS_NOTIFY: a click on the address is reported; SS_NOPREFIX: an address may hold "&".
        window_class = WC_STATICW;
        style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX | WS_GROUP;
        break;
    case Kind::Button:
        window_class = WC_BUTTONW;
        style |= (c.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY | WS_GROUP |
                 (c.tab_index >= 0 ? WS_TABSTOP : 0);
        break;
    case Kind::Option: {
        // The option buttons form one group, started by the first of them in z-order (the
        // ones created before this one).
        window_class = WC_BUTTONW;
        style |= BS_AUTORADIOBUTTON | BS_NOTIFY;
        const bool group_started = std::any_of(items_.begin(), items_.end(), [](const Item& i) {
            return i.kind == Kind::Option && i.window;
        });
        if (!group_started) style |= WS_GROUP;
        break;
    }
    case Kind::TextBox:
        window_class = WC_EDITW;
        ex_style = WS_EX_CLIENTEDGE;
        style |= ES_LEFT | ES_AUTOHSCROLL | WS_GROUP | (c.tab_index >= 0 ? WS_TABSTOP : 0);
        break;
    case Kind::ProgressBar:
        window_class = PROGRESS_CLASSW;
        style |= WS_GROUP;
        break;
    case Kind::Shape:
    case Kind::Line:
    case Kind::Image:
        return nullptr;  // painted by the form
    }
    const RECT r = scale_.rect(c.rect);
    HWND child = CreateWindowExW(ex_style, window_class, wide(c.text), style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 runtime_->instance(), nullptr);
    if (!child)
        host::raise(static_cast<int32_t>(GetLastError()), u"Cannot create the control " + c.name);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(c)), FALSE);
    switch (c.kind) {
    case Kind::Option:
        SendMessageW(child, BM_SETCHECK, c.selected ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case Kind::TextBox:
        SendMessageW(child, EM_LIMITTEXT, 0, 0);  // no length limit
        break;
    case Kind::ProgressBar:
        send_bar_range(child, c);
        break;
    default:
        break;
    }
    return child;
}

void FormWindow::update_option_tab_stops() {
    // Only the selected option button is a tab stop (the first one while none is), so Tab
    // enters the group at its selection and the arrow keys move within it.
    bool any_selected = false;
    for (const Item& i : items_)
        if (i.kind == Kind::Option && form_.control(i.name).selected) any_selected = true;
    bool first = true;
    for (const Item& i : items_) {
        if (i.kind != Kind::Option || !i.window) continue;
        const Control& c = form_.control(i.name);
        const bool stop = c.tab_index >= 0 && (c.selected || (!any_selected && first));
        first = false;
        LONG_PTR style = GetWindowLongPtrW(i.window, GWL_STYLE);
        style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(i.window, GWL_STYLE, style);
    }
}

HFONT FormWindow::font_for(const Control& c) {
    // From the point size at the window's DPI: 8.25 pt is 11 pixels at 96 dpi, 17 at 144.
    const int height = scale_.font_height(c.font_size);
    for (const FontEntry& f : fonts_)
        if (f.height == height && f.bold == c.bold && f.underline == c.underline) return f.font.get();
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = c.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = c.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    unique_font font(CreateFontIndirectW(&lf));
    HFONT handle = font.get();
    fonts_.push_back(FontEntry{height, c.bold, c.underline, std::move(font)});
    return handle;
}

HBRUSH FormWindow::brush_for(uint32_t ole_colour) {
    if (ole_colour & 0x80000000u) return GetSysColorBrush(static_cast<int>(ole_colour & 0xFF));
    const COLORREF colour = colour_of(ole_colour);
    for (const BrushEntry& b : brushes_)
        if (b.colour == colour) return b.brush.get();
    unique_brush brush(CreateSolidBrush(colour));
    HBRUSH handle = brush.get();
    brushes_.push_back(BrushEntry{colour, std::move(brush)});
    return handle;
}

void FormWindow::add_tooltip(const Control& c, HWND control) {
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   runtime_->instance(), nullptr);
        if (!tooltip_) return;  // a page without its tip still works
    }
    std::wstring text(c.tooltip.begin(), c.tooltip.end());
    // The older structure size: common controls without a version 6 manifest refuse more.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A disabled control gets no mouse messages, the form under it does: a second tool over
    // the same spot of the form shows the tip while the control is disabled.
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    tool.rect = scale_.rect(c.rect);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

FormWindow::Item* FormWindow::item_by_window(HWND child) {
    if (!child) return nullptr;
    for (Item& i : items_)
        if (i.window == child) return &i;
    return nullptr;
}

FormWindow::Item* FormWindow::item_by_id(int id) {
    const int index = id - first_control_id;
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return nullptr;
    return &items_[static_cast<size_t>(index)];
}

FormWindow::Item* FormWindow::item_by_name(std::u16string_view name) {
    for (Item& i : items_)
        if (i.name == name) return &i;
    return nullptr;
}

// ---- focus -------------------------------------------------------------------------

void FormWindow::focus_model_control() {
    const Item* item = item_by_name(form_.focus());
    HWND target = item ? item->window : nullptr;
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetFocus(target);
    else if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) SetFocus(first);
}

void FormWindow::mark_default_button(HWND focused) {
    // As in a dialog: the focused push button takes the default border (Enter presses it);
    // elsewhere the designed default button has it.
    HWND wanted = focused && is_push_button(focused) ? focused : designed_default_;
    for (const Item& i : items_) {
        if (i.kind != Kind::Button || !i.window) continue;
        const bool is_default = (GetWindowLongPtrW(i.window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (is_default != (i.window == wanted))
            SendMessageW(i.window, BM_SETSTYLE, i.window == wanted ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

}  // namespace wizard::win32
