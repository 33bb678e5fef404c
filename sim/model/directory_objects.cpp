// The Exchange address book of the profile ("directory"), as the mail host reaches it: a
// recipient made from a name or address (NameSpace.CreateRecipient), resolved to an address
// entry, and from 2007 on the entry's Exchange user with its primary SMTP address. And how the
// host reads a contact's address types and a list member's text.
#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/host_errors.h"
#include "sim/model/objects.h"
#include "sim/model/sim_object.h"

namespace sim {

namespace {

using host::Variant;

// A recipient made by CreateRecipient: the text it was made from, and the entry it resolved to.
struct BookRecipient : Entity {
    std::u16string name;
    std::optional<DirectoryEntry> entry;
};

struct BookEntry : Entity {
    DirectoryEntry entry;
};

// The one entry the text names: its distinguished name, display name or SMTP address, exactly.
// None, or more than one (an ambiguous name), resolves to nothing.
std::optional<DirectoryEntry> resolve(const Profile& p, std::u16string_view text) {
    std::optional<DirectoryEntry> found;
    for (const auto& e : p.directory) {
        // An entry without a name or address is found by none, not by an empty text.
        if (e.dn != text && (e.name.empty() || e.name != text) && (e.smtp.empty() || e.smtp != text)) continue;
        if (found) return std::nullopt;
        found = e;
    }
    return found;
}

host::Object make_exchange_user(const WorldPtr& w, std::shared_ptr<BookEntry> ref) {
    auto [obj, o] = make_object(w, u"ExchangeUser", ref);
    o->getter(u"Name", [ref](Args&) { return Variant(ref->entry.name); });
    o->getter(u"Address", [ref](Args&) { return Variant(ref->entry.dn); });
    o->getter(u"PrimarySmtpAddress", [ref](Args&) { return Variant(ref->entry.smtp); });
    return obj;
}

host::Object make_address_entry(const WorldPtr& w, const DirectoryEntry& entry) {
    auto ref = std::make_shared<BookEntry>();
    ref->entry = entry;
    auto [obj, o] = make_object(w, u"AddressEntry", ref);
    o->getter(u"Name", [ref](Args&) { return Variant(ref->entry.name); });
    o->getter(u"Address", [ref](Args&) { return Variant(ref->entry.dn); });
    o->getter(u"Type", [](Args&) { return Variant(std::u16string(u"EX")); });
    // 2007 added the Exchange user; an entry that is not one (a group) gives Nothing.
    if (host::MajorVersion(w->profile.version) >= host::first_exchange_user_version)
        o->method(u"GetExchangeUser", [w, ref](Args&) {
            return ref->entry.user ? Variant(make_exchange_user(w, ref)) : nothing();
        });
    return obj;
}

}  // namespace

host::Object make_address_book_recipient(const WorldPtr& w, std::u16string name) {
    auto ref = std::make_shared<BookRecipient>();
    ref->name = std::move(name);
    auto [obj, o] = make_object(w, u"Recipient", ref);
    // Resolved, the recipient takes the entry's display name and address.
    o->getter(u"Name", [ref](Args&) { return Variant(ref->entry ? ref->entry->name : ref->name); });
    o->getter(u"Address", [ref](Args&) { return Variant(ref->entry ? ref->entry->dn : std::u16string()); });
    o->getter(u"Resolved", [ref](Args&) { return Variant::boolean(ref->entry.has_value()); });
    o->method(u"Resolve", [w, ref](Args&) {
        if (!ref->entry) ref->entry = resolve(w->profile, ref->name);
        return Variant::boolean(ref->entry.has_value());
    });
    // Reading the entry resolves the recipient; one that cannot be resolved fails.
    o->getter(u"AddressEntry", [w, ref](Args&) {
        if (!ref->entry) ref->entry = resolve(w->profile, ref->name);
        if (!ref->entry) fail(failed, u"Outlook does not recognize one or more names. ", u"Recipient");
        return Variant(make_address_entry(w, *ref->entry));
    });
    return obj;
}

std::u16string contact_address_type(const ItemData& contact, size_t entry) {
    const auto it = contact.fields.find(contact_address_types[entry]);
    if (it != contact.fields.end()) return it->second;
    constexpr std::u16string_view addresses[] = {u"Email1Address", u"Email2Address", u"Email3Address"};
    return contact.field(addresses[entry]).empty() ? u"" : u"SMTP";
}

namespace {

// Where the address of a member's text begins: after the last space, or under the reading of
// Exchange names at the first " /o=" (the text's start when the name is empty).
size_t address_start(const Profile& p, std::u16string_view text) {
    if (p.member_address == MemberAddressReading::exchange_name)
        for (size_t at = 0; at + 4 <= text.size(); ++at)
            if (text[at] == u' ' && host::equal_ignoring_case(text.substr(at + 1, 3), u"/o=")) return at + 1;
    const size_t at = text.rfind(u' ');
    return at == std::u16string_view::npos ? 0 : at + 1;
}

}  // namespace

std::u16string member_address_of(const Profile& p, std::u16string_view text) {
    return std::u16string(text.substr(address_start(p, text)));
}

std::u16string member_name_of(const Profile& p, std::u16string_view text) {
    const size_t start = address_start(p, text);
    return std::u16string(start == 0 ? text : text.substr(0, start - 1));
}

}  // namespace sim
