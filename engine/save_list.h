#pragma once
// Saving what a run collected. A list of a store before 2010 holds only so many members; a
// store that takes fewer than were collected gets them as several lists instead, so that no
// member is dropped in silence.
#include <functional>
#include <string>
#include <string_view>

#include "engine/list_source.h"
#include "engine/member_store.h"
#include "engine/run_context.h"
#include "host/redemption.h"

namespace engine {

// Moves the collected recipients into the list in one call, names the list and gives it its
// categories and its source, saves and closes it (discarding later changes), and lets go of the list and its
// wrapper. Returns the saved list's entry ID. The name is asked for once the members are in:
// the custom run's name is the page's text as it stands then.
//
// When the list takes fewer members than were collected (or refuses them), the members are
// saved instead as lists "NAME (1 of K)" ... "NAME (K of K)" of consecutive members, each as
// full as the store allows and each with the categories; the user is told how many members
// went into how many lists, and the first one's entry ID is returned. Members that no list
// could take, or that a part failing to save held, end the run with a failure that says how
// many were not stored.
//
// An existing list that is being brought up to date (`existing` given, the list emptied of its
// members by the caller) stays the first part, so it keeps its entry ID; `*existing` becomes
// true once it is saved, so that a failure after that is not taken for one that left it as it
// was. When some members would fit in no list at all, nothing is saved and the failure says
// how many.
std::u16string FillAndSaveList(RunContext& run, host::SafeDistList& safe_list, host::Object& list_item,
                               MemberStore& members, const std::function<std::u16string()>& subject,
                               std::u16string_view categories, const ListSource& source,
                               bool* existing = nullptr);

// Removes every member of a list, the last first.
void RemoveAllMembers(const host::DistListItem& list);

}  // namespace engine
