// The member routines of the mChoose module: counting the matches of each category and
// collecting the members of the new list.
#include "engine/members.h"

#include <cmath>
#include <optional>

#include "engine/addresses.h"
#include "engine/categories.h"
#include "engine/messages.h"
#include "host/checked.h"
#include "host/skip.h"

namespace engine {

using host::skip;

void CategoryItems::for_each(const std::function<void(const host::Object&)>& visit) const {
    items.object().for_each([&](const host::Variant& v) {
        const host::Object item = v.as_object();
        if (CarriesCategory(host::ItemCategories(item), name, separator)) visit(item);
    });
}

CategoryItems ItemsInCategory(const RunContext& run, const host::MAPIFolder& folder, std::u16string_view name) {
    return {folder.GetItems(), std::u16string(name), run.separator};
}

void CountMatches(RunContext& run, const CategoryItems& items) {
    items.for_each([&](const host::Object&) { run.ItemTotal = host::checked_add(run.ItemTotal, 1); });
}

std::vector<host::MAPIFolder> SearchedSubfolders(const host::MAPIFolder& folder, bool tells_hidden) {
    std::vector<host::MAPIFolder> searched;
    folder.GetFolders().object().for_each([&](const host::Variant& v) {
        host::MAPIFolder sub(v);
        // Most folders do not carry the mark at all, and reading a property a folder lacks
        // fails: such a folder, like one whose mark cannot be read, is an ordinary one.
        bool hidden = false;
        if (tells_hidden)
            skip([&] { hidden = sub.GetPropertyAccessor().GetProperty(host::pr_attr_hidden).as_bool(); });
        if (!hidden) searched.push_back(std::move(sub));
    });
    return searched;
}

void CountSubfolderMatches(RunContext& run, const std::vector<host::MAPIFolder>& subfolders,
                           std::u16string_view name) {
    // Only the bar's total: a folder that fails here is searched all the same, and told of
    // if it fails then.
    for (const auto& sub : subfolders) skip([&] { CountMatches(run, ItemsInCategory(run, sub, name)); });
}

void AddContacts(RunContext& run, const CategoryItems& items, MemberStore& members) {
    items.for_each([&](const host::Object& item) {
        if (host::ItemClass(item) == host::olContact) AddContact(run, host::ContactItem(item), members);
    });
}

void AddSubfolderContacts(RunContext& run, const std::vector<host::MAPIFolder>& subfolders, MemberStore& members,
                          std::u16string_view name) {
    // A subfolder the store will not search (a mailbox's system folder may refuse its items)
    // costs its own contacts, not the list: the user is told which folder was not searched.
    for (const auto& sub : subfolders) {
        try {
            AddContacts(run, ItemsInCategory(run, sub, name), members);
        } catch (const host::Failure& f) {
            LeaveOutCategory(members, sub, name, f);
        }
    }
}

void LeaveOutCategory(MemberStore& members, const host::MAPIFolder& folder, std::u16string_view name,
                      const host::Failure& why) {
    std::u16string folder_name;
    skip([&] { folder_name = folder.Name(); });
    members.left_out.category(std::u16string(name), folder_name, why);
}

void AddContact(RunContext& run, const host::ContactItem& contact, MemberStore& members) {
    host::SafeContactItem wrapper(run.env.create_object(host::progid_safe_contact_item));

    // From here on a failing step is dropped and the next one runs.
    skip([&] {
        float max = run.windows.progress_max();
        if (max < static_cast<float>(run.ProgressCount))
            run.ProgressCount = host::Variant(max).as_int32();
    });
    skip([&] { run.windows.set_progress_value(static_cast<float>(run.ProgressCount)); });
    skip([&] { run.ProgressCount = host::checked_add(run.ProgressCount, 1); });

    // Every step from here can cost the contact a member: the first failure is recorded
    // against the contact, and the others still run, so that the contact gets whatever can
    // still be read.
    std::optional<host::Failure> lost;
    auto costly = [&](auto&& step) {
        try {
            step();
        } catch (const host::Failure& f) {
            if (!lost) lost = f;
        }
    };
    costly([&] { wrapper.SetItem(contact.object()); });
    std::u16string email1, email2, email3, full_name;
    costly([&] { email1 = wrapper.Field(u"Email1Address"); });
    costly([&] { email2 = wrapper.Field(u"Email2Address"); });
    costly([&] { email3 = wrapper.Field(u"Email3Address"); });
    bool name_read = false;
    costly([&] {
        full_name = wrapper.Field(u"FullName");
        name_read = true;
    });
    bool added = false;
    std::u16string display_name = full_name;
    if (full_name.empty()) costly([&] { display_name = wrapper.Field(u"CompanyName"); });

    auto absent = [&](const std::u16string& address) { return !RecipientExists(members, address); };
    // How the user is told of this contact: by its name, else by why it has none.
    const auto shown_name = [&] {
        if (!display_name.empty()) return display_name;
        return std::u16string(name_read ? text::contact_without_name : text::contact_name_unreadable);
    };
    // Each address as the list takes it: an Exchange address becomes the person's e-mail
    // address where the host can look it up. A type that cannot be read is judged by the
    // address itself. The member is never lost to the look-up: a failure keeps the Exchange
    // address, and the user is told.
    bool not_looked_up = false;
    auto take = [&](std::u16string address, std::u16string_view type_field) {
        std::optional<std::u16string> type;
        host::skip([&] { type = wrapper.Field(type_field); });
        std::optional<host::Failure> failure;
        if (type ? IsExchangeAddressType(*type) : LooksLikeExchangeName(address)) {
            ExchangeDirectory::Found found = members.directory.look_up(run, address);
            address = std::move(found.address);
            failure = std::move(found.failure);
        }
        if (!absent(address)) return;
        bool stored = false;
        costly([&] {
            AddRecipient(members, display_name + u" " + address, address);
            stored = true;
        });
        added = true;
        if (stored && failure && !not_looked_up) {
            not_looked_up = true;
            members.left_out.not_looked_up(shown_name(), *failure);
        }
    };
    if (!email1.empty()) take(email1, u"Email1AddressType");
    // One address per contact unless every address is wanted: the later addresses only
    // stand in when nothing was added for this contact yet.
    auto wanted = [&] { return (!added && run.AllEmails == host::False) || run.AllEmails == host::True; };
    if (!email2.empty() && wanted()) take(email2, u"Email2AddressType");
    if (!email3.empty() && wanted()) take(email3, u"Email3AddressType");
    if (lost) members.left_out.contact(shown_name(), *lost);
}

void AddRecipient(MemberStore& members, std::u16string_view text, std::u16string_view address) {
    members.mail.Recipients().Add(text);
    members.texts.emplace_back(text);
    members.text_addresses.emplace_back(address);
    members.addresses.emplace(address);
}

bool RecipientExists(const MemberStore& members, std::u16string_view address) {
    return members.addresses.contains(std::u16string(address));
}

}  // namespace engine
