#pragma once
// What real mail stores limit and the substitute host plays: the size of one distribution
// list's members on a host before 2010, and the number of items a session may hold open.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sim {

// A list of a host before 2010 keeps its members in two properties that must each stay
// within this many bytes; from 2010 on a third property lets a list grow past it.
inline constexpr int64_t classic_list_limit_bytes = 15000;

// What one member costs in those properties: the size of its one-off entry ID, 24 bytes of
// flags and provider id, then the display name, the address type "SMTP" and the address, each
// as UTF-16 with its terminating zero.
int64_t member_entry_bytes(std::u16string_view display_name, std::u16string_view address);
// The same for a member as the safe-item recipients hold it: "Display Name address", the
// address after the last space.
int64_t member_entry_bytes(std::u16string_view member_text);

// Whether host objects of that type are items (mail, contact and list items), as a session's
// limit of open items counts them; folders, collections, recipients and wrappers are not.
bool is_item_type(std::u16string_view type);

// What a session that holds too many items open is told.
inline constexpr int32_t too_many_open_items = static_cast<int32_t>(0x8004011D);
inline constexpr std::u16string_view too_many_open_items_text =
    u"Your server administrator has limited the number of items you can open simultaneously. Try "
    u"closing messages you have opened or removing attachments and images from unsent messages you are "
    u"composing.";
// What an AddMembers that would pass a list's limit fails with, where it fails (a generic
// failure of the store, with the host's own words).
inline constexpr int32_t list_full = static_cast<int32_t>(0x80004005);
inline constexpr std::u16string_view list_full_text =
    u"This distribution list has reached the maximum size for your network e-mail server.";

}  // namespace sim
