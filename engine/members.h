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

// CountMatches: adds the number of items in the collection to ItemTotal.
void CountMatches(RunContext& run, const host::Items& items);
// The direct subfolders a run searches, in the host's order: every one but those the host
// marks hidden (a mailbox's system folders), when `tells_hidden` says the host can tell. A
// folder whose mark cannot be read is searched.
std::vector<host::MAPIFolder> SearchedSubfolders(const host::MAPIFolder& folder, bool tells_hidden);
// CountSubfolderMatches: adds the items of each of the subfolders that carry the name; a
// subfolder whose items cannot be counted adds nothing.
void CountSubfolderMatches(RunContext& run, const std::vector<host::MAPIFolder>& subfolders,
                           std::u16string_view name);

// AddContacts: adds the addresses of every contact in the collection; other items are
// passed over.
void AddContacts(RunContext& run, const host::Items& items, MemberStore& members);
// AddSubfolderContacts: AddContacts over the items of each of the subfolders that carry the
// name. A subfolder that cannot be searched (its filter or its items fail) is recorded in the
// store's LeftOut, and the others are still searched.
void AddSubfolderContacts(RunContext& run, const std::vector<host::MAPIFolder>& subfolders, MemberStore& members,
                          std::u16string_view name);
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
