#include "engine/messages.h"

#include <vector>

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

namespace {

// "Ann Lee, Bob Ray, Cy Orr, Dee Fox, Eve Ash and 3 more": the first few, so that the message
// stays readable however many there are.
std::u16string first_few(const std::vector<std::u16string>& names) {
    constexpr size_t shown = 5;
    std::u16string out;
    for (size_t i = 0; i < names.size() && i < shown; ++i) out += (i ? u", " : u"") + names[i];
    if (names.size() > shown) out += u" and " + number(names.size() - shown) + u" more";
    return out;
}

std::u16string categories_of(const LeftOut& left_out) {
    std::u16string out;
    for (size_t i = 0; i < left_out.categories().size(); ++i) {
        const auto& c = left_out.categories()[i];
        out += (i ? u", \"" : u"\"") + c.name +
               (c.folder.empty() ? u"\" in a folder whose name could not be read" : u"\" in the folder \"" + c.folder + u"\"");
    }
    return out;
}

std::u16string contacts_count(size_t n) { return number(n) + (n == 1 ? u" contact" : u" contacts"); }

}  // namespace

std::u16string left_out(const LeftOut& left_out) {
    const bool missing = !left_out.contacts().empty() || !left_out.categories().empty();
    std::u16string text(missing ? left_out_opening : not_looked_up_opening);
    if (!left_out.contacts().empty())
        text += u"\r\n\r\n" + contacts_count(left_out.contacts().size()) + u" could not be added: " +
                first_few(left_out.contacts()) + u".";
    if (!left_out.categories().empty())
        text += u"\r\n\r\nThese categories could not be searched completely: " + categories_of(left_out) + u".";
    if (!left_out.not_looked_up().empty())
        text += u"\r\n\r\n" + contacts_count(left_out.not_looked_up().size()) +
                u" went into the list with their Exchange address, which could not be looked up: " +
                first_few(left_out.not_looked_up()) + u".";
    text += u"\r\n\r\nThe first failure: " + left_out.first_failure();
    if (missing)
        text += u"\r\n\r\nThe list is saved without them. Open these contacts in Outlook to check them, check the "
                u"folder, and make the list again.";
    if (!left_out.not_looked_up().empty())
        text += u"\r\n\r\nThey are in the list all the same; make the list again later to give them their "
                u"e-mail address.";
    return text;
}

std::u16string update_left_out(const LeftOut& left_out) {
    std::u16string text = u"\r\n";
    if (!left_out.contacts().empty())
        text += u"\r\n" + std::u16string(update_not_read) + number(left_out.contacts().size()) + u" (" +
                first_few(left_out.contacts()) + u")";
    if (!left_out.categories().empty())
        text += u"\r\n" + std::u16string(update_not_searched) + categories_of(left_out);
    if (!left_out.not_looked_up().empty())
        text += u"\r\n" + std::u16string(update_not_looked_up) + number(left_out.not_looked_up().size()) + u" (" +
                first_few(left_out.not_looked_up()) + u")";
    return text + u"\r\nThe first failure: " + left_out.first_failure();
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
