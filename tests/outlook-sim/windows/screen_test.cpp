// The screen as outlook-sim watches and answers it, on real windows under Wine: message boxes
// read (text, title, buttons, icon, default button) and answered from the scenario, the
// add-in's reports of failures, pages known by class and caption with their positions, the
// progress bar's range and value, and the walk through the wizard that keeps only what a
// direct run would show.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/text.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/screen.h"
#include "wizard/form_designs.h"
#include "wizard/win32/win32_views.h"

namespace {

using nlohmann::json;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

// The pages' window class, as the add-in registers it (a plain window here).
void register_page_class() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = instance();
    c.lpszClassName = wizard::win32::form_window_class;
    done = RegisterClassExW(&c) != 0;
}

std::wstring caption(const char* form) {
    const auto& c = wizard::form_design(host::from_utf8(form))->caption;
    return std::wstring(c.begin(), c.end());
}

HWND page(const char* form, int x, int y) {
    return CreateWindowExW(0, wizard::win32::form_window_class, caption(form).c_str(), WS_OVERLAPPED | WS_CAPTION, x,
                           y, 300, 200, nullptr, nullptr, instance(), nullptr);
}

json form(const char* name, const char* action, int left, int top) {
    return {{"event", "form"}, {"form", name}, {"action", action}, {"left", left}, {"top", top}};
}

TEST(Screen, MessageBoxesAreReadAndAnswered) {
    sim::SimHost host;
    host.answer_msgbox(false);
    host.answer_msgbox(true);
    std::vector<std::string> errors;
    outlook_sim::Screen screen(host, [&](const std::string& e) { errors.push_back(e); });

    EXPECT_EQ(MessageBoxW(nullptr, L"Only one address?", L"Quillamor", MB_YESNO | MB_ICONINFORMATION | MB_TASKMODAL), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Error -2147467259: The operation failed", L"Quillamor", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Sure?", L"Other", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), IDYES);
    // No answer left: the box is closed the way that changes least, and the play is told.
    EXPECT_EQ(MessageBoxW(nullptr, L"Again?", L"Quillamor", MB_YESNO), IDNO);
    EXPECT_TRUE(errors.size() == 1 && errors[0].find("no answer") != std::string::npos);

    const std::vector<json> expected = {
        // Task-modal as passed: the box disabled the thread's other windows.
        {{"event", "msgbox"}, {"text", "Only one address?"}, {"style", 68 | MB_TASKMODAL}, {"title", "Quillamor"},
         {"answer", "No"}},
        {{"event", "failure"}, {"number", -2147467259}, {"description", "The operation failed"}},
        {{"event", "msgbox"}, {"text", "Error -2147467259: The operation failed"}, {"style", 0}, {"title", "Quillamor"},
         {"answer", "OK"}},
        {{"event", "msgbox"}, {"text", "Sure?"}, {"style", 4 | 256 | 32}, {"title", "Other"}, {"answer", "Yes"}},
        {{"event", "msgbox"}, {"text", "Again?"}, {"style", 4}, {"title", "Quillamor"}, {"answer", "No"}},
    };
    EXPECT_EQ(host.effects(), expected);
}

TEST(Screen, PagesAndTheProgressBarAreWatched) {
    register_page_class();
    sim::SimHost host;
    outlook_sim::Screen screen(host, [](const std::string&) {});

    HWND window = page("frmPBar", 378, 349);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 8, 40, 249, 17, window,
                               reinterpret_cast<HMENU>(101), instance(), nullptr);
    // The page sets range and value as it makes the bar and again at each change of the
    // range, and the value alone at each change of the value, drawn or not.
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    EXPECT_TRUE(screen.loaded("frmPBar") && !screen.page("frmPBar"));
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(screen.page("frmPBar"), window);
    SendMessageW(bar, PBM_SETRANGE32, 0, 9);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    SendMessageW(bar, WM_SETREDRAW, FALSE, 0);
    SendMessageW(bar, PBM_SETPOS, 1, 0);
    SendMessageW(bar, WM_SETREDRAW, TRUE, 0);
    SetWindowPos(window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, SW_HIDE);
    DestroyWindow(window);
    EXPECT_FALSE(screen.loaded("frmPBar"));

    // A window of the class whose caption is no page's is not the add-in's.
    HWND other = CreateWindowExW(0, wizard::win32::form_window_class, L"Something else", WS_OVERLAPPED, 0, 0, 10, 10,
                                 nullptr, nullptr, instance(), nullptr);
    ShowWindow(other, SW_SHOW);
    DestroyWindow(other);

    const std::vector<json> expected = {
        form("frmPBar", "load", 5670, 5235), form("frmPBar", "show", 5670, 5235),
        {{"event", "progress"}, {"max", 9}}, {{"event", "progress"}, {"value", 0}},
        {{"event", "progress"}, {"value", 1}}, form("frmPBar", "hide", 150, 300),
        form("frmPBar", "unload", 150, 300),
    };
    EXPECT_EQ(host.effects(), expected);
}

TEST(Screen, APageShownWithoutItsIconOrPictureIsAnError) {
    register_page_class();
    sim::SimHost host;
    std::vector<std::string> errors;
    outlook_sim::Screen screen(host, [&](const std::string& e) { errors.push_back(e); });
    struct Case {
        const char* form;
        bool icon;
        const char* error;  // none when the page shows all it should
    } cases[] = {
        {"frmPBar", false, "frmPBar shows no window icon"},
        {"frmPBar", true, nullptr},
        // This program carries no pictures: the welcome page made by it has none to show.
        {"frmStartUp", true, "frmStartUp has no picture startup.gif"},
    };
    for (const Case& c : cases) {
        errors.clear();
        HWND window = page(c.form, 0, 0);
        if (c.icon)
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIcon(nullptr, IDI_APPLICATION)));
        ShowWindow(window, SW_SHOW);
        DestroyWindow(window);
        EXPECT_EQ(errors.size(), (c.error ? 1u : 0u));
        if (c.error && !errors.empty()) {
            EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0];
        }
    }
}

TEST(Screen, TheWalkKeepsWhatTheDirectStepShows) {
    register_page_class();
    sim::SimHost host;
    outlook_sim::Screen screen(host, [](const std::string&) {});
    HWND choose = page("frmChoose", 0, 0);  // open before the step
    host.world().clear_events();

    screen.begin_walk("frmTitle");
    HWND start = page("frmStartUp", 65, 91);
    ShowWindow(start, SW_SHOW);
    DestroyWindow(start);
    HWND title = page("frmTitle", 391, 302);  // the step's own load: kept
    ShowWindow(title, SW_SHOW);
    DestroyWindow(choose);                     // the walk closes a page that was open
    screen.final_press();
    ShowWindow(title, SW_HIDE);
    screen.host_call();                        // the run starts
    choose = page("frmChoose", 391, 302);      // ... and opens that page again: never closed
    ShowWindow(choose, SW_SHOW);
    screen.end_walk();
    DestroyWindow(choose);
    DestroyWindow(title);

    const std::vector<json> expected = {
        form("frmTitle", "load", 5865, 4530), form("frmChoose", "show", 5865, 4530),
        form("frmChoose", "unload", 5865, 4530), form("frmTitle", "unload", 5865, 4530),
    };
    EXPECT_EQ(host.effects(), expected);
}

}  // namespace
