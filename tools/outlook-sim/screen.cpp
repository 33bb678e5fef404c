#include "tools/outlook-sim/screen.h"

#include <commctrl.h>

#include <cctype>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "host/com/bstr.h"
#include "host/sim/sim_host.h"
#include "host/text.h"
#include "wizard/form_designs.h"
#include "wizard/win32/assets.h"
#include "wizard/win32/win32_views.h"

namespace outlook_sim {

namespace {

Screen* current = nullptr;

constexpr UINT_PTR answer_timer = 0x51A;
// The message box's parts: its text and its icon (the latter's id differs between window
// systems).
constexpr int box_text_id = 0xFFFF;
constexpr int box_icon_ids[] = {0x0440, 0x0014};

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::u16string text_of(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int n = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return host::com::from_wide(text.data(), static_cast<size_t>(n > 0 ? n : 0));
}

std::string utf8(const std::u16string& text) { return host::to_utf8(text); }

const wizard::FormDesign* design_by_caption(std::u16string_view caption) {
    for (const auto& d : wizard::form_designs())
        if (d.caption == caption) return &d;
    return nullptr;
}

// Whole twips from whole pixels.
int twips(int pixels) { return pixels * 15; }

// ---- message boxes

struct BoxButton {
    int id;
    const char* name;
};

// The button sets a message box can have, in the order they stand, by the style's low bits.
const std::vector<std::vector<BoxButton>>& button_sets() {
    static const std::vector<std::vector<BoxButton>> sets = {
        {{IDOK, "OK"}},
        {{IDOK, "OK"}, {IDCANCEL, "Cancel"}},
        {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}},
        {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}},
        {{IDYES, "Yes"}, {IDNO, "No"}},
        {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}},
        {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "Try Again"}, {IDCONTINUE, "Continue"}},
    };
    return sets;
}

bool shown_child(HWND box, int id) {
    HWND c = GetDlgItem(box, id);
    return c && (GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE);
}

// The style a message box was asked for, read back from what it shows: its buttons, the
// default one and its icon, and whether it disabled the thread's other windows (task-modal).
int box_style(HWND box, HWND marker) {
    const auto& sets = button_sets();
    int style = 0;
    for (size_t s = 0; s < sets.size(); ++s) {
        bool all = true;
        for (const auto& b : sets[s]) all = all && shown_child(box, b.id);
        // The largest set that is all there (Yes, No and Cancel holds Yes and No).
        if (all && sets[s].size() >= sets[static_cast<size_t>(style)].size()) style = static_cast<int>(s);
    }
    const auto& set = sets[static_cast<size_t>(style)];
    for (size_t i = 0; i < set.size(); ++i) {
        HWND b = GetDlgItem(box, set[i].id);
        if (b && (GetWindowLongPtrW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            style |= static_cast<int>(i) << 8;
            break;
        }
    }
    for (int id : box_icon_ids) {
        if (!shown_child(box, id)) continue;
        auto icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, id, STM_GETICON, 0, 0));
        if (!icon) continue;
        const std::pair<LPCWSTR, int> icons[] = {
            {IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION},
            {IDI_EXCLAMATION, MB_ICONEXCLAMATION}, {IDI_ASTERISK, MB_ICONASTERISK}};
        for (const auto& [name, bits] : icons)
            if (LoadIconW(nullptr, name) == icon) style |= bits;
        break;
    }
    if (marker && !IsWindowEnabled(marker)) style |= MB_TASKMODAL;
    return style;
}

// "Error N: description", the add-in's report of a failure that reached the top of a user
// action.
std::optional<std::pair<int64_t, std::u16string>> reported_failure(const std::u16string& text) {
    constexpr std::u16string_view prefix = u"Error ";
    if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    size_t i = prefix.size();
    const size_t start = i;
    if (i < text.size() && text[i] == u'-') ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
    if (i == digits || text.compare(i, 2, u": ") != 0) return std::nullopt;
    return std::make_pair(std::stoll(utf8(text.substr(start, i - start))), text.substr(i + 2));
}

}  // namespace

Screen::Screen(sim::SimHost& host, std::function<void(const std::string&)> error)
    : host_(host), error_(std::move(error)) {
    current = this;
    marker_ = CreateWindowExW(0, L"Static", L"outlook-sim marker", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr);
    cbt_ = SetWindowsHookExW(WH_CBT, &Screen::cbt_hook, nullptr, GetCurrentThreadId());
    if (!cbt_) {
        if (marker_) DestroyWindow(marker_);
        current = nullptr;
        throw std::runtime_error("the window hook cannot be installed");
    }
}

Screen::~Screen() {
    UnhookWindowsHookEx(cbt_);
    for (const auto& [window, proc] : watched_)
        if (IsWindow(window)) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    if (marker_) DestroyWindow(marker_);
    current = nullptr;
}

// ---------------------------------------------------------------- watching

LRESULT CALLBACK Screen::cbt_hook(int code, WPARAM wparam, LPARAM lparam) {
    if (current && code >= 0) {
        try {
            HWND window = reinterpret_cast<HWND>(wparam);
            if (code == HCBT_CREATEWND)
                current->created(window, *reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs);
            else if (code == HCBT_DESTROYWND)
                current->destroyed(window);
            else if (code == HCBT_ACTIVATE && window && class_of(window) == L"#32770")
                // Read once the box's modal loop runs: its texts and buttons are all there then.
                SetTimer(window, answer_timer, 0, &Screen::answer_box);
        } catch (const std::exception& e) {
            current->error_(std::string("watching the windows failed: ") + e.what());
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK Screen::watched_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // Only a window this screen subclassed comes here, and the screen puts the procedures back
    // as it goes.
    auto it = current->watched_.find(window);
    const WNDPROC proc = it->second;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        current->watched_.erase(it);
    } else {
        try {
            current->sent(window, message, wparam, lparam);
        } catch (const std::exception& e) {
            current->error_(std::string("watching the windows failed: ") + e.what());
        }
    }
    return CallWindowProcW(proc, window, message, wparam, lparam);
}

void Screen::watch(HWND window) {
    auto proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Screen::watched_proc)));
    if (!proc) throw std::runtime_error("a window of the add-in cannot be watched");
    watched_[window] = proc;
}

void Screen::created(HWND window, const CREATESTRUCTW& cs) {
    const std::wstring cls = class_of(window);
    if (!(cs.style & WS_CHILD) && cls == wizard::win32::form_window_class) {
        std::u16string caption = cs.lpszName ? host::com::from_wide(cs.lpszName) : std::u16string();
        const wizard::FormDesign* d = design_by_caption(caption);
        if (!d) return;  // not a page of the add-in
        const std::string form = utf8(d->name);
        pages_[window] = form;
        watch(window);
        form_event(form, "load", twips(cs.x), twips(cs.y));
    } else if ((cs.style & WS_CHILD) && cls == PROGRESS_CLASSW && pages_.count(cs.hwndParent)) {
        bars_[window] = Bar{};
        watch(window);
    }
}

void Screen::destroyed(HWND window) {
    bars_.erase(window);
    boxes_.erase(window);
    auto it = pages_.find(window);
    if (it == pages_.end()) return;
    const std::string form = it->second;
    pages_.erase(it);
    RECT r{};
    GetWindowRect(window, &r);
    form_event(form, "unload", twips(r.left), twips(r.top));
}

namespace {

// What a page shows of its pictures: its window icon, and every picture of its design, which
// the module that made the window (the add-in's DLL) must carry.
void check_pictures(HWND page, const std::string& form) {
    if (!SendMessageW(page, WM_GETICON, ICON_SMALL, 0)) throw std::runtime_error(form + " shows no window icon");
    const wizard::FormDesign* d = wizard::form_design(host::from_utf8(form));
    auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
    for (const auto& c : d ? d->controls : std::vector<wizard::Control>{})
        if (c.kind == wizard::Kind::Image && !wizard::win32::Picture::load(module, c.picture))
            throw std::runtime_error(form + " has no picture " + utf8(c.picture));
}

}  // namespace

void Screen::sent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SHOWWINDOW && lparam == 0) {
        auto it = pages_.find(window);
        if (it == pages_.end()) return;
        RECT r{};
        GetWindowRect(window, &r);
        form_event(it->second, wparam ? "show" : "hide", twips(r.left), twips(r.top));
        if (wparam) check_pictures(window, it->second);
        return;
    }
    if (message != PBM_SETRANGE32 && message != PBM_SETPOS) return;
    auto it = bars_.find(window);
    if (it == bars_.end()) return;
    // The page sets the bar's range and then its value as it makes the bar and at every change
    // of the range, and the value alone at a change of the value: a changed maximum is news,
    // else the value is.
    Bar& bar = it->second;
    const bool heard = recording_ && !muted();
    if (message == PBM_SETRANGE32) {
        bar.max_changed = bar.initialised && lparam != bar.max;
        bar.max = lparam;
        bar.pending = true;
        if (bar.max_changed && heard)
            host_.record({{"event", "progress"}, {"max", static_cast<int64_t>(lparam)}});
        return;
    }
    const bool news = bar.initialised && !(bar.pending && bar.max_changed);
    bar.initialised = true;
    bar.pending = false;
    if (news && heard) host_.record({{"event", "progress"}, {"value", static_cast<int64_t>(wparam)}});
}

void Screen::form_event(const std::string& form, const char* action, int left, int top) {
    if (!recording_) return;
    const std::string what = action;
    if (walk_ == Walk::Recovering) return;
    if (muted()) {
        // The walk's own page changes are not the step's; only the load the direct step
        // itself causes is.
        if (what == "load" && form == keep_load_) {
            keep_load_.clear();
        } else {
            if (what == "unload" && loaded_before_.count(form)) reopening_.insert(form);
            return;
        }
    } else if (what == "load" && reopening_.erase(form)) {
        // A page that was open before the walk closed it comes back: for the direct step it
        // never went.
        return;
    }
    host_.record({{"event", "form"}, {"form", form}, {"action", action}, {"left", left}, {"top", top}});
}

void CALLBACK Screen::answer_box(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    if (!current) return;
    try {
        current->message_box(box);
    } catch (const std::exception& e) {
        current->error_(std::string("answering a message box failed: ") + e.what());
        PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

void Screen::message_box(HWND box) {
    // A box activated again (another window came and went) is answered once.
    if (!boxes_.insert(box).second) return;
    const std::u16string title = text_of(box);
    const std::u16string text = text_of(GetDlgItem(box, box_text_id));
    const int style = box_style(box, marker_);
    const int buttons = style & 15;
    std::string answer;
    int button = IDOK;
    if (buttons == MB_OK) {
        answer = "OK";
    } else {
        try {
            if (buttons != MB_YESNO && buttons != MB_YESNOCANCEL)
                throw sim::ScenarioError("a message box with buttons style " + std::to_string(buttons) +
                                         " opened; answers can only say Yes or No");
            auto a = host_.world().take_answer(sim::AnswerKind::MsgBox);
            answer = utf8(*a.value);
            button = answer == "Yes" ? IDYES : IDNO;
        } catch (const sim::ScenarioError& e) {
            error_(e.what());
            // Closed the way that changes least, so that the add-in can unwind.
            button = shown_child(box, IDCANCEL) ? IDCANCEL : shown_child(box, IDNO) ? IDNO : IDOK;
            answer = button == IDCANCEL ? "Cancel" : button == IDNO ? "No" : "OK";
        }
    }
    if (recording_) {
        if (title == host::product_name && buttons == MB_OK)
            if (auto f = reported_failure(text)) {
                host_.record({{"event", "failure"}, {"number", f->first}, {"description", utf8(f->second)}});
                if (walk_ == Walk::Running) walk_ = Walk::Recovering;
            }
        host_.record({{"event", "msgbox"},
                      {"text", utf8(text)},
                      {"style", style},
                      {"title", utf8(title)},
                      {"answer", answer}});
    }
    // Posted: the box's own loop takes it, as it would take the user's click.
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
}

// ---------------------------------------------------------------- the walk

void Screen::begin_walk(std::string keep_load) {
    walk_ = Walk::Walking;
    keep_load_ = loaded(keep_load) ? std::string() : std::move(keep_load);
    loaded_before_.clear();
    for (const auto& [window, form] : pages_) loaded_before_.insert(form);
    reopening_.clear();
}

void Screen::host_call() {
    if (walk_ == Walk::FinalPress) walk_ = Walk::Running;
}

void Screen::end_walk() {
    walk_ = Walk::None;
    keep_load_.clear();
    loaded_before_.clear();
    reopening_.clear();
}

// ---------------------------------------------------------------- pages and controls

bool Screen::loaded(const std::string& form) const {
    for (const auto& [window, name] : pages_)
        if (name == form) return true;
    return false;
}

HWND Screen::page(const std::string& form) const {
    for (const auto& [window, name] : pages_)
        if (name == form && IsWindowVisible(window)) return window;
    return nullptr;
}

HWND Screen::control(HWND page, const wizard::FormDesign& design, std::u16string_view name) const {
    for (size_t i = 0; i < design.controls.size(); ++i)
        if (design.controls[i].name == name)
            return GetDlgItem(page, wizard::win32::first_control_id + static_cast<int>(i));
    return nullptr;
}

namespace {

const wizard::Control* control_design(const wizard::FormDesign& design, std::u16string_view name) {
    for (const auto& c : design.controls)
        if (c.name == name) return &c;
    return nullptr;
}

bool usable(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }

std::wstring wide(const std::u16string& text) { return host::com::to_wide(text); }

}  // namespace

void Screen::press(HWND page, const wizard::FormDesign& design, std::u16string_view name) {
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

void Screen::type(HWND page, const wizard::FormDesign& design, std::u16string_view name, const std::u16string& text) {
    HWND c = control(page, design, name);
    if (!usable(c)) return;
    SetFocus(c);
    if (!IsWindow(c)) return;
    const std::wstring w = wide(text);
    SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    if (IsWindow(c)) SendMessageW(c, EM_SETSEL, w.size(), w.size());
}

void Screen::focus(HWND page, const wizard::FormDesign& design, std::u16string_view name) {
    HWND c = control(page, design, name);
    if (usable(c)) SetFocus(c);
}

void Screen::key(HWND page, const std::string& key) {
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

void Screen::move(HWND page, double left, double top) {
    SetWindowPos(page, nullptr, static_cast<int>(std::lround(left / 15)), static_cast<int>(std::lround(top / 15)), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Screen::close(HWND page) { SendMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Screen::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace outlook_sim
