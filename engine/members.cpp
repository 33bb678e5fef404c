// The member routines of the mChoose module: counting the matches of each category and
// collecting the members of the new list.
#include "engine/members.h"

#include <cmath>
#include <optional>

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

void CountSubfolderMatches(RunContext& run, const host::MAPIFolder& folder,
                           std::u16string_view name) {
    folder.GetFolders().object().for_each([&](const host::Variant& v) {
        host::MAPIFolder sub(v);
        CountMatches(run, ItemsInCategory(run, sub, name));
    });
}

void AddContacts(RunContext& run, const CategoryItems& items, MemberStore& members) {
    items.for_each([&](const host::Object& item) {
        if (host::ItemClass(item) == host::olContact) AddContact(run, host::ContactItem(item), members);
    });
}

void AddSubfolderContacts(RunContext& run, const host::MAPIFolder& folder, MemberStore& members,
                          std::u16string_view name) {
    folder.GetFolders().object().for_each([&](const host::Variant& v) {
        host::MAPIFolder sub(v);
        AddContacts(run, ItemsInCategory(run, sub, name), members);
    });
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
    auto add = [&](const std::u16string& address) {
        costly([&] { AddRecipient(members, display_name + u" " + address); });
        added = true;
    };
    if (!email1.empty() && absent(email1)) add(email1);
    // One address per contact unless every address is wanted: the later addresses only
    // stand in when nothing was added for this contact yet.
    auto wanted = [&] { return (!added && run.AllEmails == host::False) || run.AllEmails == host::True; };
    if (!email2.empty() && absent(email2) && wanted()) add(email2);
    if (!email3.empty() && absent(email3) && wanted()) add(email3);
    if (lost) {
        const std::u16string_view stand_in = name_read ? text::contact_without_name : text::contact_name_unreadable;
        members.left_out.contact(display_name.empty() ? std::u16string(stand_in) : display_name, *lost);
    }
}

void AddRecipient(MemberStore& members, std::u16string_view text) {
    host::SafeRecipient added = members.mail.Recipients().Add(text);
    members.texts.emplace_back(text);
    // The recipient is in; a name that cannot be read back leaves the text's own address as
    // the one the duplicate test knows, rather than none.
    std::u16string name(text);
    host::skip([&] { name = added.Name(); });
    members.addresses.insert(TextAfterLastSpace(name));
}

bool RecipientExists(const MemberStore& members, std::u16string_view address) {
    return members.addresses.contains(std::u16string(address));
}

std::u16string TextAfterLastSpace(std::u16string_view text) {
    size_t at = text.rfind(u' ');
    return std::u16string(at == std::u16string_view::npos ? text : text.substr(at + 1));
}

}  // namespace engine
