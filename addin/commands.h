#pragma once
// What the add-in places in the explorer window: three buttons and the about submenu,
// identified by their tags.
#include <cstdint>
#include <string_view>

namespace addin {

struct Command {
    std::u16string_view caption;
    std::u16string_view tag;
    int32_t style;
};

// myBut2's, in the about submenu of the Help menu.
inline constexpr Command about_command{u"About Quillamor", u"About Quillamor", 3};
// myBut1's, on the Actions menu.
inline constexpr Command menu_command{u"Quillamor", u"Quillamor", 3};
// myBut3's, on the Standard toolbar.
inline constexpr Command toolbar_command{u"Quillamor Wizard", u"QuillamorWiz", 1};
// The ribbon's Update List button (ribbon hosts only): its tag and its id in the ribbon XML.
inline constexpr std::u16string_view update_list_tag = u"QuillamorUpdateList";
inline constexpr std::u16string_view update_list_id = u"QuillamorUpdateListContacts";
// The about submenu's caption and tag.
inline constexpr std::u16string_view about_menu_tag = u"Orvane About";
// The built-in popup the menu button goes into: the Actions menu.
inline constexpr int32_t menu_popup_id = 30037;

// The button picture is shipped beside the DLL; the fixed path is where setups always put it,
// and is looked at only when the DLL's own folder has no such file.
inline constexpr std::u16string_view button_picture_file = u"contactsicon.gif";
inline constexpr std::u16string_view button_picture_path =
    u"C:\\Program Files\\Orvane Corporation\\Quillamor\\contactsicon.gif";
// The caption-text system colour: transparent on the button faces.
inline constexpr uint32_t button_mask_colour = 0x80000009;

}  // namespace addin
