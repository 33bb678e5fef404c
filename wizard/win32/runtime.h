#pragma once
// What all form windows of a thread share: their window class and a message hook that gives
// them dialog keys (Tab, Enter, Alt+letter, arrows) inside whatever message loop runs them:
// the host's own loop never calls IsDialogMessage for our windows. Held by every live form
// window; the last one to go unhooks and unregisters, so a DLL that is unloaded leaves no
// class or hook pointing into it.
//
// The common controls are not the runtime's: they stay loaded from the first page until the
// module may be unloaded (release_common_controls). A page's tooltip subclasses the page
// itself, so the page's last message (the click that closes it) returns through the common
// controls' code after the page is gone; freeing the library with the last page would pull
// that code from under its own stack.
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

    HINSTANCE instance_ = nullptr;
    HHOOK hook_ = nullptr;
};

// Loads the common controls (once for the module) and registers the classes the pages use.
// Loaded with the first page rather than with the add-in, whose start-up the host times: a
// host that has them loaded already only counts one more user.
void load_common_controls();
// Lets go of the common controls; only when no window, subclass, hook or timer of this
// module can run their code any more: when the module itself may be unloaded.
void release_common_controls() noexcept;
// Whether this module holds the common controls (for tests).
bool holds_common_controls() noexcept;

// True for a top-level window of class form_window_class.
bool is_form_window(HWND window);

}  // namespace wizard::win32
