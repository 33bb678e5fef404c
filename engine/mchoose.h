#pragma once
// The quick list run and the routines both runs share: the category selection and its
// filters, the counting of matches, and the collection of members.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/member_store.h"
#include "engine/run_context.h"
#include "host/outlook.h"
#include "host/redemption.h"

namespace engine {

inline constexpr std::u16string_view no_separator = u"---";

std::u16string FindCategorySeparator(std::u16string_view text);
std::vector<std::u16string> SplitCategories(std::u16string_view text, std::u16string_view separator);
std::u16string CategoryFilter(std::u16string_view name);

void CountMatches(RunContext& run, const host::Items& items);
void CountSubfolderMatches(RunContext& run, const host::MAPIFolder& folder, std::u16string_view name);

void AddContacts(RunContext& run, const host::Items& items, MemberStore& members);
void AddSubfolderContacts(RunContext& run, const host::MAPIFolder& folder, MemberStore& members,
                          std::u16string_view name);
void AddContact(RunContext& run, const host::ContactItem& contact, MemberStore& members);
// Adds a recipient to the scratch mail and records the address its name, read back from the
// host, ends in. A failing Add or read-back records nothing.
void AddRecipient(MemberStore& members, std::u16string_view text);
bool RecipientExists(const MemberStore& members, std::u16string_view address);
std::u16string TextAfterLastSpace(std::u16string_view text);

// Moves the collected recipients into the list in one call, names the list and gives it its
// categories, saves and closes it (discarding later changes), and lets go of the list and
// its wrapper. Returns the saved list's entry ID. The name is asked for once the members are
// in: the custom run's name is the page's text as it stands then.
std::u16string FillAndSaveList(host::SafeDistList& safe_list, host::Object& list_item,
                               const host::SafeMailItem& safe_mail,
                               const std::function<std::u16string()>& subject, std::u16string_view categories);

void MakeQuickList(RunContext& run);

}  // namespace engine
