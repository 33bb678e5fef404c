#include "wizard/win32/win32_views.h"

#include <cmath>

#include "wizard/win32/form_window.h"
#include "wizard/win32/runtime.h"

namespace wizard::win32 {

int control_id(const FormDesign& design, std::u16string_view name) {
    for (size_t i = 0; i < design.controls.size(); ++i)
        if (design.controls[i].name == name) return first_control_id + static_cast<int>(i);
    return 0;
}

int pixels(float twips) { return static_cast<int>(std::lround(twips / 15.0f)); }

namespace {

std::wstring module_folder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(Runtime::this_module(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

Win32Views::Win32Views(std::wstring asset_folder)
    : asset_folder_(asset_folder.empty() ? module_folder() : std::move(asset_folder)) {}

std::unique_ptr<FormView> Win32Views::create(Form& form) {
    return std::make_unique<FormWindow>(form, asset_folder_);
}

}  // namespace wizard::win32
