// The mail host's objects over the in-memory profile: application, namespace, folders,
// item collections with their filter, items with the store, and the explorer windows.
#include <algorithm>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/command_bars.h"
#include "sim/model/host_errors.h"
#include "sim/model/interactive.h"
#include "sim/model/objects.h"
#include "sim/model/restrict.h"
#include "sim/model/sim_object.h"
#include "sim/model/store_limits.h"

namespace sim {

namespace {

using host::Variant;

// A 1-based index into a list, or Failure.
size_t index_of(const Args& args, size_t size, std::u16string_view source) {
    int32_t i = arg(args, 0).as_int32();
    if (i < 1 || static_cast<size_t>(i) > size) fail(bad_index, u"Array index out of bounds.", source);
    return static_cast<size_t>(i - 1);
}

// What a collection of items shows: a whole folder (live) or the result of a filter.
struct ItemsView : Entity {
    std::shared_ptr<Folder> folder;
    std::optional<std::vector<std::shared_ptr<Item>>> restricted;
    const std::vector<std::shared_ptr<Item>>& list() const { return restricted ? *restricted : folder->items; }
};

std::u16string item_type_name(int32_t cls) {
    switch (cls) {
    case host::olContact: return u"ContactItem";
    case host::olDistributionList: return u"DistListItem";
    case host::olMail: return u"MailItem";
    default: return u"Item";
    }
}

void record_saved(World& w, const Item& item) {
    Json members = Json::array();
    for (const auto& m : item.current.members) members.push_back(utf8(m));
    w.record({{"event", "saved"},
              {"entryId", utf8(item.entry_id)},
              {"subject", utf8(item.current.field(u"Subject"))},
              {"categories", utf8(item.current.categories)},
              {"members", std::move(members)}});
}

// Saving stores what the item holds now. A new item goes where the real host puts a new item
// made by CreateItem: the default Contacts folder.
void save(World& w, const std::shared_ptr<Item>& item) {
    if (!item->filed) {
        if (auto contacts = w.profile.contacts()) contacts->items.push_back(item);
        item->filed = true;
    }
    item->stored = item->current;
    w.register_item(item);
    record_saved(w, *item);
}

void text_property(SimObject& o, std::u16string name, std::shared_ptr<Item> item) {
    o.getter(name, [item, name](Args&) { return Variant(item->current.field(name)); });
    o.setter(name, [item, name](Args& a) { item->current.fields[name] = put_value(a).as_text(); });
}

}  // namespace

std::shared_ptr<Item> new_item(int32_t item_type) {
    auto item = std::make_shared<Item>();
    switch (item_type) {
    case host::olMailItem: item->current.cls = host::olMail; break;
    case host::olContactItem: item->current.cls = host::olContact; break;
    case host::olDistributionListItem: item->current.cls = host::olDistributionList; break;
    default: return nullptr;
    }
    return item;
}

host::Object make_application(const WorldPtr& w) {
    auto [obj, o] = make_object(w, u"Application");
    o->method(u"GetNamespace", [w](Args& a) {
        if (!host::equal_ignoring_case(arg(a, 0).as_text(), u"MAPI"))
            fail(invalid_argument, u"The namespace type " + arg(a, 0).as_text() + u" is not supported.", u"Application");
        return Variant(make_namespace(w));
    });
    o->getter(u"Session", [w](Args&) { return Variant(make_namespace(w)); });
    o->method(u"CreateItem", [w](Args& a) {
        auto item = new_item(arg(a, 0).as_int32());
        if (!item) fail(invalid_argument, u"Could not create an item of type " + arg(a, 0).as_text() + u".", u"Application");
        return Variant(make_item(w, item));
    });
    o->method(u"ActiveExplorer", [w](Args&) {
        if (!w->explorers.active) return nothing();
        return Variant(make_explorer(w, w->explorers.active));
    });
    o->getter(u"Explorers", [w](Args&) { return Variant(make_explorers(w)); });
    o->getter(u"Version", [w](Args&) { return Variant(w->profile.version); });
    return obj;
}

host::Object make_namespace(const WorldPtr& w) {
    auto [obj, o] = make_object(w, u"NameSpace");
    o->method(u"GetDefaultFolder", [w](Args& a) {
        int32_t n = arg(a, 0).as_int32();
        auto it = w->profile.defaults.find(n);
        if (it == w->profile.defaults.end())
            fail(not_found, u"The profile has no default folder " + host::decimal(n) + u".", u"NameSpace");
        return Variant(make_folder(w, it->second));
    });
    o->method(u"PickFolder", [w](Args&) {
        std::shared_ptr<Folder> folder;
        Answer answer{AnswerKind::PickFolder, std::nullopt};
        if (w->interactive) {
            folder = w->interactive->pick_folder(w->profile.folders);
            if (folder) answer.value = w->profile.path_of(*folder);
        } else {
            answer = w->take_answer(AnswerKind::PickFolder);
        }
        if (answer.value && !folder) {
            folder = w->profile.find(*answer.value);
            if (!folder)
                throw ScenarioError("the folder picker's answer \"" + utf8(*answer.value) +
                                    "\" is not a folder of the profile");
        }
        w->record({{"event", "dialog"},
                   {"kind", "pickFolder"},
                   {"answer", answer.value ? Json(utf8(*answer.value)) : Json(nullptr)}});
        return folder ? Variant(make_folder(w, folder)) : nothing();
    });
    o->method(u"GetItemFromID", [w](Args& a) {
        auto item = w->stored_item(arg(a, 0).as_text());
        if (!item)
            fail(not_found, u"The attempted operation failed. An object could not be found.", u"NameSpace");
        return Variant(make_item(w, item));
    });
    o->method(u"GetFolderFromID", [w](Args& a) {
        std::shared_ptr<Folder> folder;
        if (auto path = folder_path_of_id(arg(a, 0).as_text())) folder = w->profile.find(*path);
        const bool other_store = has_arg(a, 1) && !arg(a, 1).is_missing() && arg(a, 1).as_text() != store_id;
        if (!folder || other_store)
            fail(not_found, u"The attempted operation failed. An object could not be found.", u"NameSpace");
        return Variant(make_folder(w, folder));
    });
    o->getter(u"Folders", [w](Args&) { return Variant(make_folders(w, nullptr)); });
    o->method(u"CreateRecipient", [w](Args& a) { return Variant(make_address_book_recipient(w, arg(a, 0).as_text())); });
    return obj;
}

host::Object make_folder(const WorldPtr& w, std::shared_ptr<Folder> folder) {
    auto [obj, o] = make_object(w, u"MAPIFolder", folder);
    o->getter(u"Name", [folder](Args&) { return Variant(folder->name); });
    o->getter(u"DefaultItemType", [folder](Args&) { return Variant(folder->item_type); });
    o->getter(u"EntryID", [w, folder](Args&) { return Variant(folder_entry_id(w->profile.path_of(*folder))); });
    o->getter(u"StoreID", [](Args&) { return Variant(std::u16string(store_id)); });
    o->getter(u"Folders", [w, folder](Args&) { return Variant(make_folders(w, folder)); });
    o->getter(u"Items", [w, folder](Args&) { return Variant(make_items(w, folder)); });
    if (host::MajorVersion(w->profile.version) >= host::first_property_accessor_version)
        o->getter(u"PropertyAccessor", [w, folder](Args&) { return Variant(make_property_accessor(w, folder)); });
    return obj;
}

// A folder's MAPI properties by their schema names. Of them the model holds PR_ATTR_HIDDEN;
// a property the folder does not have fails, as the host's GetProperty does.
host::Object make_property_accessor(const WorldPtr& w, std::shared_ptr<Folder> folder) {
    auto [obj, o] = make_object(w, u"PropertyAccessor", folder);
    o->method(u"GetProperty", [folder](Args& a) {
        const std::u16string name = arg(a, 0).as_text();
        if (host::equal_ignoring_case(name, host::pr_attr_hidden) && folder->hidden)
            return Variant::boolean(*folder->hidden);
        fail(not_found, u"The property \"" + name + u"\" is unknown or cannot be found.", u"PropertyAccessor");
    });
    return obj;
}

host::Object make_folders(const WorldPtr& w, std::shared_ptr<Folder> parent) {
    auto [obj, o] = make_object(w, u"Folders", parent);
    auto list = [w, parent]() -> const std::vector<std::shared_ptr<Folder>>& {
        return parent ? parent->folders : w->profile.folders;
    };
    o->getter(u"Count", [list](Args&) { return Variant(static_cast<int32_t>(list().size())); });
    o->method(u"Item", [w, list](Args& a) {
        const auto& l = list();
        if (arg(a, 0).type() == Variant::Type::Text) {
            for (const auto& f : l)
                if (f->name == arg(a, 0).as_text()) return Variant(make_folder(w, f));
            fail(not_found, u"The folder " + arg(a, 0).as_text() + u" does not exist.", u"Folders");
        }
        return Variant(make_folder(w, l[index_of(a, l.size(), u"Folders")]));
    });
    o->enumeration([w, list] {
        std::vector<std::function<Variant()>> out;
        for (const auto& f : list()) out.push_back([w, f] { return Variant(make_folder(w, f)); });
        return out;
    });
    return obj;
}

namespace {

host::Object make_items_view(const WorldPtr& w, std::shared_ptr<ItemsView> view) {
    auto [obj, o] = make_object(w, u"Items", view);
    o->getter(u"Count", [view](Args&) { return Variant(static_cast<int32_t>(view->list().size())); });
    o->method(u"Item", [w, view](Args& a) {
        const auto& l = view->list();
        return Variant(make_item(w, l[index_of(a, l.size(), u"Items")]));
    });
    o->enumeration([w, view] {
        // A folder whose store will not give its contents (a mailbox's system folder may).
        if (view->folder->items_fail) fail(view->folder->items_fail, u"The operation failed.", u"Items");
        std::vector<std::function<Variant()>> out;
        for (const auto& item : view->list()) out.push_back([w, item] { return Variant(make_item(w, item)); });
        return out;
    });
    // The matching items of this collection, in its order, as they are when Restrict runs.
    o->method(u"Restrict", [w, view](Args& a) {
        // A folder whose store refuses the filter (a mailbox's system folder may).
        if (view->folder->restrict_fails) fail(view->folder->restrict_fails, u"The operation failed.", u"Items");
        std::u16string value = parse_category_filter(arg(a, 0).as_text());
        auto result = std::make_shared<ItemsView>();
        result->folder = view->folder;
        result->restricted.emplace();
        const Profile& profile = w->profile;
        for (const auto& item : view->list())
            if (categories_match(item->current.categories, value, profile.category_reading(), profile.list_separator))
                result->restricted->push_back(item);
        return Variant(make_items_view(w, result));
    });
    return obj;
}

}  // namespace

host::Object make_items(const WorldPtr& w, std::shared_ptr<Folder> folder) {
    auto view = std::make_shared<ItemsView>();
    view->folder = std::move(folder);
    return make_items_view(w, view);
}

host::Object make_item(const WorldPtr& w, std::shared_ptr<Item> item) {
    // A store that limits a session's open items refuses one more past the limit.
    if (w->profile.open_item_limit > 0 && w->open_items() >= w->profile.open_item_limit)
        host::raise(too_many_open_items, std::u16string(too_many_open_items_text));
    auto [obj, o] = make_object(w, item_type_name(item->current.cls), item);
    o->getter(u"Class", [item](Args&) { return Variant(item->current.cls); });
    o->getter(u"EntryID", [item](Args&) { return Variant(item->entry_id); });
    text_property(*o, u"Subject", item);
    if (item->current.cls == host::olContact) {
        for (auto f : contact_fields) text_property(*o, std::u16string(f), item);
        for (size_t e = 0; e < std::size(contact_address_types); ++e)
            o->getter(std::u16string(contact_address_types[e]),
                      [item, e](Args&) { return Variant(contact_address_type(item->current, e)); });
    }
    for (const auto& [name, value] : item->current.fields) text_property(*o, name, item);
    o->getter(u"Categories", [item](Args&) { return Variant(item->current.categories); });
    o->setter(u"Categories", [item](Args& a) { item->current.categories = put_value(a).as_text(); });
    o->method(u"ShowCategoriesDialog", [w, item](Args&) {
        Answer answer = w->interactive
                            ? Answer{AnswerKind::Categories, w->interactive->categories(categories_in_use(w->profile),
                                                                                      w->profile.list_separator)}
                            : w->take_answer(AnswerKind::Categories);
        w->record({{"event", "dialog"},
                   {"kind", "categories"},
                   {"answer", answer.value ? Json(utf8(*answer.value)) : Json(nullptr)}});
        if (answer.value) item->current.categories = *answer.value;
        return Variant();
    });
    o->method(u"Save", [w, item](Args&) {
        save(*w, item);
        return Variant();
    });
    o->method(u"Close", [w, item](Args& a) {
        switch (arg(a, 0).as_int32()) {
        case 0: save(*w, item); break;  // olSave
        case host::olDiscard:
            if (item->stored) item->current = *item->stored;
            break;
        case 2: throw ScenarioError("an item was closed with a save prompt, which no answer can close");
        default: fail(5, u"Invalid procedure call or argument", item_type_name(item->current.cls));
        }
        return Variant();
    });
    o->method(u"Display", [w, item](Args&) {
        w->record({{"event", "display"}, {"entryId", utf8(item->entry_id)}});
        return Variant();
    });
    add_item_details(*o, w, item);
    if (item->current.cls == host::olDistributionList)
        o->getter(u"MemberCount", [item](Args&) { return Variant(static_cast<int32_t>(item->current.members.size())); });
    return obj;
}

void open_explorer(const WorldPtr& w) {
    auto window = std::make_shared<ExplorerWindow>();
    w->explorers.open.push_back(window);
    // The event comes before the window appears: the window that was active stays so (or
    // none is) until every handler has returned.
    std::vector<host::Variant> args{host::Variant(make_explorer(w, window))};
    auto source = w->explorers.events;  // alive for the firing even if a handler drops the last proxy
    source->fire(u"NewExplorer", args);
    if (std::find(w->explorers.open.begin(), w->explorers.open.end(), window) != w->explorers.open.end())
        w->explorers.active = window;
}

void close_explorer(World& w, const std::shared_ptr<ExplorerWindow>& window) {
    auto& open = w.explorers.open;
    if (std::find(open.begin(), open.end(), window) == open.end()) return;
    // Close fires while the window is still there, as the host's Explorer.Close does.
    std::vector<host::Variant> none;
    auto source = window->events;
    source->fire(u"Close", none);
    std::erase(open, window);
    if (w.explorers.active == window) w.explorers.active = open.empty() ? nullptr : open.back();
}

host::Object make_explorers(const WorldPtr& w) {
    auto [obj, o] = make_object(w, u"Explorers");
    o->getter(u"Count", [w](Args&) { return Variant(static_cast<int32_t>(w->explorers.open.size())); });
    o->method(u"Item", [w](Args& a) {
        const auto& l = w->explorers.open;
        return Variant(make_explorer(w, l[index_of(a, l.size(), u"Explorers")]));
    });
    o->enumeration([w] {
        std::vector<std::function<Variant()>> out;
        for (const auto& e : w->explorers.open) out.push_back([w, e] { return Variant(make_explorer(w, e)); });
        return out;
    });
    // Every proxy of the collection shares one list of NewExplorer subscribers.
    o->events(w->explorers.events, {u"NewExplorer"});
    return obj;
}

host::Object make_explorer(const WorldPtr& w, std::shared_ptr<ExplorerWindow> window) {
    auto [obj, o] = make_object(w, u"Explorer", window);
    o->getter(u"CommandBars", [w, window](Args&) { return Variant(make_command_bars(w, command_bars_of(*w, *window))); });
    o->getter(u"CurrentFolder", [w](Args&) {
        auto contacts = w->profile.contacts();
        return contacts ? Variant(make_folder(w, contacts)) : nothing();
    });
    o->method(u"Close", [w, window](Args&) {
        close_explorer(*w, window);
        return Variant();
    });
    o->getter(u"Selection", [w, window](Args&) { return Variant(make_selection(w, window)); });
    // Every proxy of the window shares its SelectionChange and Close subscribers.
    o->events(window->events, {u"SelectionChange", u"Close"});
    return obj;
}

}  // namespace sim
