#pragma once
// What all form windows of a thread share: their window class, the common controls, and a
// message hook that gives them dialog keys (Tab, Enter, Alt+letter, arrows) inside whatever
// message loop runs them: the host's own loop never calls IsDialogMessage for our windows.
// Held by every live form window; the last one to go unhooks and unregisters, so a DLL
// that is unloaded leaves no class or hook pointing into it.
#include <windows.h>

#include <memory>

#include "host/com/unique_handle.h"

namespace wizard::win32 {

class Runtime {
public:
    static std::shared_ptr<Runtime> acquire(WNDPROC form_proc);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    HINSTANCE instance() const { return instance_; }

    // The module that holds this code.
    static HINSTANCE this_module();

private:
    explicit Runtime(WNDPROC form_proc);
    static LRESULT CALLBACK message_hook(int code, WPARAM wparam, LPARAM lparam);

    // Loaded with the first page rather than with the add-in, whose start-up the host times:
    // a host that has the common controls loaded already only counts one more user.
    host::com::unique_hmodule common_controls_;
    HINSTANCE instance_ = nullptr;
    HHOOK hook_ = nullptr;
};

// True for a top-level window of class form_window_class.
bool is_form_window(HWND window);

}  // namespace wizard::win32
