#include "wizard/win32/win32_views.h"

#include "wizard/win32/dpi.h"
#include "wizard/win32/form_window.h"

namespace wizard::win32 {

int control_id(const FormDesign& design, std::u16string_view name) {
    for (size_t i = 0; i < design.controls.size(); ++i)
        if (design.controls[i].name == name) return first_control_id + static_cast<int>(i);
    return 0;
}

std::unique_ptr<FormView> Win32Views::create(Form& form) { return std::make_unique<FormWindow>(form); }

ScreenArea Win32Views::screen() {
    HMONITOR monitor = MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoW(monitor, &info)) r = info.rcMonitor;
    // The form has no window yet: its place is reckoned at the system's DPI, as the window
    // will be made at it.
    const Scale scale(system_dpi());
    return ScreenArea{scale.twips(r.left), scale.twips(r.top), scale.twips(r.right - r.left),
                      scale.twips(r.bottom - r.top)};
}

}  // namespace wizard::win32
