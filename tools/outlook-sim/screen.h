#pragma once
// The screen, as a UI-automation tool sees and works it: a thread hook sees the add-in's real
// windows come and go (pages of class "QuillamorForm" known by their caption, the progress bar,
// message boxes), the pages and the bar are subclassed to be watched, and what a person would
// see is written into the host's event log; the user's acts go to
// the windows as the window system delivers them (button clicks, typed text, focus, keys,
// drags, closing through the frame). Message boxes are read and answered from the scenario.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "wizard/form.h"

namespace sim {
class SimHost;
}

namespace outlook_sim {

class Screen {
public:
    // A message box that no answer of the scenario fits is reported through `error`.
    Screen(sim::SimHost& host, std::function<void(const std::string&)> error);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // While the host releases the add-in its windows go with it, which is not the user's
    // doing: nothing is recorded between these two.
    void stop_recording() { recording_ = false; }
    void resume_recording() { recording_ = true; }

    // --- the walk through the wizard that plays a direct run
    // Form events go unrecorded from here, but for the load of `keep_load` (the page whose
    // loading the direct step itself causes).
    void begin_walk(std::string keep_load);
    // The next press starts the run: form events are heard again from its first host call.
    void final_press() { walk_ = Walk::FinalPress; }
    // Every call of the add-in into the host comes here before it runs.
    void host_call();
    void end_walk();

    // --- pages and controls
    bool loaded(const std::string& form) const;
    // The page's window while it is on the screen; null otherwise.
    HWND page(const std::string& form) const;
    // The window of a control of a page (null for what the page paints itself).
    HWND control(HWND page, const wizard::FormDesign& design, std::u16string_view name) const;

    // --- what the user does; nothing happens on a hidden or disabled control
    void press(HWND page, const wizard::FormDesign& design, std::u16string_view name);
    void type(HWND page, const wizard::FormDesign& design, std::u16string_view name, const std::u16string& text);
    void focus(HWND page, const wizard::FormDesign& design, std::u16string_view name);
    // "Enter", "Tab", "Shift+Tab" or "Alt+" and a letter, on the page that has the focus.
    void key(HWND page, const std::string& key);
    // Drags the page to a place given in twips (the window system places whole pixels).
    void move(HWND page, double left, double top);
    // Closes the page through its window frame.
    void close(HWND page);
    // Lets the message loop run until nothing is waiting, as the host's loop does between
    // two things the user does.
    void pump();

private:
    static LRESULT CALLBACK cbt_hook(int code, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK watched_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static void CALLBACK answer_box(HWND box, UINT, UINT_PTR timer, DWORD);

    void created(HWND window, const CREATESTRUCTW& cs);
    void destroyed(HWND window);
    void watch(HWND window);
    void sent(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void message_box(HWND box);
    void form_event(const std::string& form, const char* action, int left, int top);

    struct Bar {
        bool initialised = false;  // the design's range and value, set as the bar is made
        LPARAM max = 100;
        bool max_changed = false;  // the range just set changed the maximum
        bool pending = false;      // a range was set; its value follows
    };

    sim::SimHost& host_;
    std::function<void(const std::string&)> error_;
    HHOOK cbt_ = nullptr;
    // The windows watched, with the procedures they had. A subclass rather than a thread's
    // message hook: under Wine every hooked message is a round trip to the window server, and
    // the bar hears one a contact.
    std::map<HWND, WNDPROC> watched_;
    // A hidden top-level window of the thread: a task-modal box disables it while it stands,
    // which is how the box's MB_TASKMODAL is read back.
    HWND marker_ = nullptr;
    bool recording_ = true;

    std::map<HWND, std::string> pages_;  // the add-in's page windows and their forms
    std::map<HWND, Bar> bars_;
    std::set<HWND> boxes_;  // message boxes answered, until they go

    // Walking: the pages up to the run; FinalPress: the press that starts the run, until its
    // first host call; Running: the run; Recovering: after the run reported a failure, the
    // page puts itself back (a direct run ends with the report).
    enum class Walk { None, Walking, FinalPress, Running, Recovering };
    bool muted() const { return walk_ == Walk::Walking || walk_ == Walk::FinalPress || walk_ == Walk::Recovering; }
    Walk walk_ = Walk::None;
    std::string keep_load_;
    std::set<std::string> loaded_before_;  // forms loaded when the walk began
    std::set<std::string> reopening_;       // of those, the ones the walk closed
};

}  // namespace outlook_sim
