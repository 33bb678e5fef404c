#include "sim/model/guard.h"

#include <array>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/host_errors.h"

namespace sim {

namespace {

struct Guarded {
    std::u16string_view type;
    std::u16string_view member;  // empty: every property of the type
};

// From the host's list of protected properties and methods, the ones of the objects the
// substitute host models.
constexpr std::array guarded{
    Guarded{u"Recipient", {}},
    Guarded{u"DistListItem", u"GetMember"},     Guarded{u"DistListItem", u"Body"},
    Guarded{u"DistListItem", u"SaveAs"},        Guarded{u"ContactItem", u"Body"},
    Guarded{u"ContactItem", u"Email1Address"},  Guarded{u"ContactItem", u"Email2Address"},
    Guarded{u"ContactItem", u"Email3Address"},  Guarded{u"ContactItem", u"Email1AddressType"},
    Guarded{u"ContactItem", u"Email2AddressType"}, Guarded{u"ContactItem", u"Email3AddressType"},
    Guarded{u"ContactItem", u"Email1DisplayName"}, Guarded{u"ContactItem", u"Email2DisplayName"},
    Guarded{u"ContactItem", u"Email3DisplayName"}, Guarded{u"ContactItem", u"Email1EntryID"},
    Guarded{u"ContactItem", u"Email2EntryID"},  Guarded{u"ContactItem", u"Email3EntryID"},
    Guarded{u"ContactItem", u"IMAddress"},      Guarded{u"ContactItem", u"SaveAs"},
    Guarded{u"MailItem", u"Body"},              Guarded{u"MailItem", u"To"},
    Guarded{u"MailItem", u"CC"},                Guarded{u"MailItem", u"BCC"},
    Guarded{u"MailItem", u"SenderName"},        Guarded{u"MailItem", u"SenderEmailAddress"},
    Guarded{u"MailItem", u"Send"},              Guarded{u"MailItem", u"SaveAs"},
    Guarded{u"NameSpace", u"CurrentUser"},      Guarded{u"NameSpace", u"GetRecipientFromID"},
    Guarded{u"MAPIFolder", u"PropertyAccessor"},
};

// Of the address book's objects: an entry's address and its Exchange user, and that user's
// addresses. Recipient, above, covers a recipient made by NameSpace.CreateRecipient.
constexpr std::array guarded_address_book{
    Guarded{u"AddressEntry", u"Address"},          Guarded{u"AddressEntry", u"ID"},
    Guarded{u"AddressEntry", u"Manager"},          Guarded{u"AddressEntry", u"Members"},
    Guarded{u"AddressEntry", u"Parent"},           Guarded{u"AddressEntry", u"PropertyAccessor"},
    Guarded{u"AddressEntry", u"GetExchangeDistributionList"}, Guarded{u"AddressEntry", u"GetExchangeUser"},
    Guarded{u"AddressEntry", u"Update"},           Guarded{u"ExchangeUser", u"Address"},
    Guarded{u"ExchangeUser", u"Alias"},            Guarded{u"ExchangeUser", u"ID"},
    Guarded{u"ExchangeUser", u"Parent"},           Guarded{u"ExchangeUser", u"PrimarySmtpAddress"},
    Guarded{u"ExchangeUser", u"PropertyAccessor"}, Guarded{u"ExchangeUser", u"GetDirectReports"},
    Guarded{u"ExchangeUser", u"GetExchangeDistributionList"}, Guarded{u"ExchangeUser", u"GetExchangeUser"},
    Guarded{u"ExchangeUser", u"GetExchangeUserManager"}, Guarded{u"ExchangeUser", u"GetMemberOfList"},
    Guarded{u"ExchangeUser", u"Update"},
};

bool listed(const auto& table, std::u16string_view type, std::u16string_view member) {
    for (const auto& g : table)
        if (host::equal_ignoring_case(g.type, type) && (g.member.empty() || host::equal_ignoring_case(g.member, member)))
            return true;
    return false;
}

}  // namespace

bool guarded_member(std::u16string_view type, std::u16string_view member) {
    return listed(guarded, type, member) || listed(guarded_address_book, type, member);
}

void guard_read(World& w, std::u16string_view type, std::u16string_view member, bool trusted) {
    if (w.profile.guard == GuardMode::Off || !guarded_member(type, member)) return;
    // 2002 trusts no add-in; from 2003 on, only the objects of the connection's Application.
    if (trusted && host::MajorVersion(w.profile.version) >= first_trusting_version) return;
    bool allowed = false;
    if (w.profile.guard == GuardMode::Prompt)
        if (auto answer = w.take_answer_if(AnswerKind::Guard)) allowed = answer->value == u"Allow";
    w.record({{"event", "guard"}, {"member", utf8(member)}, {"object", utf8(type)},
              {"answer", allowed ? "Allow" : "Deny"}});
    if (!allowed)
        fail(guard_denied, u"Operation aborted: access to the address book was denied.", type);
}

}  // namespace sim
