// The add-in on the ribbon of the explorer window: its XML, and the callbacks that the XML
// names. The buttons do what the command-bar buttons with the same tags do.
#include "addin/ribbon.h"

#include "addin/commands.h"
#include "addin/connect.h"
#include "host/skip.h"
#include "host/office.h"
#include "host/text.h"

namespace addin {

std::u16string Connect::GetCustomUI(std::u16string_view ribbon_id) {
    if (ribbon_id != explorer_ribbon_id) return {};
    return host::from_utf8(state_.env.module_resource(ribbon_resource));
}

// Kept for as long as the add-in lives, as a handle on the ribbon it was built into.
void Connect::Ribbon_Load(const host::Object& ribbon) { ribbon_ = ribbon; }

// Every button shows the command-bar buttons' picture. As a command-bar button whose face
// cannot be made stays without one, a picture that cannot be loaded leaves the button
// without an image and the ribbon without an error.
host::Object Connect::Ribbon_GetImage(const host::Object&) {
    try {
        return state_.env.load_picture(host::shipped_file(state_.env, button_picture_file, button_picture_path));
    } catch (const host::Failure&) {
        return {};
    }
}

void Connect::Ribbon_Click(const host::Object& control) {
    try {
        const std::u16string tag = host::IRibbonControl(control).Tag();
        if (!started_) return;  // a press that the ribbon let through before it asked again
        if (tag == toolbar_command.tag) show_wizard();
        else if (tag == about_command.tag) myBut2_Click();
        else if (tag == update_list_tag) update_list(host::Explorer(host::IRibbonControl(control).Context()));
    } catch (const host::Failure& f) {
        // The ribbon shows nothing of a failed callback: the user is told here.
        host::ReportFailure(state_.env, f);
    }
}

bool Connect::Ribbon_GetEnabled(const host::Object& control) {
    if (!started_) return false;
    const host::IRibbonControl c(control);
    if (c.Tag() != update_list_tag) return true;
    // A host that cannot say which window asks leaves the command off rather than failing.
    host::Explorer window;
    host::skip([&] { window = host::Explorer(c.Context()); });
    return update_list_available(window);
}

void Connect::invalidate_ribbon() {
    if (!ribbon_) return;  // not shown yet: the ribbon asks when it first shows
    host::skip([&] { host::IRibbonUI(ribbon_).Invalidate(); });
}

void Connect::update_list_availability_changed() {
    if (ribbon_) host::skip([&] { host::IRibbonUI(ribbon_).InvalidateControl(update_list_id); });
}

}  // namespace addin
