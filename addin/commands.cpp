// The add-in's three command buttons and its about submenu: built (or found again and
// re-bound) at every start-up, removed when the host disconnects the add-in.
#include "addin/commands.h"

#include "addin/connect.h"
#include "host/office.h"

namespace addin {

using host::CommandBar;
using host::CommandBarButton;
using host::CommandBarControls;
using host::CommandBarPopup;
using host::FindCriteria;

namespace {

// Adds a temporary button, binds it to its member, and gives it caption, style, tag and the
// face from the clipboard, in that order.
void add_button(Connect& c, void (Connect::*bind)(host::Object), const CommandBarControls& controls,
                const host::Variant& before, const Command& command) {
    CommandBarButton button(controls.Add(host::msoControlButton, before, true));
    (c.*bind)(button.object());
    button.SetCaption(command.caption);
    button.SetStyle(command.style);
    button.SetTag(command.tag);
    button.PasteFace();
}

// The held button is gone from the bars when someone else deleted it.
bool still_there(const host::CommandBars& bars, const Command& command) {
    return static_cast<bool>(
        bars.FindControl(FindCriteria{.type = host::msoControlButton, .tag = command.tag}));
}

}  // namespace

void Connect::ContactsList1() { build_commands(state_.application().ActiveExplorer()); }

void Connect::build_commands(const host::Explorer& explorer) {
    host::CommandBars bars(explorer.GetCommandBars());
    CommandBarPopup menu(bars.FindControl(FindCriteria{.id = menu_popup_id}));
    CommandBar standard = bars.Item(u"Standard");
    CommandBarControls menu_controls = menu.GetCommandBar().Controls();
    CommandBarControls standard_controls = standard.Controls();

    host::Object picture = state_.env.load_picture(host::shipped_file(state_.env, button_picture_file, button_picture_path));
    state_.env.copy_button_face(picture, button_mask_colour);

    CommandBar help = bars.Item(u"Help");
    CommandBarPopup about(help.FindControl(FindCriteria{.tag = about_menu_tag}));
    if (!about) {
        about = CommandBarPopup(help.Controls().Add(host::msoControlPopup, host::Missing{}, true));
        about.SetCaption(about_menu_tag);
        about.SetTag(about_menu_tag);
    }

    CommandBar about_bar = about.GetCommandBar();
    set_myBut2(about_bar.FindControl(FindCriteria{.type = host::msoControlButton, .tag = about_command.tag}));
    if (!myBut2()) add_button(*this, &Connect::set_myBut2, about_bar.Controls(), host::Missing{}, about_command);

    set_myBut1(menu.GetCommandBar().FindControl(FindCriteria{.type = host::msoControlButton, .tag = menu_command.tag}));
    if (!myBut1()) add_button(*this, &Connect::set_myBut1, menu_controls, int32_t{8}, menu_command);

    set_myBut3(standard.FindControl(FindCriteria{.type = host::msoControlButton, .tag = toolbar_command.tag}));
    if (!myBut3()) add_button(*this, &Connect::set_myBut3, standard_controls, int32_t{2}, toolbar_command);
}

void Connect::remove_commands(const host::Explorer& explorer) {
    host::CommandBars bars(explorer.GetCommandBars());
    CommandBarPopup about(bars.Item(u"Help").FindControl(
        FindCriteria{.tag = about_menu_tag, .visible = host::Variant::boolean(true)}));

    // A button that was never built, or that someone else deleted, is passed over so the
    // others still go; any other failure ends the removal.
    auto remove = [&](const host::Object& button, const Command& command) {
        if (!button) return;
        try {
            host::CommandBarControl(button).Delete();
        } catch (const host::Failure&) {
            if (still_there(bars, command)) throw;
        }
    };
    remove(myBut1(), menu_command);
    remove(myBut2(), about_command);
    remove(myBut3(), toolbar_command);

    if (about && about.Controls().Count() == 0) about.Delete();
}

}  // namespace addin
