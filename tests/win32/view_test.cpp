// The five forms as real windows: each is shown through the Win32 views, its window and
// controls are compared with the design converted at the screen's DPI, a picture of it is
// written, and the user's acts on the real controls (clicks, typing, keys, moves, closing)
// are followed into the model.
//
//   win32_view_test --dpi N [--screen WIDTHxHEIGHT] [--shots FOLDER [--suffix TEXT]]
// --dpi and --screen state what the display was set up to be, so that a set-up that did not
// take is caught rather than tested against itself. Pictures are written as
// FOLDER\<form><suffix>.bmp. GoogleTest's own options (--gtest_filter=..., --gtest_brief=0)
// may stand anywhere among them.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture.h"
#include "engine/messages.h"
#include "host/environment.h"
#include "host/failure.h"
#include "host/text.h"
#include "wizard/win32/dpi.h"
#include "wizard/win32/win32_views.h"
#include "wizard/wizard_context.h"

namespace {

using namespace wizard;
using wizard::win32::control_id;

// The DPI the display was set up with, and the conversion the pages must follow at it: twips
// to the nearest pixel at 1440 twips an inch.
int dpi = 96;
int display_dpi = 96;  // dpi differs from it only while a page is told of another one
int pixels(double twips) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
double twips(int pixels) { return pixels * 1440.0 / dpi; }

// The display as the command line says it was set up, and where the pictures go.
SIZE screen{};
std::wstring shots_folder, shots_suffix;

std::string narrow(std::u16string_view s) { return host::to_utf8(s); }
std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string text_of(HWND w) {
    wchar_t buffer[1024];
    const int n = GetWindowTextW(w, buffer, 1024);
    return std::u16string(buffer, buffer + n);
}

// ---- a host that has nothing but records what the pages ask of it -------------------

class QuietEnvironment : public host::Environment {
public:
    std::vector<std::u16string> started, created, messages, opened;

    host::Object create_object(std::u16string_view progid) override {
        created.emplace_back(progid);
        host::raise(429, u"ActiveX component can't create object");
    }
    int32_t message_box(std::u16string_view text, int32_t, std::u16string_view) override {
        messages.emplace_back(text);
        return host::vbOK;
    }
    void start_process(std::u16string_view command_line) override { started.emplace_back(command_line); }
    void open_address(std::u16string_view address) override { opened.emplace_back(address); }
    void copy_button_face(const host::Object&, uint32_t) override {}
    std::unique_ptr<host::Library> load_library(std::u16string_view) override { return nullptr; }
    std::u16string windows_folder() override { return u"c:\\windows"; }
    void* module_handle() override { return nullptr; }
    void* raw_interface(const host::Object&) override { return nullptr; }
};

// ---- the windows -----------------------------------------------------------------------

HWND window_of(Form& f) { return FindWindowW(win32::form_window_class, wide(f.design().caption).c_str()); }

HWND child_of(Form& f, std::u16string_view name) {
    return GetDlgItem(window_of(f), control_id(f.design(), name));
}

// Lets the windows process what is queued (the message hook sees each message) for a while.
void pump(DWORD ms = 30) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

void post_key(UINT vk) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, vk, 1);
    PostMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    pump();
}

RECT rect_in_client(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}


COLORREF colour_of(uint32_t ole) {
    return (ole & 0x80000000u) ? GetSysColor(static_cast<int>(ole & 0xFF)) : static_cast<COLORREF>(ole & 0xFFFFFF);
}

RECT design_pixels(const Rect& r) {
    return RECT{pixels(r.left), pixels(r.top), pixels(r.left + r.width), pixels(r.top + r.height)};
}

// Line widths are designed in pixels at 96 dpi.
int line_pixels(int designed) { return std::max(1, MulDiv(designed, dpi, 96)); }

bool has_window(Kind k) {
    return k != Kind::Shape && k != Kind::Line && k != Kind::Image;
}

std::string rect_text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The text's room: what a label, link, button or option button leaves its text, in pixels.
SIZE text_room(const Control& c, const RECT& r) {
    SIZE room{r.right - r.left, r.bottom - r.top};
    if (c.kind == Kind::Button) room.cx -= 2 * MulDiv(3, dpi, 96);  // edges and focus frame
    if (c.kind == Kind::Option) room.cx -= MulDiv(13 + 4, dpi, 96);  // the round box and its gap
    return room;
}

// The control's text, in its own font, needs no more room than the control gives it:
// labels wrap at their width, buttons and option buttons keep one line.
void check_text_fits(const Control& c, HWND h, const RECT& r) {
    if (c.text.empty() || (c.kind != Kind::Label && c.kind != Kind::Link && c.kind != Kind::Button &&
                           c.kind != Kind::Option))
        return;
    const SIZE room = text_room(c, r);
    std::wstring text = wide(c.text);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    RECT need{0, 0, room.cx, 0};
    const bool wraps = c.kind == Kind::Label || c.kind == Kind::Link;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (c.kind == Kind::Link ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    EXPECT_TRUE(need.right <= room.cx && need.bottom <= room.cy)
        << "the text fits its control: " << need.right << "x" << need.bottom << " in " << room.cx << "x" << room.cy;
}

// The window and every control where the design puts them at the display's DPI, with the
// design's state.
void check_layout(Form& f) {
    HWND w = window_of(f);
    ASSERT_NE(w, nullptr);
    if (dpi == display_dpi) { EXPECT_EQ(win32::window_dpi(w), dpi); }
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);  // no owner window
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, pixels(f.design().client_width));
    EXPECT_EQ(client.bottom, pixels(f.design().client_height));
    RECT outer;
    GetWindowRect(w, &outer);
    EXPECT_EQ(outer.left, pixels(f.left()));
    EXPECT_EQ(outer.top, pixels(f.top()));

    for (const Control& c : f.controls()) {
        SCOPED_TRACE(narrow(f.name()) + "." + narrow(c.name));
        HWND h = GetDlgItem(w, control_id(f.design(), c.name));
        if (!has_window(c.kind)) {
            EXPECT_EQ(h, nullptr);  // painted by the form
            continue;
        }
        EXPECT_NE(h, nullptr);
        if (!h) continue;
        const RECT want = design_pixels(c.rect);
        const RECT got = rect_in_client(h);
        EXPECT_EQ(rect_text(got), rect_text(want)) << "control rectangle as designed";
        EXPECT_EQ(bool(IsWindowVisible(h)), c.visible);
        EXPECT_EQ(bool(IsWindowEnabled(h)), c.enabled);
        if (c.kind != Kind::ProgressBar) { EXPECT_EQ(text_of(h), c.text) << "text as designed"; }

        // The dialog font, at the designed size and weight, and really there.
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
        if (c.kind != Kind::ProgressBar) {
            LOGFONTW lf{};
            EXPECT_TRUE(font && GetObjectW(font, sizeof lf, &lf) == sizeof lf);
            EXPECT_EQ(std::wstring(lf.lfFaceName), L"MS Sans Serif");
            EXPECT_EQ(lf.lfHeight, -static_cast<LONG>(std::lround(c.font_size * dpi / 72)));
            EXPECT_EQ(lf.lfWeight >= FW_BOLD, c.bold);
            EXPECT_EQ(bool(lf.lfUnderline), c.underline);
            HDC dc = GetDC(h);
            HGDIOBJ old = SelectObject(dc, font);
            wchar_t face[LF_FACESIZE] = {};
            GetTextFaceW(dc, LF_FACESIZE, face);
            SelectObject(dc, old);
            ReleaseDC(h, dc);
            EXPECT_EQ(std::wstring(face), L"MS Sans Serif") << "the font is installed";
            if (c.visible) check_text_fits(c, h, want);
        }
        const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        if (c.kind == Kind::Button) {
            // As in a dialog, a focused push button wears the default border.
            const bool focus_on_button = f.has_control(f.focus()) && f.control(f.focus()).kind == Kind::Button;
            const bool want_default = focus_on_button ? c.name == f.focus() : c.default_button;
            EXPECT_EQ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, want_default);
            EXPECT_EQ(bool(style & WS_TABSTOP), c.tab_index >= 0);
        }
        if (c.kind == Kind::Option) { EXPECT_EQ(SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED, c.selected); }
        if (c.kind == Kind::TextBox) { EXPECT_GE(SendMessageW(h, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE); }
    }
}

// The picture: what the form paints itself (shapes, lines) has the designed colours where
// nothing else lies over it, and each picture shows something.
void check_paint(Form& f, const wintest::Capture& shot) {
    HWND w = window_of(f);
    RECT client;
    GetClientRect(w, &client);
    const auto& controls = f.controls();
    std::vector<RECT> windows;
    for (const Control& c : controls) {
        HWND h = GetDlgItem(w, control_id(f.design(), c.name));
        if (h && IsWindowVisible(h)) windows.push_back(rect_in_client(h));
    }
    auto area = [](const Control& c) {
        RECT r = design_pixels(c.rect);
        if (c.kind == Kind::Line) {
            const int lw = line_pixels(c.line_width);
            if (r.top == r.bottom) r.bottom = r.top + lw;
            if (r.left == r.right) r.right = r.left + lw;
        }
        return r;
    };
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.visible || (c.kind != Kind::Shape && c.kind != Kind::Line && c.kind != Kind::Image)) continue;
        SCOPED_TRACE(narrow(f.name()) + "." + narrow(c.name));
        RECT r = area(c);
        if (c.kind == Kind::Shape && c.border) InflateRect(&r, -1, -1);  // inside the border
        RECT inside;
        if (!IntersectRect(&inside, &r, &client)) continue;
        if (c.kind == Kind::Image) {
            // Something other than one flat colour fills the picture's place.
            COLORREF first = shot.client_pixel(inside.left, inside.top);
            bool varied = false;
            for (int y = inside.top; y < inside.bottom && !varied; ++y)
                for (int x = inside.left; x < inside.right && !varied; ++x)
                    varied = shot.client_pixel(x, y) != first;
            EXPECT_TRUE(varied) << "the picture is drawn";
            continue;
        }
        // The first pixel that no window and no later painted item covers.
        bool found = false;
        for (int y = inside.top; y < inside.bottom && !found; ++y) {
            for (int x = inside.left; x < inside.right && !found; ++x) {
                POINT p{x, y};
                bool covered = false;
                for (const RECT& wr : windows) covered = covered || PtInRect(&wr, p);
                for (size_t j = i + 1; j < controls.size() && !covered; ++j) {
                    const Control& later = controls[j];
                    if (!later.visible || has_window(later.kind)) continue;
                    RECT lr = area(later);
                    covered = PtInRect(&lr, p);
                }
                if (covered) continue;
                found = true;
                const COLORREF want = colour_of(c.fill);
                const COLORREF got = shot.client_pixel(x, y);
                char detail[80];
                std::snprintf(detail, sizeof detail, "at %d,%d %06lx vs %06lx", x, y, (unsigned long)got,
                              (unsigned long)want);
                EXPECT_EQ(got, want) << "painted in the designed colour " << detail;
            }
        }
    }
}

// Checks the shown form against its design and writes its picture.
wintest::Capture look_at(Form& f) {
    SCOPED_TRACE(narrow(f.name()));
    pump(100);
    check_layout(f);
    wintest::Capture shot = wintest::capture(window_of(f));
    EXPECT_TRUE(shot.width > 0 && !shot.bits.empty());
    if (shot.bits.empty()) return shot;
    check_paint(f, shot);
    if (!shots_folder.empty()) {
        const std::wstring path = shots_folder + L"\\" + wide(f.name()) + shots_suffix + L".bmp";
        EXPECT_TRUE(shot.write_bmp(path)) << "screenshot written";
    }
    return shot;
}

bool any_pixel(const wintest::Capture& shot, const RECT& r, COLORREF colour) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (shot.client_pixel(x, y) == colour) return true;
    return false;
}

struct TooltipSearch {
    HWND owner, found;
};

BOOL CALLBACK match_tooltip(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TooltipSearch*>(p);
    wchar_t name[64];
    GetClassNameW(w, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(w, GW_OWNER) == s->owner) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND find_tooltip(HWND owner) {
    TooltipSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &match_tooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---- the forms -------------------------------------------------------------------------

// The window's small icon: the design's own, from the program's resources, at the size of
// a small icon at the display's DPI.
void check_icon(HWND w) {
    HICON icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(icon, nullptr);
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return;
    BITMAP colour{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, win32::metric_for_dpi(SM_CXSMICON, dpi));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}


// The pages in the order a user meets them: the welcome page's Next opens the work type page,
// and each test takes the wizard as the one before left it, so the suite shares one host, one
// set of views and one wizard, made before its first test and ended after its last.
class Views : public testing::Test {
protected:
    struct Shared {
        QuietEnvironment env;
        win32::Win32Views views;
        wizard::WizardContext state{env, views};
    };
    static inline std::unique_ptr<Shared> shared;

    static void SetUpTestSuite() { shared = std::make_unique<Shared>(); }
    static void TearDownTestSuite() { shared.reset(); }

    QuietEnvironment& env = shared->env;
    wizard::WizardContext& state = shared->state;
};

TEST_F(Views, WelcomePage) {
    auto& f = state.forms.frmStartUp;
    f.show();
    const wintest::Capture shot = look_at(f);
    HWND w = window_of(f);

    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), child_of(f, u"cmdStart"));
    check_icon(w);
    // The addresses are pure blue.
    RECT link = design_pixels(f.control(u"lblAdres1").rect);
    EXPECT_TRUE(any_pixel(shot, link, RGB(0, 0, 255)));

    // Tab follows the designed order and passes over the disabled Back.
    std::vector<std::u16string> seen;
    for (int i = 0; i < 4; ++i) {
        post_key(VK_TAB);
        seen.push_back(f.focus());
        EXPECT_EQ(GetFocus(), child_of(f, f.focus()));
    }
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"cmdStop", u"cmdHelp", u"cmdStart", u"cmdStop"}));

    // Enter on a focused button presses that button, not the default one.
    post_key(VK_TAB);  // cmdHelp
    EXPECT_EQ(f.focus(), u"cmdHelp");
    post_key(VK_RETURN);
    EXPECT_EQ(env.started.size(), size_t{1});
    EXPECT_TRUE(f.visible());

    // The pointer over an address is a hand.
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(child_of(f, u"lblAdres1")),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

    // A click on an address goes to the browser: here there is none to create, so the system
    // opens the address.
    SendMessageW(child_of(f, u"lblAdres2"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(child_of(f, u"lblAdres2"), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(env.created, std::vector<std::u16string>{u"InternetExplorer.Application"});
    EXPECT_EQ(env.opened, std::vector<std::u16string>{text_of(child_of(f, u"lblAdres2"))});

    // Next: the page goes, the work type page opens in its spot.
    const RECT before = [&] { RECT r; GetWindowRect(w, &r); return r; }();
    SendMessageW(child_of(f, u"cmdStart"), BM_CLICK, 0, 0);
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(IsWindow(w));
    HWND choose = window_of(state.forms.frmChoose);
    EXPECT_TRUE(choose && IsWindowVisible(choose));
    RECT after{};
    GetWindowRect(choose, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Views, WorkTypePage) {
    auto& f = state.forms.frmChoose;
    // Opened by the welcome page's Next; alone, this test has no page to look at.
    ASSERT_TRUE(f.visible()) << "the welcome page's Next did not open the work type page";
    int quick_runs = 0;
    f.quick_run = [&](wizard::WizardContext&) { ++quick_runs; };
    look_at(f);
    EXPECT_EQ(GetFocus(), child_of(f, u"cmdHelp"));

    // Clicking Quick List selects it (the group unchecks Custom), moves the description
    // and makes it the group's tab stop.
    HWND quick = child_of(f, u"optQuick"), dist = child_of(f, u"optDist");
    SendMessageW(quick, BM_CLICK, 0, 0);
    pump();
    EXPECT_TRUE(f.control(u"optQuick").selected && !f.control(u"optDist").selected);
    EXPECT_EQ(SendMessageW(quick, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(dist, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(f.focus(), u"optQuick");
    EXPECT_TRUE(IsWindowVisible(child_of(f, u"Label3")) && !IsWindowVisible(child_of(f, u"lblshrds")));
    EXPECT_TRUE((GetWindowLongPtrW(quick, GWL_STYLE) & WS_TABSTOP) &&
                !(GetWindowLongPtrW(dist, GWL_STYLE) & WS_TABSTOP));

    // The arrow keys move within the one group of options, selecting as they go.
    EXPECT_TRUE((GetWindowLongPtrW(dist, GWL_STYLE) & WS_GROUP) && !(GetWindowLongPtrW(quick, GWL_STYLE) & WS_GROUP));
    post_key(VK_UP);
    EXPECT_TRUE(f.focus() == u"optDist" && f.control(u"optDist").selected && !f.control(u"optQuick").selected);
    EXPECT_TRUE(IsWindowVisible(child_of(f, u"lblshrds")) && !IsWindowVisible(child_of(f, u"Label3")));
    post_key(VK_DOWN);
    EXPECT_TRUE(f.focus() == u"optQuick" && f.control(u"optQuick").selected);

    // Enter on the option group presses the default Next: the quick run starts.
    HWND w = window_of(f);
    post_key(VK_RETURN);
    EXPECT_EQ(quick_runs, 1);
    EXPECT_TRUE(!f.loaded() && !IsWindow(w));
    f.quick_run = nullptr;
}

TEST_F(Views, NamePage) {
    auto& f = state.forms.frmTitle;
    std::vector<std::u16string> runs;
    f.custom_run = [&](wizard::WizardContext& s) { runs.push_back(s.forms.frmTitle.subject()); };
    f.show();
    look_at(f);
    HWND box = child_of(f, u"txtSubject"), next = child_of(f, u"cmdOk");
    EXPECT_EQ(GetFocus(), box);
    EXPECT_FALSE(IsWindowEnabled(next));

    // The tip of Next, shown over the button whether it is enabled or not.
    HWND tip = find_tooltip(window_of(f));
    EXPECT_NE(tip, nullptr);
    if (tip) {
        EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
        wchar_t text[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window_of(f);
        tool.uId = reinterpret_cast<UINT_PTR>(next);
        tool.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::wstring(text), L"Move the cursor over the text box.");
    }

    // Text put into the box reaches the model, and the name rule enables Next.
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Friends"));
    EXPECT_EQ(f.subject(), u"Friends");
    EXPECT_TRUE(IsWindowEnabled(next));
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    EXPECT_TRUE(f.subject().empty());
    EXPECT_FALSE(IsWindowEnabled(next));

    // Keys typed into the box pass through the dialog keys untouched; Enter in the box does
    // nothing, as the page has no default button.
    post_key('Q');
    post_key(VK_SPACE);
    EXPECT_EQ(f.subject(), u"q ");
    EXPECT_TRUE(IsWindowEnabled(next));
    post_key(VK_RETURN);
    EXPECT_TRUE(runs.empty());

    // The model's own change of the text shows in the box.
    f.set_subject(u"Team");
    EXPECT_EQ(text_of(box), u"Team");
    EXPECT_TRUE(IsWindowEnabled(next));

    // Next hides the page (it keeps the name) and starts the custom run.
    HWND w = window_of(f);
    SendMessageW(next, BM_CLICK, 0, 0);
    EXPECT_EQ(runs, std::vector<std::u16string>{u"Team"});
    EXPECT_TRUE(f.loaded() && !f.visible());
    EXPECT_TRUE(IsWindow(w) && !IsWindowVisible(w));
    f.custom_run = nullptr;
}

TEST_F(Views, ClosingPage) {
    auto& f = state.forms.frmDone;
    f.show();
    look_at(f);
    HWND w = window_of(f);
    EXPECT_EQ(GetFocus(), child_of(f, u"cmdHelp"));

    // Enter with the focus on Help presses Help, not the default Yes.
    const size_t started = env.started.size();
    post_key(VK_RETURN);
    EXPECT_EQ(env.started.size(), started + 1);
    EXPECT_TRUE(f.loaded());

    // The user's move reaches the model; the model's move moves the window.
    SetWindowPos(w, nullptr, 100, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(f.left(), static_cast<float>(twips(100)));
    EXPECT_EQ(f.top(), static_cast<float>(twips(60)));
    f.set_left(3000);
    f.set_top(1500);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, pixels(3000));
    EXPECT_EQ(r.top, pixels(1500));

    // Dragged to a monitor of another DPI and back: the window system tells the page the
    // DPI and proposes a place; the page stands there at its designed size in twips.
    for (const int to : {dpi == 120 ? 144 : 120, display_dpi}) {
        SCOPED_TRACE("frmDone at " + std::to_string(to) + " dpi");
        RECT proposed{40, 30, 41, 31};
        SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&proposed));
        dpi = to;
        check_layout(f);
        EXPECT_EQ(f.left(), static_cast<float>(twips(40)));
        EXPECT_EQ(f.top(), static_cast<float>(twips(30)));
    }
    dpi = display_dpi;

    // Closing through the frame unloads the page.
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(Views, AccessKeys) {
    auto& f = state.forms.frmStartUp;
    f.show();
    pump();
    // Alt+A is C&ancel: the wizard closes.
    HWND w = window_of(f);
    PostMessageW(GetFocus(), WM_SYSCHAR, 'a', static_cast<LPARAM>(1u << 29));
    pump();
    EXPECT_TRUE(!f.loaded() && !IsWindow(w));
}

TEST_F(Views, ProgressWindow) {
    auto& f = state.forms.frmPBar;
    f.show();
    f.SetMax(7);
    f.refresh();
    f.SetValue(3);
    look_at(f);
    HWND w = window_of(f);
    HWND bar = child_of(f, u"ProgressBar1");
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 3);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 7);
    // Centred on the screen the display was set up with.
    if (screen.cx) {
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.cx);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.cy);
    }
    RECT r;
    GetWindowRect(w, &r);
    const double width = twips(GetSystemMetrics(SM_CXSCREEN)), height = twips(GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(r.left, pixels((width - f.design().client_width) / 2));
    EXPECT_EQ(r.top, pixels((height - f.design().client_height) / 2));
    // The bar is drawn as soon as the value is set, with no message loop running.
    RECT inside = rect_in_client(bar);
    const RECT filled_end{inside.right - 6, inside.top + 3, inside.right - 3, inside.bottom - 3};
    f.SetValue(7);
    const wintest::Capture full = wintest::capture(w, false);
    EXPECT_TRUE(any_pixel(full, filled_end, GetSysColor(COLOR_HIGHLIGHT)));
    check_icon(w);

    // Thousands of values: every one reaches the bar, which draws only when its fill moves by
    // a pixel, and draws as ever once a message loop has run.
    static int paints;
    static WNDPROC bar_proc;
    paints = 0;
    bar_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_PAINT) ++paints;
            return CallWindowProcW(bar_proc, h, m, wp, lp);
        })));
    const int values = 10000;
    f.SetMax(values);
    int missed = 0;
    for (int v = 0; v <= values; ++v) {
        f.SetValue(static_cast<float>(v));
        if (SendMessageW(bar, PBM_GETPOS, 0, 0) != v) ++missed;
    }
    EXPECT_EQ(missed, 0);
    const int bar_width = inside.right - inside.left;
    EXPECT_TRUE(paints >= bar_width / 2 && paints <= bar_width + 2) << paints << " paints of a bar " << bar_width
                                                                    << " pixels wide";
    pump();
    EXPECT_TRUE(IsWindowVisible(bar));
    const wintest::Capture drawn = wintest::capture(w, false);
    EXPECT_TRUE(any_pixel(drawn, filled_end, GetSysColor(COLOR_HIGHLIGHT)));
    SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(bar_proc));
    f.unload();
    EXPECT_FALSE(IsWindow(w));
}

// The question Update List asks before it changes a list, as the add-in shows it (a
// task-modal box titled with the product's name): its picture goes beside the pages' for the
// help and the guide. The box is captured from inside its own modal loop and answered No.
HWND shown_box = nullptr;
bool box_written = false;

void CALLBACK capture_box(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", std::wstring(host::product_name.begin(), host::product_name.end()).c_str());
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    shown_box = box;
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const wintest::Capture shot = wintest::capture(box);
    box_written = shot.write_bmp(shots_folder + L"\\update-question" + shots_suffix + L".bmp");
    PostMessageW(box, WM_COMMAND, IDNO, 0);
}

TEST_F(Views, UpdateQuestionPicture) {
    if (shots_folder.empty()) GTEST_SKIP() << "no picture is wanted without --shots";
    const std::u16string text = engine::text::update_question(u"Business", 3, 2, 1);
    const std::wstring t(text.begin(), text.end()), title(host::product_name.begin(), host::product_name.end());
    SetTimer(nullptr, 0, 50, capture_box);
    const int answer = MessageBoxW(nullptr, t.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    EXPECT_NE(shown_box, nullptr);
    EXPECT_TRUE(box_written);
    EXPECT_EQ(answer, IDNO);
}

// A whole number above zero, and nothing after it.
bool read_count(const wchar_t* text, LONG& n) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end || value <= 0 || value > 100000) return false;
    n = value;
    return true;
}

// What the display was set up to be and where the pictures go. An option misspelt, a value
// missing or a number that is none is refused: taken for the defaults, it would check the
// pages against a display no one set up, or leave the pictures unwritten and still pass.
bool read_command_line(int argc, wchar_t** argv) {
    bool dpi_given = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 == argc) return false;
        const std::wstring option = argv[i];
        const wchar_t* value = argv[i + 1];
        if (option == L"--dpi") {
            LONG n = 0;
            if (!read_count(value, n)) return false;
            display_dpi = dpi = n;
            dpi_given = true;
        } else if (option == L"--screen") {
            const wchar_t* x = std::wcschr(value, L'x');
            if (!x || !read_count(std::wstring(value, x).c_str(), screen.cx) || !read_count(x + 1, screen.cy))
                return false;
        } else if (option == L"--shots") {
            if (!*value) return false;
            shots_folder = value;
        } else if (option == L"--suffix") {
            shots_suffix = value;  // may be empty: the pictures then bear the forms' bare names
        } else {
            return false;
        }
    }
    return dpi_given;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    GTEST_FLAG_SET(brief, true);  // failures and the totals only, unless asked otherwise
    testing::InitGoogleTest(&argc, argv);
    if (!read_command_line(argc, argv)) {
        std::fprintf(stderr, "usage: win32_view_test --dpi N [--screen WIDTHxHEIGHT] [--shots FOLDER [--suffix TEXT]]\n");
        return 100;
    }
    if (FAILED(OleInitialize(nullptr))) return 100;
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    // A filter that matches nothing must not pass for a run whose checks passed.
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "win32_view_test: no test ran\n");
        result = 1;
    }
    return result;
}
