#include "sim/model/ribbon.h"

#include <set>

#include "host/failure.h"
#include "host/text.h"
#include "sim/model/host_errors.h"
#include "sim/model/objects.h"
#include "sim/model/sim_object.h"
#include "sim/model/xml_reader.h"

namespace sim {

namespace {

using host::Variant;

constexpr std::u16string_view ribbon_namespace = u"http://schemas.microsoft.com/office/2009/07/customui";

[[noreturn]] void refuse(const std::string& what) {
    throw ScenarioError("the add-in's ribbon XML is refused: " + what);
}

// The ids of the whole document, which must not repeat.
void collect_ids(const XmlElement& e, std::set<std::u16string>& ids) {
    for (const char16_t* key : {u"id", u"idQ"})
        if (e.has(key) && !ids.insert(e.attribute(key)).second)
            refuse("the id \"" + utf8(e.attribute(key)) + "\" is used twice");
    for (const auto& c : e.children) collect_ids(c, ids);
}

const XmlElement* child(const XmlElement& e, std::u16string_view name) {
    for (const auto& c : e.children)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

Ribbon::Ribbon(std::shared_ptr<World> world, std::u16string_view xml) : world_(std::move(world)) {
    XmlElement root;
    try {
        root = read_xml(xml);
    } catch (const XmlError& e) {
        refuse(std::string("not well-formed XML: ") + e.what());
    }
    if (root.name != u"customUI") refuse("the root element is " + utf8(root.name) + ", not customUI");
    if (root.attribute(u"xmlns") != ribbon_namespace)
        refuse("the namespace is \"" + utf8(root.attribute(u"xmlns")) + "\", not " + utf8(ribbon_namespace));
    std::set<std::u16string> ids;
    collect_ids(root, ids);
    on_load_ = root.attribute(u"onLoad");

    const XmlElement* ribbon = child(root, u"ribbon");
    const XmlElement* tabs = ribbon ? child(*ribbon, u"tabs") : nullptr;
    if (!tabs) return;
    for (const auto& tab : tabs->children) {
        std::u16string tab_id = tab.has(u"idMso") ? tab.attribute(u"idMso") : tab.attribute(u"id");
        if (tab.name != u"tab" || tab_id.empty()) refuse("a tab needs an idMso or an id");
        for (const auto& group : tab.children) {
            if (group.name != u"group" || !group.has(u"id")) refuse("a group needs an id");
            for (const auto& b : group.children) {
                if (b.name != u"button") continue;  // the substitute host plays buttons only
                if (!b.has(u"id") || !b.has(u"label")) refuse("a button needs an id and a label");
                buttons_.push_back({tab_id, group.attribute(u"label"), b.attribute(u"id"), b.attribute(u"label"),
                                    b.has(u"size") ? b.attribute(u"size") : u"normal", b.attribute(u"tag"),
                                    b.attribute(u"onAction"), b.attribute(u"getImage"), b.attribute(u"getEnabled")});
            }
        }
    }
}

host::Variant Ribbon::call(const RibbonInvoker& invoke, std::u16string_view name, std::vector<Variant>& args) {
    try {
        return invoke(name, args);
    } catch (const host::Failure& f) {
        world_->record({{"event", "result"}, {"call", utf8(name)}, {"number", f.number()},
                        {"description", utf8(f.description())}});
        return Variant();
    }
}

host::Object Ribbon::control(const RibbonButton& button, const std::shared_ptr<ExplorerWindow>& window) const {
    auto [obj, o] = make_object(world_, u"IRibbonControl");
    o->getter(u"Id", [id = button.id](Args&) { return Variant(id); });
    o->getter(u"Tag", [tag = button.tag](Args&) { return Variant(tag); });
    // The explorer window whose ribbon holds the control.
    o->getter(u"Context", [w = world_, window](Args&) {
        return window ? Variant(make_explorer(w, window)) : Variant(host::Object());
    });
    return obj;
}

std::shared_ptr<ExplorerWindow> Ribbon::window_or_active(std::shared_ptr<ExplorerWindow> window) const {
    return window ? window : world_->explorers.active;
}

void Ribbon::show(const RibbonInvoker& invoke) {
    if (shown_) return;
    shown_ = true;
    enabled_ = std::make_shared<EnabledState>();
    if (!on_load_.empty()) {
        auto [ui, o] = make_object(world_, u"IRibbonUI");
        o->method(u"Invalidate", [state = enabled_](Args&) {
            for (auto& [window, known] : *state)
                for (auto& e : known) e.reset();
            return Variant();
        });
        o->method(u"InvalidateControl", [state = enabled_, buttons = buttons_](Args& a) {
            const std::u16string id = arg(a, 0).as_text();
            bool found = false;
            for (size_t i = 0; i < buttons.size(); ++i)
                if (buttons[i].id == id) {
                    for (auto& [window, known] : *state) known[i].reset();
                    found = true;
                }
            if (!found) fail(invalid_argument, u"No control has the id " + id + u".", u"IRibbonUI");
            return Variant();
        });
        std::vector<Variant> args{Variant(ui)};
        call(invoke, on_load_, args);
    }
    Json controls = Json::array();
    for (const auto& b : buttons_) {
        bool image = false;
        if (!b.get_image.empty()) {
            std::vector<Variant> args{Variant(control(b, world_->explorers.active))};
            Variant picture = call(invoke, b.get_image, args);
            image = picture.is_object() && static_cast<bool>(picture.as_object());
        }
        Json c = {{"tab", utf8(b.tab)}, {"group", utf8(b.group)}, {"id", utf8(b.id)},
                  {"label", utf8(b.label)},       {"size", utf8(b.size)},   {"image", image}};
        if (!enabled(b, invoke)) c["enabled"] = false;
        controls.push_back(std::move(c));
    }
    world_->record({{"event", "ribbon"}, {"action", "load"}, {"ribbonId", utf8(explorer_ribbon)},
                    {"controls", std::move(controls)}});
}

const RibbonButton* Ribbon::find(std::u16string_view label, std::u16string_view tab) const {
    for (const auto& b : buttons_)
        if (b.label == label && (tab.empty() || b.tab == tab)) return &b;
    return nullptr;
}

bool Ribbon::enabled(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window) {
    if (button.get_enabled.empty() || !enabled_) return true;
    window = window_or_active(std::move(window));
    auto& in_window = (*enabled_)[window];
    in_window.resize(buttons_.size());
    std::optional<bool>& known = in_window[static_cast<size_t>(&button - buttons_.data())];
    if (!known) {
        std::vector<Variant> args{Variant(control(button, window))};
        const Variant v = call(invoke, button.get_enabled, args);
        // A callback that fails or answers nothing leaves the button as the XML has it: enabled.
        known = v.type() == Variant::Type::Empty ? true : v.as_bool();
    }
    return *known;
}

void Ribbon::press(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window) {
    window = window_or_active(std::move(window));
    Json event = {{"event", "ribbon"}, {"action", "press"}, {"id", utf8(button.id)}, {"label", utf8(button.label)}};
    const bool on = enabled(button, invoke, window);
    if (!on) event["enabled"] = false;
    world_->record(std::move(event));
    if (on) act(button, invoke, window);
}

void Ribbon::act(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window) {
    window = window_or_active(std::move(window));
    if (button.on_action.empty() || !enabled(button, invoke, window)) return;
    std::vector<Variant> args{Variant(control(button, window))};
    call(invoke, button.on_action, args);
}

}  // namespace sim
