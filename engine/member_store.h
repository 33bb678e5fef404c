#pragma once
// Where a run collects its members: the scratch mail's Redemption wrapper, whose recipients
// the list is filled from, and beside it the run's own record of what they hold.
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/addresses.h"
#include "engine/left_out.h"
#include "host/redemption.h"

namespace engine {

struct MemberStore {
    explicit MemberStore(host::SafeMailItem scratch_mail) : mail(std::move(scratch_mail)) {}

    host::SafeMailItem mail;
    // The whole address of each recipient added. Nothing but the run adds recipients to the
    // scratch mail, so this answers the duplicate test as a walk of the collection would,
    // without a host call for every recipient present; and it holds the address as the run
    // wrote it, never a piece of it, since an Exchange address has spaces of its own.
    std::unordered_set<std::u16string> addresses;
    // The texts the recipients were added with, in order: what the list is filled from again
    // when one list cannot hold them all.
    std::vector<std::u16string> texts;
    // The address each of those texts ends in, in the same order.
    std::vector<std::u16string> text_addresses;
    // The Exchange addresses looked up so far.
    ExchangeDirectory directory;
    // The contacts and categories that a failure kept out.
    LeftOut left_out;
};

}  // namespace engine
