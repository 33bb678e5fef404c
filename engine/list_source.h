#pragma once
// Where a saved list's members came from, kept on the list so that it can be brought up to
// date later: the quick run's folders or the one folder of a custom run, and whether every
// address of a contact went in. A user property rather than a named MAPI property: the
// object model of every supported host can write and read it, and a list made in Outlook
// 2002 or 2003 can then be updated once its user is on a newer host.
#include <optional>
#include <string>
#include <string_view>

#include "host/outlook.h"

namespace engine {

// The user property's name.
inline constexpr std::u16string_view source_property = u"QuillamorSource";

struct ListSource {
    enum class Kind { quick, custom } kind = Kind::quick;
    bool all_emails = false;
    // The custom run's folder, by its IDs; empty for the quick run.
    std::u16string folder_entry_id, folder_store_id;
};

// The property's text: "quick;one", "quick;all", or "custom;one;ENTRYID;STOREID" and the same
// with "all".
std::u16string source_text(const ListSource& source);
// The source a text says; nothing when it is not one of those forms.
std::optional<ListSource> parse_source(std::u16string_view text);

// The custom run's folder, by its IDs. IDs that cannot be read leave the source without
// them: the list is made all the same, and an update asks where to look.
void RecordFolder(ListSource& source, const host::MAPIFolder& folder);

// Writes the source onto a list before it is saved. A host that refuses the property, or a
// folder whose IDs cannot be read, leaves the list without one: the list itself matters more.
void RecordSource(const host::DistListItem& list, const ListSource& source);
// The source a list carries; nothing for a list without one (or with a text not understood).
std::optional<ListSource> ReadSource(const host::DistListItem& list);

}  // namespace engine
