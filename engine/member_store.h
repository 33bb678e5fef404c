#pragma once
// Where a run collects its members: the scratch mail's Redemption wrapper, whose recipients
// the list is filled from, and beside it the run's own record of what they hold.
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/left_out.h"
#include "host/redemption.h"

namespace engine {

struct MemberStore {
    explicit MemberStore(host::SafeMailItem scratch_mail) : mail(std::move(scratch_mail)) {}

    host::SafeMailItem mail;
    // The text after the last space of each recipient's name, as the host gave the name back
    // after the recipient was added. Nothing but the run adds recipients to the scratch mail,
    // so this answers the duplicate test as a walk of the collection would, without a host
    // call for every recipient present.
    std::unordered_set<std::u16string> addresses;
    // The texts the recipients were added with, in order: what the list is filled from again
    // when one list cannot hold them all.
    std::vector<std::u16string> texts;
    // The contacts and categories that a failure kept out.
    LeftOut left_out;
};

}  // namespace engine
