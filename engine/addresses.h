#pragma once
// The address an e-mail entry of a contact gives a list. A contact taken from an Exchange
// address book holds the person's Exchange address (a distinguished name such as
// "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe", spaces
// and all); from 2007 on the host can look up the person's own e-mail address, so that such a
// member compares with the same person's SMTP entries. Where it cannot, the Exchange address
// is kept whole: a member is always told apart from the others by its whole address.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/run_context.h"
#include "host/failure.h"
#include "host/outlook.h"

namespace engine {

// The address type of an Exchange address book entry ("EX", in any letter case).
bool IsExchangeAddressType(std::u16string_view type);
// An address written as an Exchange distinguished name: it begins "/o=", in any letter case.
bool LooksLikeExchangeName(std::u16string_view address);

// Looks up Exchange addresses for one run, each once.
class ExchangeDirectory {
public:
    struct Found {
        std::u16string address;  // the primary SMTP address, or the Exchange address whole
        // Set when a failure kept the address from being looked up (rather than the address
        // book not knowing it, or the host having no way to ask).
        std::optional<host::Failure> failure;
    };

    // The address a list member gets for this Exchange address.
    Found look_up(RunContext& run, const std::u16string& exchange_address);

private:
    enum class State { unknown, none, ready };
    // Whether the host can look addresses up; a failure to find out is `failure_`.
    bool ready(RunContext& run);

    State state_ = State::unknown;
    host::NameSpace mapi_;
    std::optional<host::Failure> failure_;
    std::unordered_map<std::u16string, std::u16string> known_;
};

}  // namespace engine
