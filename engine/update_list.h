#pragma once
// Bringing a list up to date: the members it would have if it were made again today, from the
// same folders and with the same e-mail choice, put into the same list item once the user has
// seen what changes.
#include <string>
#include <vector>

#include "engine/run_context.h"
#include "host/outlook.h"

namespace engine {

// Updates the list. It asks where the members come from when the list does not say, shows how
// many members would be added, removed and kept, and changes nothing unless the user says Yes.
// A failure once the list has begun to change leaves it as it was, and the failure that goes
// to the caller says so.
void UpdateList(RunContext& run, const host::DistListItem& list);

// The list's members, and how many of them stay in an update that collected members of these
// whole addresses (each address counts as many times as it is given).
struct MemberCounts {
    size_t members = 0, staying = 0;
};
MemberCounts MembersThatStay(const host::DistListItem& list, const std::vector<std::u16string>& addresses);

// The selection is exactly one distribution list: the one an update would work on.
host::DistListItem SelectedList(const host::Explorer& explorer);

}  // namespace engine
