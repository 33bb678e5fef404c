#pragma once
// The command bars of the substitute host, one set per explorer window: the menu bar with
// its menus, the "Standard" and "Advanced" toolbars, and the menus' own bars, which the
// collection also hands out by name ("Help", "Actions", ...). The built-in popup with
// control id 30037 is the "Actions" menu.
//
// The add-in sees them through CommandBars, CommandBar, CommandBarControls,
// CommandBarButton and CommandBarPopup proxies, made fresh for every object it gets; the
// bars and controls themselves live here, in the window. A control that is deleted stays
// dead: every proxy of it fails from then on.
//
// What the event log gets:
// - control {action "add"}: when a control that came through Controls.Add first gets a
//   non-empty Tag (the add-in's controls are complete then: caption and style are set
//   before the tag), with its values at that moment. A control that is added but never
//   tagged is not reported.
// - control {action "delete"}: when a control is deleted, with its values and the index it
//   had.
// - clipboard {formats}: at every PasteFace, the names of the formats the clipboard held
//   when the button read its face ("CF_DIB" and the like for standard formats).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/dispatch.h"
#include "sim/model/model.h"
#include "sim/model/objects.h"
#include "sim/model/world.h"

namespace sim {

struct CommandBarModel;

struct ControlModel : Entity {
    int32_t type = 1;  // 1 button, 10 popup
    int32_t id = 1;    // 1 for controls made by programs
    std::u16string caption;
    std::u16string tag;
    int32_t style = 0;  // buttons: 0 automatic, 1 icon, 2 caption, 3 icon and caption, ...
    bool visible = true;
    bool enabled = true;  // a click on a button that is not does nothing
    bool builtin = false;
    bool temporary = false;
    bool deleted = false;
    bool added = false;     // came through Controls.Add
    bool reported = false;  // its "add" event is in the log
    std::weak_ptr<CommandBarModel> parent;
    std::shared_ptr<CommandBarModel> bar;  // popups: the bar that holds the popup's controls
    // What PasteFace took from the clipboard.
    std::vector<uint8_t> face;
    std::vector<uint8_t> mask;
    // Click subscribers, shared by every proxy of the control.
    std::shared_ptr<EventSource> events = std::make_shared<EventSource>();
};

struct CommandBarModel : Entity {
    std::u16string name;  // empty for a popup's bar: it is named after the popup's caption
    int32_t type = 0;     // 0 toolbar, 1 menu bar, 2 popup
    bool visible = true;
    std::weak_ptr<ControlModel> owner;  // the popup whose bar this is
    std::vector<std::shared_ptr<ControlModel>> controls;

    std::u16string display_name() const;
};

struct CommandBarSet : Entity {
    std::vector<std::shared_ptr<CommandBarModel>> top;    // the bars on their own, in order
    std::vector<std::shared_ptr<CommandBarModel>> named;  // what CommandBars.Item hands out
};

// Control types and the id of the menu the add-in's menu button goes into.
inline constexpr int32_t control_button = 1;
inline constexpr int32_t control_popup = 10;
inline constexpr int32_t actions_menu_id = 30037;

// A window's bars as a fresh window has them, with the profile's preset controls.
std::shared_ptr<CommandBarSet> make_command_bar_set(const Profile& profile);
// The window's bars, built on first use.
std::shared_ptr<CommandBarSet> command_bars_of(const World& world, ExplorerWindow& window);

// The proxies.
host::Object make_command_bars(const WorldPtr& w, std::shared_ptr<CommandBarSet> set);
host::Object make_command_bar(const WorldPtr& w, std::shared_ptr<CommandBarModel> bar);
host::Object make_control(const WorldPtr& w, std::shared_ptr<ControlModel> control);

// Lookups over the model, without passing the choke point (for the host's own use and for
// tests). A bar by its name (ignoring case, as the collection's Item compares it); the first control
// of a type (0: any) and tag in all bars, depth first through the popups.
std::shared_ptr<CommandBarModel> bar_named(const CommandBarSet& set, std::u16string_view name);
std::shared_ptr<ControlModel> control_tagged(const CommandBarSet& set, std::u16string_view tag, int32_t type = 0);
// 1-based position of a control in its bar; 0 when it is in none.
int32_t control_index(const ControlModel& control);

// Clicks the visible button of that tag in the last open window's bars, as the user would:
// false when there is none; a greyed-out button takes the click and nothing follows.
bool click_command_bar_button(const std::shared_ptr<World>& world, std::u16string_view tag);

}  // namespace sim
