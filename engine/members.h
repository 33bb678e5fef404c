#pragma once
// The member routines of the mChoose module, which every run uses (engine/collect.h puts
// them together): counting the matches of each category and collecting the members.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/member_store.h"
#include "engine/run_context.h"
#include "host/outlook.h"
#include "host/redemption.h"

namespace engine {

// The items of one folder that carry one category, by their own Categories text. The host's
// category filter cannot be trusted either way (by the documented readings it finds "Tier1
// Partner" for "Partner", or misses every item with a second category), so every item of the
// folder is read and the item's own names decide (CarriesCategory, split at run.separator).
struct CategoryItems {
    host::Items items;  // all of the folder's
    std::u16string name;
    std::u16string separator;

    // Visits each item that carries the category, in the folder's order; each item is let go
    // before the next one is fetched, so a store's limit on open items is never met.
    void for_each(const std::function<void(const host::Object&)>& visit) const;
};
CategoryItems ItemsInCategory(const RunContext& run, const host::MAPIFolder& folder, std::u16string_view name);

// CountMatches: adds the number of items that carry the category to ItemTotal.
void CountMatches(RunContext& run, const CategoryItems& items);
// The direct subfolders a run searches, in the host's order: every one but those the host
// marks hidden (a mailbox's system folders), when `tells_hidden` says the host can tell. A
// folder whose mark cannot be read is searched.
std::vector<host::MAPIFolder> SearchedSubfolders(const host::MAPIFolder& folder, bool tells_hidden);
// CountSubfolderMatches: adds the items of each of the subfolders that carry the name; a
// subfolder whose items cannot be counted adds nothing.
void CountSubfolderMatches(RunContext& run, const std::vector<host::MAPIFolder>& subfolders,
                           std::u16string_view name);

// AddContacts: adds the addresses of every contact that carries the category; other items
// are passed over.
void AddContacts(RunContext& run, const CategoryItems& items, MemberStore& members);
// AddSubfolderContacts: AddContacts over the items of each of the subfolders that carry the
// name. A subfolder that cannot be searched (its items fail) is recorded in the store's
// LeftOut, and the others are still searched.
void AddSubfolderContacts(RunContext& run, const std::vector<host::MAPIFolder>& subfolders, MemberStore& members,
                          std::u16string_view name);
// LeaveOutCategory: records in the store's LeftOut that the category's contacts in the folder
// could not all be searched, and why; the folder by its name, or none when that cannot be read.
void LeaveOutCategory(MemberStore& members, const host::MAPIFolder& folder, std::u16string_view name,
                      const host::Failure& why);
// AddContact: moves the progress bar on, then adds the contact's addresses that are not
// present yet: the first such one, or all of them when AllEmails is True. A contact that a
// failure costs a member is recorded in the store's LeftOut.
void AddContact(RunContext& run, const host::ContactItem& contact, MemberStore& members);
// AddRecipient: adds a recipient to the scratch mail, by the text "Display Name address", and
// records the whole address it was made from, as the duplicate test and Update List compare
// it. A failing Add records nothing and fails.
void AddRecipient(MemberStore& members, std::u16string_view text, std::u16string_view address);
// RecipientExists: true when a recipient added so far has the address, the whole of it.
bool RecipientExists(const MemberStore& members, std::u16string_view address);

}  // namespace engine
