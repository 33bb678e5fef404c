// The command bars of an explorer window: the built-in bars and menus, finding controls on
// them, and clicks. The proxies the add-in sees are in command_bar_objects.cpp.
#include "sim/model/command_bars.h"

#include <optional>
#include <string>

#include "host/text.h"
#include "sim/model/command_bar_parts.h"

namespace sim {

using host::Variant;

std::shared_ptr<ControlModel> append_control(const std::shared_ptr<CommandBarModel>& bar, int32_t type,
                                             std::u16string caption) {
    auto c = std::make_shared<ControlModel>();
    c->type = type;
    c->caption = std::move(caption);
    c->parent = bar;
    if (type == control_popup) {
        c->bar = std::make_shared<CommandBarModel>();
        c->bar->type = 2;
        c->bar->owner = c;
    }
    bar->controls.push_back(c);
    return c;
}

namespace {

// ---------------------------------------------------------------- the built-in bars

struct Builder {
    CommandBarSet& set;
    int32_t next_id = 2100;

    std::shared_ptr<CommandBarModel> bar(std::u16string name, int32_t type) {
        auto b = std::make_shared<CommandBarModel>();
        b->name = std::move(name);
        b->type = type;
        set.top.push_back(b);
        set.named.push_back(b);
        return b;
    }

    void buttons(const std::shared_ptr<CommandBarModel>& bar, std::initializer_list<const char16_t*> captions) {
        for (const char16_t* caption : captions) {
            auto c = append_control(bar, control_button, caption);
            c->builtin = true;
            c->id = next_id++;
        }
    }

    // A menu of the menu bar; its bar is handed out by the menu's name.
    std::shared_ptr<CommandBarModel> menu(const std::shared_ptr<CommandBarModel>& menu_bar, const char16_t* caption,
                                          int32_t id) {
        auto c = append_control(menu_bar, control_popup, caption);
        c->builtin = true;
        c->id = id;
        c->bar->name = host::without_access_key(caption);
        set.named.push_back(c->bar);
        return c->bar;
    }
};

void add_presets(const std::shared_ptr<CommandBarModel>& bar, const std::vector<PresetControl>& presets) {
    for (const auto& p : presets) {
        auto c = append_control(bar, p.type, p.caption);
        c->tag = p.tag;
        c->style = p.style;
        c->visible = p.visible;
        if (c->bar) add_presets(c->bar, p.controls);
    }
}

bool matches(const ControlModel& c, const Criteria& k) {
    return (!k.type || c.type == *k.type) && (!k.id || c.id == *k.id) && (!k.tag || c.tag == *k.tag) &&
           (!k.visible_only || c.visible);
}

}  // namespace

// ---------------------------------------------------------------- lookups

bool given(const Args& a, size_t i) { return has_arg(a, i) && !a[i].is_empty(); }

// FindControl(Type, Id, Tag, Visible, Recursive): each criterion left out matches anything.
Criteria criteria(const Args& a) {
    Criteria c;
    if (given(a, 0)) c.type = a[0].as_int32();
    if (given(a, 1)) c.id = a[1].as_int32();
    if (given(a, 2)) c.tag = a[2].as_text();
    c.visible_only = given(a, 3) && a[3].as_bool();
    c.recursive = given(a, 4) && a[4].as_bool();
    return c;
}

// The first match in a bar, depth first through its popups when recursive.
std::shared_ptr<ControlModel> find_in(const CommandBarModel& bar, const Criteria& k) {
    for (const auto& c : bar.controls) {
        if (matches(*c, k)) return c;
        if (k.recursive && c->bar)
            if (auto found = find_in(*c->bar, k)) return found;
    }
    return nullptr;
}

std::shared_ptr<ControlModel> find_everywhere(const CommandBarSet& set, Criteria k) {
    k.recursive = true;
    for (const auto& bar : set.top)
        if (auto found = find_in(*bar, k)) return found;
    return nullptr;
}

std::u16string CommandBarModel::display_name() const {
    if (!name.empty()) return name;
    auto popup = owner.lock();
    return popup ? host::without_access_key(popup->caption) : std::u16string();
}

std::shared_ptr<CommandBarSet> make_command_bar_set(const Profile& profile) {
    auto set = std::make_shared<CommandBarSet>();
    Builder b{*set};
    auto menu_bar = b.bar(u"Menu Bar", 1);
    auto standard = b.bar(u"Standard", 0);
    auto advanced = b.bar(u"Advanced", 0);

    b.buttons(b.menu(menu_bar, u"&File", 30002),
              {u"&New", u"&Open", u"Save &As...", u"Save Attac&hments", u"&Folder", u"Page Set&up", u"&Print...",
               u"E&xit"});
    b.buttons(b.menu(menu_bar, u"&Edit", 30003),
              {u"&Undo", u"Cu&t", u"&Copy", u"&Paste", u"&Delete", u"Mo&ve to Folder...", u"Select A&ll"});
    b.buttons(b.menu(menu_bar, u"&View", 30004),
              {u"Current &View", u"&Navigation Pane", u"Reading Pa&ne", u"&Toolbars", u"&Refresh"});
    b.buttons(b.menu(menu_bar, u"&Go", 30409), {u"&Mail", u"&Calendar", u"C&ontacts", u"&Tasks", u"Fo&lder List"});
    b.buttons(b.menu(menu_bar, u"&Tools", 30007),
              {u"Send/Re&ceive", u"&Find", u"Address &Book...", u"Rules and Alerts...", u"&Forms", u"&Macro",
               u"&Customize...", u"&Options..."});
    b.buttons(b.menu(menu_bar, u"&Actions", actions_menu_id),
              {u"New &Contact", u"New &Distribution List", u"New &Message to Contact", u"New &Letter to Contact",
               u"New Meeting Re&quest to Contact", u"New &Appointment with Contact", u"New &Task for Contact",
               u"New &Journal Entry for Contact", u"Lin&k", u"Call Contact", u"Follow &Up", u"For&ward as vCard"});
    b.buttons(b.menu(menu_bar, u"&Help", 30010),
              {u"Outlook &Help", u"Contact &Us", u"Check for &Updates", u"&About Outlook"});

    b.buttons(standard, {u"&New", u"&Print", u"Mo&ve to Folder", u"&Delete", u"Send/Re&ceive", u"Address &Book",
                         u"Find a Contact", u"&Help"});
    b.buttons(advanced, {u"Outlook Toda&y", u"&Back", u"&Forward", u"&Up One Level", u"Folder &List",
                         u"Reading Pa&ne", u"Print Pre&view", u"&Undo"});

    for (const auto& preset : profile.command_bars) {
        auto bar = bar_named(*set, preset.bar);
        if (!bar) throw ScenarioError("the profile places controls on \"" + utf8(preset.bar) + "\", which is no command bar");
        add_presets(bar, preset.controls);
    }
    return set;
}

std::shared_ptr<CommandBarSet> command_bars_of(const World& world, ExplorerWindow& window) {
    if (!window.command_bars) window.command_bars = make_command_bar_set(world.profile);
    return window.command_bars;
}

std::shared_ptr<CommandBarModel> bar_named(const CommandBarSet& set, std::u16string_view name) {
    for (const auto& bar : set.named)
        if (host::equal_ignoring_case(bar->display_name(), name)) return bar;
    return nullptr;
}

std::shared_ptr<ControlModel> control_tagged(const CommandBarSet& set, std::u16string_view tag, int32_t type) {
    Criteria k;
    k.tag = std::u16string(tag);
    if (type != 0) k.type = type;
    return find_everywhere(set, k);
}

int32_t control_index(const ControlModel& control) {
    auto parent = control.parent.lock();
    if (!parent) return 0;
    for (size_t i = 0; i < parent->controls.size(); ++i)
        if (parent->controls[i].get() == &control) return static_cast<int32_t>(i + 1);
    return 0;
}

// ---------------------------------------------------------------- clicks

bool click_command_bar_button(const std::shared_ptr<World>& world, std::u16string_view tag) {
    if (!world->explorers.active) return false;
    auto set = command_bars_of(*world, *world->explorers.active);
    Criteria k;
    k.type = control_button;
    k.tag = std::u16string(tag);
    k.visible_only = true;
    auto button = find_everywhere(*set, k);
    if (!button) return false;
    if (!button->enabled) return true;  // greyed out: the click reaches no one
    // The host passes the clicked control and the cancel-default flag.
    auto source = button->events;
    std::vector<Variant> args{Variant(make_control(world, button)), Variant::boolean(false)};
    source->fire(u"Click", args);
    return true;
}

}  // namespace sim
