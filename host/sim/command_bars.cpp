// The command bars of an explorer window: the built-in bars and menus, the add-in's
// controls on them, button faces from the clipboard and clicks.
#include "host/sim/command_bars.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "host/sim/sim_host.h"
#include "host/sim/host_errors.h"
#include "host/sim/json_checks.h"
#include "host/sim/sim_object.h"
#include "host/text.h"
#include "host/win32_api.h"

namespace sim {

namespace {

using host::Variant;

std::u16string without_access_key(std::u16string_view caption) {
    std::u16string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

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

    static std::shared_ptr<ControlModel> append(const std::shared_ptr<CommandBarModel>& bar, int32_t type,
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

    void buttons(const std::shared_ptr<CommandBarModel>& bar, std::initializer_list<const char16_t*> captions) {
        for (const char16_t* caption : captions) {
            auto c = append(bar, control_button, caption);
            c->builtin = true;
            c->id = next_id++;
        }
    }

    // A menu of the menu bar; its bar is handed out by the menu's name.
    std::shared_ptr<CommandBarModel> menu(const std::shared_ptr<CommandBarModel>& menu_bar, const char16_t* caption,
                                          int32_t id) {
        auto c = append(menu_bar, control_popup, caption);
        c->builtin = true;
        c->id = id;
        c->bar->name = without_access_key(caption);
        set.named.push_back(c->bar);
        return c->bar;
    }
};

void add_presets(const std::shared_ptr<CommandBarModel>& bar, const std::vector<PresetControl>& presets) {
    for (const auto& p : presets) {
        auto c = Builder::append(bar, p.type, p.caption);
        c->tag = p.tag;
        c->style = p.style;
        c->visible = p.visible;
        if (c->bar) add_presets(c->bar, p.controls);
    }
}

// ---------------------------------------------------------------- lookups

struct Criteria {
    std::optional<int32_t> type, id;
    std::optional<std::u16string> tag;
    bool visible_only = false;
    bool recursive = false;
};

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

bool matches(const ControlModel& c, const Criteria& k) {
    return (!k.type || c.type == *k.type) && (!k.id || c.id == *k.id) && (!k.tag || c.tag == *k.tag) &&
           (!k.visible_only || c.visible);
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

// ---------------------------------------------------------------- the event log

Json control_event(const char* action, const ControlModel& c, int32_t index) {
    auto parent = c.parent.lock();
    return {{"event", "control"},
            {"action", action},
            {"bar", parent ? utf8(parent->display_name()) : ""},
            {"tag", utf8(c.tag)},
            {"caption", utf8(c.caption)},
            {"type", c.type},
            {"style", c.type == control_button ? Json(c.style) : Json(nullptr)},
            {"index", index}};
}

void mark_deleted(ControlModel& c) {
    c.deleted = true;
    if (c.bar)
        for (const auto& child : c.bar->controls) mark_deleted(*child);
}

void delete_control(World& w, const std::shared_ptr<ControlModel>& c) {
    w.record(control_event("delete", *c, control_index(*c)));
    if (auto parent = c->parent.lock()) std::erase(parent->controls, c);
    mark_deleted(*c);
}

// A popup's bar goes with its popup.
bool bar_gone(const CommandBarModel& bar) {
    if (bar.type != 2) return false;
    auto owner = bar.owner.lock();
    return !owner || owner->deleted;
}

void require_bar(const CommandBarModel& bar, std::u16string_view source) {
    if (bar_gone(bar)) fail(failed, u"The command bar has been deleted.", source);
}

// ---------------------------------------------------------------- the clipboard

std::string format_name(UINT format) {
    switch (format) {
    case 1: return "CF_TEXT";
    case 2: return "CF_BITMAP";
    case 3: return "CF_METAFILEPICT";
    case 7: return "CF_OEMTEXT";
    case 8: return "CF_DIB";
    case 9: return "CF_PALETTE";
    case 13: return "CF_UNICODETEXT";
    case 14: return "CF_ENHMETAFILE";
    case 16: return "CF_LOCALE";
    case 17: return "CF_DIBV5";
    default: break;
    }
    char name[256] = {};
    if (::GetClipboardFormatNameA(format, name, static_cast<int>(sizeof name)) > 0) return name;
    return "#" + std::to_string(format);
}

// The bytes the clipboard holds under a format; the clipboard must be open.
std::optional<std::vector<uint8_t>> clipboard_block(UINT format) {
    if (format == 0) return std::nullopt;
    HANDLE h = ::GetClipboardData(format);
    if (!h) return std::nullopt;
    host::win32::GlobalLocked locked(h);
    if (!locked) return std::nullopt;
    const auto* p = static_cast<const uint8_t*>(locked.get());
    return std::vector<uint8_t>(p, p + ::GlobalSize(h));
}

struct Face {
    std::vector<uint8_t> face, mask;
    Json formats = Json::array();
};

// What a button takes from the clipboard: the face, and the mask when there is one. Without
// a face the paste fails, as the host's does.
Face face_from_clipboard() {
    constexpr std::u16string_view source = u"CommandBarButton";
    host::win32::OpenedClipboard clipboard;
    if (!clipboard) fail(failed, u"The clipboard cannot be opened.", source);
    Face out;
    for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) out.formats.push_back(format_name(f));
    auto face = clipboard_block(::RegisterClipboardFormatA("Toolbar Button Face"));
    if (!face || face->size() < sizeof(BITMAPINFOHEADER))
        fail(failed, u"Method 'PasteFace' of object 'CommandBarButton' failed: the clipboard holds no button face.",
             source);
    out.face = std::move(*face);
    if (auto mask = clipboard_block(::RegisterClipboardFormatA("Toolbar Button Mask"))) out.mask = std::move(*mask);
    return out;
}

// ---------------------------------------------------------------- proxies

host::Object make_controls(const WorldPtr& w, std::shared_ptr<CommandBarModel> bar) {
    auto [obj, o] = make_object(w, u"CommandBarControls", bar);
    static constexpr std::u16string_view source = u"CommandBarControls";
    o->getter(u"Count", [bar](Args&) {
        require_bar(*bar, source);
        return Variant(static_cast<int32_t>(bar->controls.size()));
    });
    // Item(index from 1, or caption).
    o->method(u"Item", [w, bar](Args& a) {
        require_bar(*bar, source);
        const Variant& which = arg(a, 0);
        if (which.type() == Variant::Type::Text) {
            for (const auto& c : bar->controls)
                if (c->caption == which.as_text()) return Variant(make_control(w, c));
            fail(invalid_argument, u"There is no control " + which.as_text() + u".", source);
        }
        int32_t i = which.as_int32();
        if (i < 1 || static_cast<size_t>(i) > bar->controls.size()) fail(bad_index, u"Array index out of bounds.", source);
        return Variant(make_control(w, bar->controls[static_cast<size_t>(i - 1)]));
    });
    // Add(Type, Id, Parameter, Before, Temporary): Before puts the control in front of the one
    // at that position; left out, the control goes at the end.
    o->method(u"Add", [w, bar](Args& a) {
        require_bar(*bar, source);
        int32_t type = given(a, 0) ? a[0].as_int32() : control_button;
        if (type != control_button && type != control_popup)
            fail(invalid_argument, u"Controls of type " + host::decimal(type) + u" cannot be added here.", source);
        size_t at = bar->controls.size();
        if (given(a, 3)) {
            int32_t before = a[3].as_int32();
            if (before < 1 || static_cast<size_t>(before) > bar->controls.size() + 1)
                fail(invalid_argument, u"Invalid procedure call or argument (Before " + host::decimal(before) + u")",
                     source);
            at = static_cast<size_t>(before - 1);
        }
        auto c = Builder::append(bar, type, u"");
        bar->controls.pop_back();
        bar->controls.insert(bar->controls.begin() + static_cast<ptrdiff_t>(at), c);
        if (given(a, 1) && a[1].as_int32() != 0) c->id = a[1].as_int32();
        c->temporary = given(a, 4) && a[4].as_bool();
        c->added = true;
        return Variant(make_control(w, c));
    });
    o->enumeration([w, bar] {
        require_bar(*bar, source);
        std::vector<std::function<Variant()>> out;
        for (const auto& c : bar->controls) out.push_back([w, c] { return Variant(make_control(w, c)); });
        return out;
    });
    return obj;
}

}  // namespace

std::u16string CommandBarModel::display_name() const {
    if (!name.empty()) return name;
    auto popup = owner.lock();
    return popup ? without_access_key(popup->caption) : std::u16string();
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

host::Object make_command_bars(const WorldPtr& w, std::shared_ptr<CommandBarSet> set) {
    auto [obj, o] = make_object(w, u"CommandBars", set);
    o->getter(u"Count", [set](Args&) { return Variant(static_cast<int32_t>(set->named.size())); });
    // Item(index from 1, or name): an unknown name is an invalid argument, as the host has it.
    o->method(u"Item", [w, set](Args& a) {
        const Variant& which = arg(a, 0);
        if (which.type() == Variant::Type::Text) {
            auto bar = bar_named(*set, which.as_text());
            if (!bar) fail(invalid_argument, u"There is no command bar " + which.as_text() + u".", u"CommandBars");
            return Variant(make_command_bar(w, bar));
        }
        int32_t i = which.as_int32();
        if (i < 1 || static_cast<size_t>(i) > set->named.size())
            fail(bad_index, u"Array index out of bounds.", u"CommandBars");
        return Variant(make_command_bar(w, set->named[static_cast<size_t>(i - 1)]));
    });
    // FindControl(Type, Id, Tag, Visible): every bar, through every popup.
    o->method(u"FindControl", [w, set](Args& a) {
        auto found = find_everywhere(*set, criteria(a));
        return found ? Variant(make_control(w, found)) : nothing();
    });
    o->getter(u"ActiveMenuBar", [w, set](Args&) { return Variant(make_command_bar(w, set->top.front())); });
    o->enumeration([w, set] {
        std::vector<std::function<Variant()>> out;
        for (const auto& bar : set->named) out.push_back([w, bar] { return Variant(make_command_bar(w, bar)); });
        return out;
    });
    return obj;
}

host::Object make_command_bar(const WorldPtr& w, std::shared_ptr<CommandBarModel> bar) {
    auto [obj, o] = make_object(w, u"CommandBar", bar);
    static constexpr std::u16string_view source = u"CommandBar";
    o->getter(u"Name", [bar](Args&) {
        require_bar(*bar, source);
        return Variant(bar->display_name());
    });
    o->getter(u"NameLocal", [bar](Args&) {
        require_bar(*bar, source);
        return Variant(bar->display_name());
    });
    o->getter(u"Type", [bar](Args&) {
        require_bar(*bar, source);
        return Variant(bar->type);
    });
    o->getter(u"Visible", [bar](Args&) {
        require_bar(*bar, source);
        return Variant::boolean(bar->visible);
    });
    o->setter(u"Visible", [bar](Args& a) {
        require_bar(*bar, source);
        bar->visible = put_value(a).as_bool();
    });
    o->getter(u"Controls", [w, bar](Args&) {
        require_bar(*bar, source);
        return Variant(make_controls(w, bar));
    });
    // FindControl(Type, Id, Tag, Visible, Recursive): this bar's own controls, and those of
    // its popups only when Recursive is true.
    o->method(u"FindControl", [w, bar](Args& a) {
        require_bar(*bar, source);
        auto found = find_in(*bar, criteria(a));
        return found ? Variant(make_control(w, found)) : nothing();
    });
    return obj;
}

host::Object make_control(const WorldPtr& w, std::shared_ptr<ControlModel> c) {
    const bool button = c->type == control_button;
    const std::u16string type = button ? u"CommandBarButton" : u"CommandBarPopup";
    auto [obj, proxy] = make_object(w, type, c);
    SimObject* o = proxy;
    // Every member of a deleted control fails.
    auto live = [c, type] {
        if (c->deleted) fail(failed, u"The control has been deleted.", type);
    };
    auto text = [o, c, live](std::u16string name, std::u16string ControlModel::*field) {
        o->getter(name, [c, live, field](Args&) {
            live();
            return Variant((*c).*field);
        });
    };
    text(u"Caption", &ControlModel::caption);
    text(u"Tag", &ControlModel::tag);
    o->setter(u"Caption", [c, live](Args& a) {
        live();
        c->caption = put_value(a).as_text();
    });
    o->setter(u"Tag", [w, c, live](Args& a) {
        live();
        c->tag = put_value(a).as_text();
        if (c->added && !c->reported && !c->tag.empty()) {
            c->reported = true;
            w->record(control_event("add", *c, control_index(*c)));
        }
    });
    o->getter(u"Type", [c, live](Args&) {
        live();
        return Variant(c->type);
    });
    o->getter(u"Id", [c, live](Args&) {
        live();
        return Variant(c->id);
    });
    o->getter(u"Index", [c, live](Args&) {
        live();
        return Variant(control_index(*c));
    });
    o->getter(u"BuiltIn", [c, live](Args&) {
        live();
        return Variant::boolean(c->builtin);
    });
    o->getter(u"Visible", [c, live](Args&) {
        live();
        return Variant::boolean(c->visible);
    });
    o->setter(u"Visible", [c, live](Args& a) {
        live();
        c->visible = put_value(a).as_bool();
    });
    o->getter(u"Parent", [w, c, live](Args&) {
        live();
        auto parent = c->parent.lock();
        return parent ? Variant(make_command_bar(w, parent)) : nothing();
    });
    o->method(u"Delete", [w, c, live](Args&) {
        live();
        delete_control(*w, c);
        return Variant();
    });
    if (button) {
        o->getter(u"Style", [c, live](Args&) {
            live();
            return Variant(c->style);
        });
        o->setter(u"Style", [c, live](Args& a) {
            live();
            int32_t style = put_value(a).as_int32();
            constexpr int32_t styles[] = {0, 1, 2, 3, 7, 11, 14, 15};
            if (std::find(std::begin(styles), std::end(styles), style) == std::end(styles))
                fail(invalid_argument, u"Invalid procedure call or argument (Style " + host::decimal(style) + u")",
                     u"CommandBarButton");
            c->style = style;
        });
        o->method(u"PasteFace", [w, c, live](Args&) {
            live();
            Face f = face_from_clipboard();
            c->face = std::move(f.face);
            c->mask = std::move(f.mask);
            w->record({{"event", "clipboard"}, {"formats", std::move(f.formats)}});
            return Variant();
        });
        o->events(c->events, {u"Click"});
    } else {
        o->getter(u"CommandBar", [w, c, live](Args&) {
            live();
            return Variant(make_command_bar(w, c->bar));
        });
        o->getter(u"Controls", [w, c, live](Args&) {
            live();
            return Variant(make_controls(w, c->bar));
        });
    }
    return obj;
}

// ---------------------------------------------------------------- the profile field

namespace {

[[noreturn]] void bad(const std::string& where, const std::string& what) { throw ScenarioError(where + ": " + what); }

PresetControl preset_from_json(const Json& j, const std::string& where) {
    if (!j.is_object()) bad(where, "a control must be an object");
    only_fields(j, {"type", "caption", "tag", "style", "visible", "controls"}, where);
    PresetControl p;
    for (const auto& [key, value] : j.items()) {
        if (key == "type") {
            if (!value.is_number_integer() || (value.get<int64_t>() != control_button && value.get<int64_t>() != control_popup))
                bad(where, "\"type\" must be 1 (button) or 10 (popup)");
            p.type = value.get<int32_t>();
        } else if (key == "caption" || key == "tag") {
            if (!value.is_string()) bad(where, "\"" + key + "\" must be text");
            (key == "caption" ? p.caption : p.tag) = host::from_utf8(value.get<std::string>());
        } else if (key == "style") {
            if (!value.is_number_integer() || value.get<double>() < std::numeric_limits<int32_t>::min() ||
                value.get<double>() > std::numeric_limits<int32_t>::max())
                bad(where, "\"style\" must be a whole number within the 32-bit range");
            p.style = value.get<int32_t>();
        } else if (key == "visible") {
            if (!value.is_boolean()) bad(where, "\"visible\" must be true or false");
            p.visible = value.get<bool>();
        }
    }
    if (j.contains("controls")) {
        if (p.type != control_popup) bad(where, "only a popup (type 10) holds \"controls\"");
        if (!j["controls"].is_array()) bad(where, "\"controls\" must be a list");
        for (size_t i = 0; i < j["controls"].size(); ++i)
            p.controls.push_back(preset_from_json(j["controls"][i], element_place(field_place(where, "controls"), i)));
    }
    return p;
}

}  // namespace

std::vector<PresetBar> command_bar_presets_from_json(const Json& j) {
    const std::string where = "profile.commandBars";
    if (!j.is_object()) bad(where, "must be an object of command bar names");
    auto fresh = make_command_bar_set(Profile{});
    std::vector<PresetBar> out;
    for (const auto& [name, controls] : j.items()) {
        std::string here = field_place(where, name);
        PresetBar bar;
        bar.bar = host::from_utf8(name);
        if (!bar_named(*fresh, bar.bar)) bad(here, "there is no command bar of that name");
        if (!controls.is_array()) bad(here, "must be a list of controls");
        for (size_t i = 0; i < controls.size(); ++i)
            bar.controls.push_back(preset_from_json(controls[i], element_place(here, i)));
        out.push_back(std::move(bar));
    }
    return out;
}

// ---------------------------------------------------------------- clicks

bool SimHost::click_button(std::u16string_view tag) {
    if (world_->explorers.open.empty()) return false;
    auto set = command_bars_of(*world_, *world_->explorers.open.back());
    Criteria k;
    k.type = control_button;
    k.tag = std::u16string(tag);
    k.visible_only = true;
    auto button = find_everywhere(*set, k);
    if (!button) return false;
    // The host passes the clicked control and the cancel-default flag.
    auto source = button->events;
    std::vector<Variant> args{Variant(make_control(world_, button)), Variant::boolean(false)};
    source->fire(u"Click", args);
    return true;
}

}  // namespace sim
