#pragma once
// The mail host's object-model guard. From 2003 (version 11) on, the host trusts the
// Application object it hands an add-in at its connection and every object reached from it;
// any other Application (one made with CoCreateInstance or CreateObject) and what is reached
// from it are untrusted, and on 2002 nothing is. A read of a protected member on an untrusted
// object asks the user, or is refused, as the profile's "guard" says.
#include <string_view>

#include "sim/model/world.h"

namespace sim {

// Whether reading `member` of an object of the host's type `type` is guarded (the address
// book warning): the members the add-in could reach of the host's protected list.
bool guarded_member(std::u16string_view type, std::u16string_view member);

// The guard at a read or call of `member` on an object of `type`. Untrusted and guarded, it
// records the "guard" event and takes the user's answer (unanswered: Deny); a denied read
// fails as the host fails it.
void guard_read(World& w, std::u16string_view type, std::u16string_view member, bool trusted);

// The failure of a read the guard denied: the call is aborted.
inline constexpr int32_t guard_denied = -2147467260;  // E_ABORT

}  // namespace sim
