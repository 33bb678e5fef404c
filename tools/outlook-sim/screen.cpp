#include "tools/outlook-sim/screen.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "host/com/bstr.h"
#include "host/text.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/message_box.h"
#include "wizard/form_designs.h"
#include "wizard/win32/assets.h"
#include "wizard/win32/win32_views.h"

namespace outlook_sim {

namespace {

Screen* current = nullptr;

constexpr UINT_PTR answer_timer = 0x51A;

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string utf8(const std::u16string& text) { return host::to_utf8(text); }

const wizard::FormDesign* design_by_caption(std::u16string_view caption) {
    for (const auto& d : wizard::form_designs())
        if (d.caption == caption) return &d;
    return nullptr;
}

// Whole twips from whole pixels.
int twips(int pixels) { return pixels * 15; }

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
        bars_[window] = ProgressReading{};
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
    // The bar's reading goes on whether its news is recorded or not.
    auto news = message == PBM_SETRANGE32 ? it->second.range(static_cast<int64_t>(lparam))
                                          : it->second.position(static_cast<int64_t>(wparam));
    if (news && recording_ && walk_.keep_progress()) host_.record(std::move(*news));
}

void Screen::form_event(const std::string& form, const char* action, int left, int top) {
    if (!recording_ || !walk_.keep_form(form, action)) return;
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
    const BoxReading read = read_box(box, marker_);
    const int buttons = read.style & 15;
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
            if (answer == "Cancel" && buttons != MB_YESNOCANCEL)
                throw sim::ScenarioError("the answer Cancel was given to a message box without a Cancel button");
            button = answer == "Yes" ? IDYES : answer == "No" ? IDNO : IDCANCEL;
        } catch (const sim::ScenarioError& e) {
            error_(e.what());
            // Closed the way that changes least, so that the add-in can unwind.
            button = shown_part(box, IDCANCEL) ? IDCANCEL : shown_part(box, IDNO) ? IDNO : IDOK;
            answer = button == IDCANCEL ? "Cancel" : button == IDNO ? "No" : "OK";
        }
    }
    if (recording_) {
        if (read.title == host::product_name && buttons == MB_OK)
            if (auto f = reported_failure(read.text)) {
                host_.record({{"event", "failure"}, {"number", f->first}, {"description", utf8(f->second)}});
                walk_.failure();
            }
        host_.record({{"event", "msgbox"},
                      {"text", utf8(read.text)},
                      {"style", read.style},
                      {"title", utf8(read.title)},
                      {"answer", answer}});
    }
    // Posted: the box's own loop takes it, as it would take the user's click.
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
}

// ---------------------------------------------------------------- the walk

void Screen::begin_walk(const std::string& keep_load) {
    std::set<std::string> loaded;
    for (const auto& [window, form] : pages_) loaded.insert(form);
    walk_.begin(keep_load, loaded);
}

// ---------------------------------------------------------------- pages

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

}  // namespace outlook_sim
