#pragma once
// The screen as a UI-automation tool watches it: a thread hook sees the add-in's real windows
// come and go (pages of class "QuillamorForm" known by their caption, the progress bar,
// message boxes), the pages and the bar are subclassed to be watched, and what a person would
// see is written into the host's event log. Message boxes are read (message_box.h) and
// answered from the scenario. The user's own acts go to the windows through input.h.
#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "tools/outlook-sim/progress.h"
#include "tools/outlook-sim/walk_filter.h"

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

    // --- the walk through the wizard that plays a direct run (walk_filter.h)
    // Form events go unrecorded from here, but for the load of `keep_load` (the page whose
    // loading the direct step itself causes).
    void begin_walk(const std::string& keep_load);
    // The next press starts the run: form events are heard again from its first host call.
    void final_press() { walk_.final_press(); }
    // Every call of the add-in into the host comes here before it runs.
    void host_call() { walk_.host_call(); }
    void end_walk() { walk_.end(); }

    // --- the add-in's pages
    bool loaded(const std::string& form) const;
    // The page's window while it is on the screen; null otherwise.
    HWND page(const std::string& form) const;

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
    std::map<HWND, ProgressReading> bars_;
    std::set<HWND> boxes_;  // message boxes answered, until they go
    WalkFilter walk_;
};

}  // namespace outlook_sim
