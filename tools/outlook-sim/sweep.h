#pragma once
// The fault sweep through the real add-in: plays a scenario once to learn every call the
// add-in makes of the host, then again for each of those calls (or an even sample of them)
// with that one call failing, and judges how each run ended. One line a run on `out`, then
// the counts.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/scenario.h"

namespace outlook_sim {

struct SweepOptions {
    size_t sample = 0;  // how many of the calls to fail, spread evenly over them; 0: all
    size_t from = 1;    // the first of them to play (counting from 1), to go on after a crash
};

// The calls of a run, each as the fault that fails it: the member, and which call of that
// member over the whole run it is.
struct SweepFault {
    std::string object, member;
    int64_t occurrence = 0;
};
std::vector<SweepFault> faults_of(const std::vector<nlohmann::json>& events);

// `count` of `total` spread evenly from the first on (indexes from 0); all when count is 0 or
// not below total.
std::vector<size_t> even_sample(size_t total, size_t count);

// How a run with one failing call ended.
enum class Ending {
    Shown,      // the failure reached the top of a user action and the user was told
    Returned,   // the failure went back to the host as the result of its call into the add-in
    Skipped,    // the add-in went past the failed step, as its skip-on-failure steps do
    NotFired,   // the call was not made this time: nothing was tried
    Unshown,    // a failure reached the top and the user was not told
};
const char* name_of(Ending e);
Ending ending_of(const std::vector<nlohmann::json>& events, const SweepFault& fault);

// Plays the sweep; returns 0 when every run ended well and left nothing alive, else 1.
int sweep(const scenario::Scenario& scenario, const std::wstring& program_folder, const SweepOptions& options,
          std::ostream& out);

}  // namespace outlook_sim
