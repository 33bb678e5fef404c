#include "engine/messages.h"

#include "host/text.h"

namespace engine::text {

namespace {
std::u16string number(size_t n) { return host::decimal(static_cast<int64_t>(n)); }
}  // namespace

std::u16string saved_as_parts(size_t members, size_t lists, std::u16string_view name) {
    const std::u16string first = std::u16string(name) + u" (1 of " + number(lists) + u")";
    const std::u16string last = std::u16string(name) + u" (" + number(lists) + u" of " + number(lists) + u")";
    return u"The list has " + number(members) +
           u" members, more than one distribution list can hold in this version of Outlook, so they were "
           u"saved as " + number(lists) + u" lists, \"" + first + u"\" to \"" + last +
           u"\", each with the same categories.";
}

std::u16string members_not_stored(size_t not_stored, size_t members) {
    return number(not_stored) + u" of " + number(members) + u" members were not stored.";
}

}  // namespace engine::text
