#include "wizard/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <numeric>
#include <utility>

#include "host/failure.h"
#include "host/text.h"
#include "wizard/win32/runtime.h"
#include "wizard/win32/win32_views.h"

namespace wizard::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::u16string window_text(HWND window) {
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    const int n = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

COLORREF colour_of(uint32_t ole) {
    if (ole & 0x80000000u) return GetSysColor(static_cast<int>(ole & 0xFF));
    return static_cast<COLORREF>(ole & 0xFFFFFF);
}

constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD window_ex_style = WS_EX_CONTROLPARENT;

bool is_push_button(HWND window) {
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// A failure that escaped a handler must not cross the window system's frames; the user
// learns of it the way the add-in tells of failures elsewhere, in a box as task-modal as
// the add-in's other boxes.
void tell_user(const std::u16string& text) {
    MessageBoxW(nullptr, wide(text), L"Quillamor", MB_OK | MB_TASKMODAL);
}

}  // namespace

FormWindow::FormWindow(Form& form) : form_(form) {}

FormWindow::~FormWindow() { destroy_window(); }

LRESULT CALLBACK FormWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    FormWindow* view = nullptr;
    if (message == WM_NCCREATE) {
        view = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        view->window_ = window;
    } else {
        view = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!view || !view->live_) return DefWindowProcW(window, message, wparam, lparam);
    try {
        return view->handle(message, wparam, lparam);
    } catch (const host::Failure& f) {
        tell_user(u"Error " + host::decimal(f.number()) + u": " + f.description());
    } catch (const std::exception& e) {
        tell_user(host::from_utf8(e.what()));
    } catch (...) {
        tell_user(u"Unexpected failure");
    }
    return 0;
}

// ---- the window's life -------------------------------------------------------------

void FormWindow::loaded(Form&) {
    runtime_ = Runtime::acquire(&FormWindow::window_proc);
    const FormDesign& d = form_.design();
    // Made at the system's DPI; where the window system gives the new window another one
    // (a monitor of its own DPI), the window takes that one's sizes before its controls exist.
    scale_ = Scale(system_dpi());
    const SIZE outer = outer_size();
    // No owner window: the pages stand on their own beside the host's windows.
    CreateWindowExW(window_ex_style, form_window_class, wide(d.caption), window_style, scale_.pixels(form_.left()),
                    scale_.pixels(form_.top()), outer.cx, outer.cy, nullptr, nullptr, runtime_->instance(), this);
    if (!window_) host::raise(static_cast<int32_t>(GetLastError()), u"Cannot create the window of " + d.name);
    if (const int dpi = window_dpi(window_); dpi != scale_.dpi()) {
        scale_ = Scale(dpi);
        moving_ = true;
        fit_client();
        moving_ = false;
    }
    load_icons();
    create_children();
    live_ = true;
}

SIZE FormWindow::outer_size() const {
    const FormDesign& d = form_.design();
    const RECT client{0, 0, scale_.pixels(static_cast<float>(d.client_width)),
                      scale_.pixels(static_cast<float>(d.client_height))};
    const RECT outer = outer_rect(client, window_style, window_ex_style, scale_.dpi());
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void FormWindow::fit_client() {
    SIZE outer = outer_size();
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame the window really has may be drawn at another DPI than the one reckoned
    // with: the client area is what must come out right.
    RECT client{};
    GetClientRect(window_, &client);
    const FormDesign& d = form_.design();
    const int dx = scale_.pixels(static_cast<float>(d.client_width)) - client.right;
    const int dy = scale_.pixels(static_cast<float>(d.client_height)) - client.bottom;
    if (dx || dy)
        SetWindowPos(window_, nullptr, 0, 0, outer.cx + dx, outer.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::load_icons() {
    const FormDesign& d = form_.design();
    if (d.icon.empty()) return;
    // The window keeps using the icons it was given until new ones replace them.
    unique_icon small_icon = load_icon(runtime_->instance(), d.icon, metric_for_dpi(SM_CXSMICON, scale_.dpi()));
    unique_icon big_icon = load_icon(runtime_->instance(), d.icon, metric_for_dpi(SM_CXICON, scale_.dpi()));
    if (small_icon) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon.get()));
    if (big_icon) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon.get()));
    if (small_icon) small_icon_ = std::move(small_icon);
    if (big_icon) big_icon_ = std::move(big_icon);
}

void FormWindow::apply_dpi(int dpi, const POINT* place) {
    scale_ = Scale(dpi);
    // The old fonts stay alive until every control has been given its new one.
    std::vector<FontEntry> old_fonts = std::move(fonts_);
    fonts_.clear();
    for (const Item& item : items_) {
        if (!item.window) continue;
        const Control& c = form_.control(item.name);
        const RECT r = scale_.rect(c.rect);
        SetWindowPos(item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(item.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(c)), TRUE);
        if (tooltip_ && !c.tooltip.empty()) {
            // The second tool of a control: the spot of the form under it.
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = window_;
            tool.uId = static_cast<UINT_PTR>(item.id);
            tool.rect = r;
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    load_icons();
    if (place) SetWindowPos(window_, nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    fit_client();
    // The same pixels are other twips at another DPI: the model learns where the page is.
    RECT now{};
    GetWindowRect(window_, &now);
    if (scale_.pixels(form_.left()) != now.left || scale_.pixels(form_.top()) != now.top)
        form_.move_to(scale_.twips(now.left), scale_.twips(now.top));
    InvalidateRect(window_, nullptr, TRUE);
}

void FormWindow::shown(Form&) {
    ShowWindow(window_, SW_SHOW);
    if (GetActiveWindow() != window_) SetActiveWindow(window_);
}

void FormWindow::hidden(Form&) { ShowWindow(window_, SW_HIDE); }

void FormWindow::unloaded(Form&) { destroy_window(); }

void FormWindow::destroy_window() {
    live_ = false;
    if (!window_) return;
    HWND window = std::exchange(window_, nullptr);
    // Messages sent while the window goes must not reach a form that is unloading.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    tooltip_ = nullptr;  // owned by the window, destroyed with it
    designed_default_ = nullptr;
    DestroyWindow(window);
    items_.clear();
}

void FormWindow::moved(Form&) {
    moving_ = true;
    SetWindowPos(window_, nullptr, scale_.pixels(form_.left()), scale_.pixels(form_.top()), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    moving_ = false;
}

void FormWindow::refreshed(Form&) {
    // Paints now, children included: a run holds the thread and no message loop runs.
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

namespace {
// Posted as a bar goes quiet: whenever a message loop runs next, the bar draws again.
constexpr UINT draw_bars_again = WM_APP + 1;

// The range, and the value within it: sent as the bar is made and at every change of the range.
void send_bar_range(HWND bar, const Control& c) {
    SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(std::lround(c.min)), static_cast<LPARAM>(std::lround(c.max)));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(std::lround(c.value)), 0);
}
}  // namespace

void FormWindow::changed(Form&, const Control& c, Change what) {
    Item* item = item_by_name(c.name);
    if (!item) return;
    HWND child = item->window;
    if (!child) {
        if (what == Change::Visible) {
            RECT r = scale_.rect(c.rect);
            const int margin = scale_.line_width(c.line_width) + 1;
            InflateRect(&r, margin, margin);
            InvalidateRect(window_, &r, TRUE);
        }
        return;
    }
    // Whatever else happens to a bar, it draws again first.
    if (item->kind == Kind::ProgressBar && what != Change::Value) draw_bar_again(*item);
    switch (what) {
    case Change::Text:
        // The user's own typing comes back here as a change; the box holds it already.
        if (window_text(child) != c.text) SetWindowTextW(child, wide(c.text));
        break;
    case Change::Visible:
        ShowWindow(child, c.visible ? SW_SHOWNA : SW_HIDE);
        break;
    case Change::Enabled:
        EnableWindow(child, c.enabled);
        break;
    case Change::Selected:
        SendMessageW(child, BM_SETCHECK, c.selected ? BST_CHECKED : BST_UNCHECKED, 0);
        update_option_tab_stops();
        break;
    case Change::Value:
        if (item->kind == Kind::ProgressBar) set_bar_value(*item, c);
        break;
    case Change::Max:
    case Change::Min:
        if (item->kind == Kind::ProgressBar) {
            send_bar_range(child, c);
            item->drawn = c.value;
            // Drawn at once: the run that moves the bar does not let the message loop run.
            UpdateWindow(child);
        }
        break;
    case Change::Focus:
        if (GetActiveWindow() == window_ && GetFocus() != child) SetFocus(child);
        break;
    }
}

// ---- the progress bar ---------------------------------------------------------------

// The run sets the bar once a contact, and every value goes to the bar; one that moves the fill
// by less than a pixel from what is drawn is taken with the bar's drawing off. The bar draws
// itself at once on a new position, and under Wine that drawing costs a third of a millisecond
// or more and some ten round trips to the window server: thousands of contacts would spend
// seconds on pictures nobody can tell apart.
void FormWindow::set_bar_value(Item& bar, const Control& c) {
    RECT r{};
    GetClientRect(bar.window, &r);
    const double range = static_cast<double>(c.max) - c.min;
    const bool moves = range <= 0 || std::abs(static_cast<double>(c.value) - bar.drawn) * (r.right - r.left) >= range;
    if (moves) {
        draw_bar_again(bar);
        bar.drawn = c.value;
    } else if (!bar.quiet) {
        SendMessageW(bar.window, WM_SETREDRAW, FALSE, 0);
        bar.quiet = true;
        PostMessageW(window_, draw_bars_again, 0, 0);
    }
    SendMessageW(bar.window, PBM_SETPOS, static_cast<WPARAM>(std::lround(c.value)), 0);
}

// Drawing on again, the whole bar: what it took quietly may have moved the fill by part of a
// pixel, which the bar's own redrawing of the change alone would leave out.
void FormWindow::draw_bar_again(Item& bar) {
    if (!bar.quiet) return;
    bar.quiet = false;
    SendMessageW(bar.window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(bar.window, nullptr, TRUE);
}

// ---- children ----------------------------------------------------------------------

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

// ---- messages ----------------------------------------------------------------------

LRESULT FormWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        return command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
    case WM_PAINT:
        paint();
        return 0;
    case draw_bars_again:
        for (Item& i : items_)
            if (i.kind == Kind::ProgressBar && i.window) draw_bar_again(i);
        return 0;
    case WM_CTLCOLORSTATIC:
        return colour_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_SETCURSOR:
        if (const Item* i = item_by_window(reinterpret_cast<HWND>(wparam)); i && i->kind == Kind::Link) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) {
            focus_model_control();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        // The user dragged the window: the model learns its new place.
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
        if (!moving_ && !(pos->flags & SWP_NOMOVE) && !IsIconic(window_) &&
            (scale_.pixels(form_.left()) != pos->x || scale_.pixels(form_.top()) != pos->y))
            form_.move_to(scale_.twips(pos->x), scale_.twips(pos->y));
        break;
    }
    case WM_DPICHANGED: {
        // Dragged to a monitor of another DPI: the page keeps its size in twips, standing
        // where the window system proposes.
        const RECT* proposed = reinterpret_cast<const RECT*>(lparam);
        const POINT place{proposed->left, proposed->top};
        apply_dpi(HIWORD(wparam), &place);
        return 0;
    }
    case WM_CLOSE:
        form_.close();  // unloads the form: this view is gone now
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT FormWindow::command(WORD id, WORD code, HWND child) {
    // Enter where no push button has the focus: the dialog manager asks for IDOK.
    if (id == IDOK && !child) {
        form_.key(u"Enter");
        return 0;
    }
    Item* item = item_by_id(id);
    if (!item || item->window != child) return 0;
    const std::u16string name = item->name;  // the model may unload the form and this view
    switch (item->kind) {
    case Kind::Button:
    case Kind::Option:
        if (code == BN_CLICKED) {
            form_.press(name);
        } else if (code == BN_SETFOCUS) {
            mark_default_button(child);
            form_.give_focus(name);
        }
        break;
    case Kind::Link:
        if (code == STN_CLICKED) form_.press(name);
        break;
    case Kind::TextBox:
        if (code == EN_SETFOCUS) {
            mark_default_button(nullptr);
            form_.give_focus(name);
        } else if (code == EN_CHANGE) {
            // The model's own text changes arrive here too; only the user's edits are news.
            std::u16string text = window_text(child);
            if (text != form_.control(name).text) form_.type(name, std::move(text));
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT FormWindow::colour_static(HDC dc, HWND child) {
    const Item* item = item_by_window(child);
    if (!item || item->kind == Kind::TextBox) return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    const Control& c = form_.control(item->name);
    const uint32_t back = c.fill ? c.fill : sys_button_face;
    SetTextColor(dc, colour_of(c.fore));
    SetBkColor(dc, colour_of(back));
    return reinterpret_cast<LRESULT>(brush_for(back));
}

void FormWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    // What the form draws itself, in design order: later items lie over earlier ones.
    const std::vector<Control>& controls = form_.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.visible) continue;
        const RECT r = scale_.rect(c.rect);
        switch (c.kind) {
        case Kind::Shape:
            if (c.fill) FillRect(dc, &r, brush_for(c.fill));
            if (c.border) FrameRect(dc, &r, brush_for(c.border));
            break;
        case Kind::Line: {
            // Lines are drawn as bands of line_width pixels below or right of their path,
            // so a wide light line under a thin dark one looks etched.
            const int w = scale_.line_width(c.line_width);
            RECT band = r;
            if (r.top == r.bottom) {
                band = RECT{std::min(r.left, r.right), r.top, std::max(r.left, r.right), r.top + w};
            } else if (r.left == r.right) {
                band = RECT{r.left, std::min(r.top, r.bottom), r.left + w, std::max(r.top, r.bottom)};
            } else {
                using unique_pen = host::com::unique_any<HPEN, &DeleteObject>;
                unique_pen pen(CreatePen(PS_SOLID, w, colour_of(c.fill)));
                HGDIOBJ old = SelectObject(dc, pen.get());
                MoveToEx(dc, r.left, r.top, nullptr);
                LineTo(dc, r.right, r.bottom);
                SelectObject(dc, old);
                break;
            }
            FillRect(dc, &band, brush_for(c.fill));
            break;
        }
        case Kind::Image:
            if (const Item* item = item_by_name(c.name)) item->picture.draw(dc, r);
            break;
        default:
            break;
        }
    }
    EndPaint(window_, &ps);
}

}  // namespace wizard::win32
