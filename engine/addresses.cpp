#include "engine/addresses.h"

#include "host/text.h"

namespace engine {

bool IsExchangeAddressType(std::u16string_view type) { return host::equal_ignoring_case(type, u"EX"); }

bool LooksLikeExchangeName(std::u16string_view address) {
    return address.size() >= 3 && host::equal_ignoring_case(address.substr(0, 3), u"/o=");
}

bool ExchangeDirectory::ready(RunContext& run) {
    if (state_ != State::unknown) return state_ == State::ready;
    try {
        // 2002 and 2003 have no way to reach an entry's Exchange user: the address stays whole.
        if (host::MajorVersion(run.application().Version()) < host::first_exchange_user_version) {
            state_ = State::none;
            return false;
        }
        mapi_ = run.application().GetNamespace(u"MAPI");
        state_ = State::ready;
    } catch (const host::Failure& f) {
        // Not asked again in this run: every Exchange address then stays whole, and says why.
        failure_ = f;
        state_ = State::none;
    }
    return state_ == State::ready;
}

ExchangeDirectory::Found ExchangeDirectory::look_up(RunContext& run, const std::u16string& exchange_address) {
    if (auto it = known_.find(exchange_address); it != known_.end()) return {it->second, std::nullopt};
    Found found{exchange_address, std::nullopt};
    if (!ready(run)) {
        found.failure = failure_;
    } else {
        try {
            // An address the address book does not know, or an entry that is not a person (a
            // group, a public folder), has no SMTP address of its own here.
            host::AddressBookRecipient recipient = mapi_.CreateRecipient(exchange_address);
            if (recipient.Resolve()) {
                if (host::ExchangeUser user = recipient.GetAddressEntry().GetExchangeUser()) {
                    std::u16string smtp = user.PrimarySmtpAddress();
                    if (!smtp.empty()) found.address = std::move(smtp);
                }
            }
        } catch (const host::Failure& f) {
            found.failure = f;
        }
    }
    // A failure is told once, with the contact it came with; the same person met again keeps
    // the address the list already has.
    known_.emplace(exchange_address, found.address);
    return found;
}

}  // namespace engine
