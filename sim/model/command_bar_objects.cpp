// The proxies the add-in sees of the command bars: CommandBars, CommandBar,
// CommandBarControls, CommandBarButton and CommandBarPopup, and what they write to the
// event log as controls are added and deleted.
#include <algorithm>
#include <string>

#include "host/text.h"
#include "sim/model/command_bar_parts.h"
#include "sim/model/command_bars.h"
#include "sim/model/host_errors.h"
#include "sim/model/sim_object.h"

namespace sim {

namespace {

using host::Variant;

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
        auto c = append_control(bar, type, u"");
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
    o->getter(u"Enabled", [c, live](Args&) {
        live();
        return Variant::boolean(c->enabled);
    });
    o->setter(u"Enabled", [c, live](Args& a) {
        live();
        c->enabled = put_value(a).as_bool();
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
            ClipboardFace f = face_from_clipboard(*w);
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

}  // namespace sim
