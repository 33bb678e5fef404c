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

// A list to fill with the collected members and save.
struct ListToSave {
    // A new list: its item and the wrapper that fills it, as the run made them.
    host::Object item;
    host::SafeDistList safe_list;
    // Or the list being brought up to date: emptied of its members and filled again.
    host::DistListItem existing;
    // The list's name, asked for once the members are in: the custom run's name is the
    // page's text as it stands then.
    std::function<std::u16string()> name;
    std::u16string categories;
    ListSource source;
};

// What was saved: the list's entry ID (the first part's, when it went into several), and
// into how many lists the members went.
struct SavedList {
    std::u16string entry_id;
    size_t parts = 1;
};

// Moves the collected recipients into the list in one call, names the list and gives it its
// categories and its source, saves and closes it (discarding later changes), and lets go of
// the list and its wrapper.
//
// When the list takes fewer members than were collected (or refuses them), the members are
// saved instead as lists "NAME (1 of K)" ... "NAME (K of K)" of consecutive members, each as
// full as the store allows and each with the categories; the user is told how many members
// went into how many lists. Members that no list could take, or that a part failing to save
// held, end the run with a failure that says how many were not stored.
//
// An existing list stays the first part, so it keeps its entry ID. When some members would
// fit in no list at all, nothing is saved and the failure says how many. A failure before the
// existing list is saved leaves it as the store holds it, and says the update failed; one
// after says only what it was.
SavedList SaveList(RunContext& run, MemberStore& members, ListToSave list);

// Removes every member of a list, the last first.
void RemoveAllMembers(const host::DistListItem& list);

}  // namespace engine
