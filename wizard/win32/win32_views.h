#pragma once
// The real windows of the form model: each form becomes a top-level Win32 window whose
// controls stand at their designed places, and whose clicks, typing, focus, moves and close
// go back to the model. The views hold no page logic.
#include <windows.h>

#include <memory>
#include <string_view>

#include "wizard/form.h"

namespace wizard::win32 {

// The window class of every form window (the test host finds pages by it and the caption).
inline constexpr wchar_t form_window_class[] = L"QuillamorForm";

// Child windows carry their control's place in the design as their id, from this base.
inline constexpr int first_control_id = 100;

// The control id of a named control, or 0 when the design has none of that name.
int control_id(const FormDesign& design, std::u16string_view name);

// The pictures and icons named in the designs are resources of the module that holds this
// code (the add-in's DLL, or a test program).
class Win32Views : public ViewFactory {
public:
    std::unique_ptr<FormView> create(Form& form) override;
    // The real screen: the monitor of the window in front (the host's, where the user
    // clicked), else the primary one.
    ScreenArea screen() override;
};

}  // namespace wizard::win32
