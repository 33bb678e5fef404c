#include "engine/messages.h"

#include "host/text.h"

namespace engine::text {

namespace {
std::u16string number(size_t n) { return host::decimal(static_cast<int64_t>(n)); }
}  // namespace

std::u16string part_name(std::u16string_view name, size_t p, size_t k) {
    return std::u16string(name) + u" (" + number(p) + u" of " + number(k) + u")";
}

std::u16string saved_as_parts(size_t members, size_t lists, std::u16string_view name) {
    const std::u16string first = part_name(name, 1, lists);
    const std::u16string last = part_name(name, lists, lists);
    return u"The list has " + number(members) +
           u" members, more than one distribution list can hold in this version of Outlook, so they were "
           u"saved as " + number(lists) + u" lists, \"" + first + u"\" to \"" + last +
           u"\", each with the same categories.";
}

std::u16string members_not_stored(size_t not_stored, size_t members) {
    return number(not_stored) + u" of " + number(members) + u" members were not stored.";
}

std::u16string link_not_opened(std::u16string_view address) {
    return u"Quillamor could not open your web browser. To see the page, type this address in your browser: " +
           std::u16string(address);
}

std::u16string update_nothing(std::u16string_view name, size_t members) {
    return u"The distribution list \"" + std::u16string(name) +
           u"\" is up to date with the contacts that carry its categories today (members: " + number(members) +
           u"). Nothing was changed.";
}

std::u16string update_question(std::u16string_view name, size_t added, size_t removed, size_t kept) {
    return u"Update the distribution list \"" + std::u16string(name) + u"\"?\r\n\r\nMembers added: " + number(added) +
           u"\r\nMembers removed: " + number(removed) + u"\r\nMembers that stay: " + number(kept);
}

std::u16string update_failed(std::u16string_view name) {
    return u"The distribution list \"" + std::u16string(name) + u"\" was left as it was.";
}

}  // namespace engine::text
