#include "wizard/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <numeric>
#include <utility>

#include "host/failure.h"
#include "host/text.h"
#include "wizard/win32/form_window_parts.h"
#include "wizard/win32/runtime.h"
#include "wizard/win32/win32_views.h"

namespace wizard::win32 {

namespace {

std::u16string window_text(HWND window) {
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    const int n = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD window_ex_style = WS_EX_CONTROLPARENT;

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

}  // namespace wizard::win32
