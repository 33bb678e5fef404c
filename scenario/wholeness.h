#pragma once
// Whether a play that met a failure left the user a whole list or told them it is not: what
// the fault sweeps check of every failure they make, in both hosts.
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace scenario {

enum class Wholeness {
    whole,         // every member of the play without the failure is in the saved lists
    told,          // not, and a failure was shown or the message of what was left out
    nothing_made,  // no list saved and none announced (a run that never began)
    silent_loss,   // members missing and the user thanked all the same
    not_judged,    // the play stopped where no user would: the script had no answer for a
                   // question the failure brought
};

// `events` of a play with a failure, against `clean`, the same play without it. `stopped`: the
// play ended on an error of its script rather than where the user left it (not judged).
Wholeness wholeness(const std::vector<nlohmann::json>& clean, const std::vector<nlohmann::json>& events,
                    bool stopped);

const char* name_of(Wholeness w);

// Whether a failure made of `object`.`member` left a trace: the user shown a failure, the
// failure handed back to the host as its call's result, or a line of the support log that
// names the member (member names match whatever their case, as late binding finds them).
// A play's log events are there only when the host was asked to record them.
bool failure_traced(const std::vector<nlohmann::json>& events, std::string_view object, std::string_view member);

}  // namespace scenario
