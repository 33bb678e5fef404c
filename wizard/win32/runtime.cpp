#include "wizard/win32/runtime.h"

#include <commctrl.h>

#include <cwchar>

#include "host/com/library_search.h"
#include "host/failure.h"
#include "host/text.h"
#include "wizard/win32/win32_views.h"

namespace wizard::win32 {

namespace {

std::weak_ptr<Runtime> current;
HHOOK current_hook = nullptr;
// The module's one reference on the common controls. Pages live on the host's user-interface
// thread and the module is let go on it too, so no lock is needed.
host::com::unique_hmodule common_controls;

[[noreturn]] void raise_last_error(std::u16string what) {
    const DWORD error = GetLastError();
    host::raise(static_cast<int32_t>(error ? error : ERROR_INVALID_FUNCTION),
                what + u" failed with error " + host::decimal(error));
}

}  // namespace

HINSTANCE Runtime::this_module() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Runtime::this_module), &module);
    return module;
}

bool is_form_window(HWND window) {
    wchar_t name[64];
    return window && GetClassNameW(window, name, 64) && std::wcscmp(name, form_window_class) == 0;
}

std::shared_ptr<Runtime> Runtime::acquire(WNDPROC form_proc) {
    if (auto runtime = current.lock()) return runtime;
    std::shared_ptr<Runtime> runtime(new Runtime(form_proc));
    current = runtime;
    return runtime;
}

void load_common_controls() {
    if (common_controls) return;
    host::com::unique_hmodule library = host::com::load_system_library(L"comctl32.dll");
    if (!library) raise_last_error(u"Loading the common controls");
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitControls>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "InitCommonControlsEx")));
    if (!init) raise_last_error(u"Finding InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    init(&controls);
    common_controls = std::move(library);
}

void release_common_controls() noexcept { common_controls.reset(); }

bool holds_common_controls() noexcept { return static_cast<bool>(common_controls); }

Runtime::Runtime(WNDPROC form_proc) : instance_(this_module()) {
    load_common_controls();

    // A class left behind by an earlier copy of this module would point into freed code.
    UnregisterClassW(form_window_class, instance_);
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = form_proc;
    c.hInstance = instance_;
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = form_window_class;
    if (!RegisterClassExW(&c)) raise_last_error(u"Registering the form window class");

    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &Runtime::message_hook, nullptr, GetCurrentThreadId());
    if (!hook_) {
        UnregisterClassW(form_window_class, instance_);
        raise_last_error(u"Installing the form message hook");
    }
    current_hook = hook_;
}

Runtime::~Runtime() {
    UnhookWindowsHookEx(hook_);
    current_hook = nullptr;
    UnregisterClassW(form_window_class, instance_);
}

LRESULT CALLBACK Runtime::message_hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION && wparam == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lparam);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && msg->hwnd) {
            HWND root = GetAncestor(msg->hwnd, GA_ROOT);
            // IsDialogMessage translates and dispatches what it takes; the caller's loop
            // then sees a message that does nothing.
            if (is_form_window(root) && IsDialogMessageW(root, msg)) {
                msg->message = WM_NULL;
                msg->wParam = 0;
                msg->lParam = 0;
            }
        }
    }
    return CallNextHookEx(current_hook, code, wparam, lparam);
}

}  // namespace wizard::win32
