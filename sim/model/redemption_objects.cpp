// Objects made by ProgID: the safe-item library's three wrappers (mail item with its
// recipients, distribution list, contact) and the web browser.
#include "host/outlook.h"
#include "host/redemption.h"
#include "host/text.h"
#include "sim/model/host_errors.h"
#include "sim/model/objects.h"
#include "sim/model/sim_object.h"
#include "sim/model/store_limits.h"

namespace sim {

namespace {

using host::Variant;


// A wrapper's hold on the mail host item it works on.
struct Wrapped : Entity {
    host::Object item;
};

struct RecipientList : Entity {
    std::shared_ptr<Item> item;
};

struct RecipientRef : Entity {
    std::shared_ptr<Item> item;
    size_t index = 0;
};

struct Browser : Entity {
    bool visible = false;
};

// The item a wrapper works on; a wrapper without one fails as the library does.
std::shared_ptr<Item> wrapped_item(const Wrapped& w, std::u16string_view type) {
    auto item = entity_of<Item>(w.item);
    if (!item)
        throw host::Failure(-2147467259, u"The Item property of the " + std::u16string(type) + u" has not been set.",
                            std::u16string(type));
    return item;
}

// Item (set, get): the wrapper takes any item of the mail host.
void item_property(SimObject& o, const std::shared_ptr<Wrapped>& state) {
    o.setter(u"Item", [state](Args& a) {
        host::Object item = put_value(a).as_object();
        if (!entity_of<Item>(item)) host::raise(host::errors::type_mismatch);
        state->item = std::move(item);
    });
    o.getter(u"Item", [state](Args&) { return Variant(state->item); });
}

host::Object make_recipient(const WorldPtr& w, std::shared_ptr<Item> item, size_t index) {
    auto ref = std::make_shared<RecipientRef>();
    ref->item = std::move(item);
    ref->index = index;
    auto [obj, o] = make_object(w, u"SafeRecipient", ref);
    o->getter(u"Name", [ref](Args&) {
        const auto& r = ref->item->current.recipients;
        return Variant(ref->index < r.size() ? r[ref->index] : std::u16string());
    });
    return obj;
}

host::Object make_recipients(const WorldPtr& w, std::shared_ptr<Item> item) {
    auto list = std::make_shared<RecipientList>();
    list->item = item;
    auto [obj, o] = make_object(w, u"SafeRecipients", list);
    o->getter(u"Count", [item](Args&) { return Variant(static_cast<int32_t>(item->current.recipients.size())); });
    o->method(u"Item", [w, item](Args& a) {
        int32_t i = arg(a, 0).as_int32();
        if (i < 1 || static_cast<size_t>(i) > item->current.recipients.size())
            fail(bad_index, u"Array index out of bounds.", u"SafeRecipients");
        return Variant(make_recipient(w, item, static_cast<size_t>(i - 1)));
    });
    // The new entry's Name is the text as given; resolving it is left to the list.
    o->method(u"Add", [w, item](Args& a) {
        item->current.recipients.push_back(arg(a, 0).as_text());
        return Variant(make_recipient(w, item, item->current.recipients.size() - 1));
    });
    o->enumeration([w, item] {
        std::vector<std::function<Variant()>> out;
        for (size_t i = 0; i < item->current.recipients.size(); ++i)
            out.push_back([w, item, i] { return Variant(make_recipient(w, item, i)); });
        return out;
    });
    return obj;
}

host::Object make_safe_mail_item(const WorldPtr& w) {
    auto state = std::make_shared<Wrapped>();
    auto [obj, o] = make_object(w, u"SafeMailItem", state);
    item_property(*o, state);
    o->getter(u"Recipients", [w, state](Args&) {
        return Variant(make_recipients(w, wrapped_item(*state, u"SafeMailItem")));
    });
    return obj;
}

// A list takes members while their entries fit the store's limit: in truncate mode the first
// ones that fit, in fail mode all of them or none.
void add_within_limit(const World& w, std::vector<std::u16string>& members, std::vector<std::u16string> added) {
    const int64_t limit = w.profile.list_limit();
    size_t fit = added.size();
    if (limit > 0) {
        int64_t used = 0;
        for (const auto& m : members) used += member_entry_bytes(m);
        for (fit = 0; fit < added.size(); ++fit) {
            const int64_t bytes = member_entry_bytes(added[fit]);
            if (used + bytes > limit) break;
            used += bytes;
        }
        if (fit < added.size() && w.profile.list_full_fails)
            host::raise(list_full, std::u16string(list_full_text));
    }
    members.insert(members.end(), std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.begin() + static_cast<std::ptrdiff_t>(fit)));
}

host::Object make_safe_dist_list(const WorldPtr& w) {
    auto state = std::make_shared<Wrapped>();
    auto [obj, o] = make_object(w, u"SafeDistList", state);
    item_property(*o, state);
    o->method(u"AddMembers", [w, state](Args& a) {
        auto list = wrapped_item(*state, u"SafeDistList");
        auto recipients = entity_of<RecipientList>(arg(a, 0).as_object());
        if (!recipients) host::raise(host::errors::type_mismatch);
        // Copy first: the recipients may be the list's own.
        auto texts = recipients->item->current.recipients;
        add_within_limit(*w, list->current.members, std::move(texts));
        return Variant();
    });
    for (std::u16string name : {u"Subject", u"Categories"}) {
        bool categories = name == u"Categories";
        o->setter(name, [state, name, categories](Args& a) {
            auto item = wrapped_item(*state, u"SafeDistList");
            auto value = put_value(a).as_text();
            if (categories)
                item->current.categories = value;
            else
                item->current.fields[name] = value;
        });
        o->getter(name, [state, name, categories](Args&) {
            auto item = wrapped_item(*state, u"SafeDistList");
            return Variant(categories ? item->current.categories : item->current.field(name));
        });
    }
    return obj;
}

host::Object make_safe_contact_item(const WorldPtr& w) {
    auto state = std::make_shared<Wrapped>();
    auto [obj, o] = make_object(w, u"SafeContactItem", state);
    item_property(*o, state);
    for (auto f : contact_fields) {
        std::u16string name(f);
        o->getter(name, [state, name](Args&) {
            return Variant(wrapped_item(*state, u"SafeContactItem")->current.field(name));
        });
    }
    for (size_t e = 0; e < std::size(contact_address_types); ++e)
        o->getter(std::u16string(contact_address_types[e]), [state, e](Args&) {
            return Variant(contact_address_type(wrapped_item(*state, u"SafeContactItem")->current, e));
        });
    return obj;
}

host::Object make_browser(const WorldPtr& w) {
    auto state = std::make_shared<Browser>();
    auto [obj, o] = make_object(w, u"InternetExplorer", state);
    o->method(u"Navigate", [w](Args& a) {
        w->record({{"event", "navigate"}, {"url", utf8(arg(a, 0).as_text())}});
        return Variant();
    });
    o->getter(u"Visible", [state](Args&) { return Variant::boolean(state->visible); });
    o->setter(u"Visible", [state](Args& a) { state->visible = put_value(a).as_bool(); });
    o->method(u"Quit", [](Args&) { return Variant(); });
    return obj;
}

}  // namespace

host::Object create_by_progid(const WorldPtr& w, std::u16string_view progid) {
    auto is = [&](std::u16string_view name) { return host::equal_ignoring_case(progid, name); };
    if (is(host::progid_safe_mail_item)) return make_safe_mail_item(w);
    if (is(host::progid_safe_dist_list)) return make_safe_dist_list(w);
    if (is(host::progid_safe_contact_item)) return make_safe_contact_item(w);
    if (is(u"InternetExplorer.Application")) return make_browser(w);
    if (is(u"Outlook.Application")) {
        // Made from outside the host: not the Application the host trusts.
        host::Object app = make_application(w);
        sim_object(app)->distrust();
        return app;
    }
    return {};
}

}  // namespace sim
