// What the mail host offers about one item beyond its fields: a list's members one by one, the
// item's user properties, and the explorer's selection with its SelectionChange event.
#include <algorithm>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/host_errors.h"
#include "sim/model/objects.h"
#include "sim/model/sim_object.h"

namespace sim {

namespace {

using host::Variant;

// One member of a list, as GetMember hands it out: the text it was added with.
struct MemberRef : Entity {
    std::shared_ptr<Item> list;
    std::u16string text;
};

// A member's text is the display name, a space and the address; the host shows them apart, as
// the profile's "memberAddress" reads it.
host::Object make_member(const WorldPtr& w, std::shared_ptr<MemberRef> ref) {
    auto [obj, o] = make_object(w, u"Recipient", ref);
    o->getter(u"Name", [w, ref](Args&) { return Variant(member_name_of(w->profile, ref->text)); });
    o->getter(u"Address", [w, ref](Args&) { return Variant(member_address_of(w->profile, ref->text)); });
    return obj;
}

struct UserPropertyRef : Entity {
    std::shared_ptr<Item> item;
    std::u16string name;
};

std::shared_ptr<UserPropertyRef> user_property(std::shared_ptr<Item> item, std::u16string name) {
    auto ref = std::make_shared<UserPropertyRef>();
    ref->item = std::move(item);
    ref->name = std::move(name);
    return ref;
}

host::Object make_user_property(const WorldPtr& w, std::shared_ptr<UserPropertyRef> ref) {
    auto [obj, o] = make_object(w, u"UserProperty", ref);
    o->getter(u"Name", [ref](Args&) { return Variant(ref->name); });
    o->getter(u"Value", [ref](Args&) {
        auto& props = ref->item->current.user_properties;
        auto it = props.find(ref->name);
        return Variant(it == props.end() ? std::u16string() : it->second);
    });
    o->setter(u"Value", [ref](Args& a) { ref->item->current.user_properties[ref->name] = put_value(a).as_text(); });
    return obj;
}

host::Object make_user_properties(const WorldPtr& w, std::shared_ptr<Item> item) {
    auto [obj, o] = make_object(w, u"UserProperties", item);
    o->getter(u"Count", [item](Args&) { return Variant(static_cast<int32_t>(item->current.user_properties.size())); });
    o->method(u"Find", [w, item](Args& a) {
        const std::u16string name = arg(a, 0).as_text();
        auto it = item->current.user_properties.find(name);
        if (it == item->current.user_properties.end()) return nothing();
        return Variant(make_user_property(w, user_property(item, it->first)));
    });
    // Add(Name, Type, AddToFolderFields, DisplayFormat): only text properties (olText, 1).
    o->method(u"Add", [w, item](Args& a) {
        const std::u16string name = arg(a, 0).as_text();
        if (name.empty()) fail(invalid_argument, u"The property name is not valid.", u"UserProperties");
        if (arg(a, 1).as_int32() != 1)
            fail(invalid_argument, u"The substitute host keeps text user properties only.", u"UserProperties");
        item->current.user_properties.try_emplace(name);
        return Variant(make_user_property(w, user_property(item, name)));
    });
    return obj;
}

}  // namespace

void add_item_details(SimObject& o, const WorldPtr& w, const std::shared_ptr<Item>& item) {
    o.getter(u"UserProperties", [w, item](Args&) { return Variant(make_user_properties(w, item)); });
    if (item->current.cls != host::olDistributionList) return;
    o.method(u"GetMember", [w, item](Args& a) {
        const auto& members = item->current.members;
        const int32_t i = arg(a, 0).as_int32();
        if (i < 1 || static_cast<size_t>(i) > members.size())
            fail(bad_index, u"Array index out of bounds.", u"DistListItem");
        auto ref = std::make_shared<MemberRef>();
        ref->list = item;
        ref->text = members[i - 1];
        return Variant(make_member(w, ref));
    });
    o.method(u"RemoveMember", [item](Args& a) {
        auto ref = entity_of<MemberRef>(arg(a, 0).as_object());
        if (!ref) host::raise(host::errors::type_mismatch);
        auto& members = item->current.members;
        auto it = std::find(members.begin(), members.end(), ref->text);
        if (it == members.end()) fail(not_found, u"The member is not in the list.", u"DistListItem");
        members.erase(it);
        return Variant();
    });
}

host::Object make_selection(const WorldPtr& w, std::shared_ptr<ExplorerWindow> window) {
    auto [obj, o] = make_object(w, u"Selection", window);
    o->getter(u"Count", [window](Args&) { return Variant(static_cast<int32_t>(window->selection.size())); });
    o->method(u"Item", [w, window](Args& a) {
        const auto& l = window->selection;
        const int32_t i = arg(a, 0).as_int32();
        if (i < 1 || static_cast<size_t>(i) > l.size()) fail(bad_index, u"Array index out of bounds.", u"Selection");
        return Variant(make_item(w, l[i - 1]));
    });
    o->enumeration([w, window] {
        std::vector<std::function<Variant()>> out;
        for (const auto& item : window->selection) out.push_back([w, item] { return Variant(make_item(w, item)); });
        return out;
    });
    return obj;
}

void select_items(World& w, ExplorerWindow& window, std::vector<std::shared_ptr<Item>> items) {
    window.selection = std::move(items);
    Json selected = Json::array();
    for (const auto& item : window.selection) {
        Json e = {{"class", item->current.cls}, {"entryId", utf8(item->entry_id)}};
        if (item->current.cls == host::olDistributionList) {
            Json members = Json::array();
            for (const auto& m : item->current.members) members.push_back(utf8(m));
            e["subject"] = utf8(item->current.field(u"Subject"));
            e["categories"] = utf8(item->current.categories);
            e["members"] = std::move(members);
        } else {
            e["name"] = utf8(item->current.field(item->current.cls == host::olContact ? u"FullName" : u"Subject"));
        }
        selected.push_back(std::move(e));
    }
    w.record({{"event", "select"}, {"items", std::move(selected)}});
    std::vector<Variant> args;
    window.events->fire(u"SelectionChange", args);
}

}  // namespace sim
