#pragma once
// Random walks of the add-in: seeded sequences of what the host and a person can do at each
// point (every enabled button, option and link of a page on the screen, typing, keys, the
// window frame, the add-in's buttons pressed again, a new explorer, a disconnection), each
// chosen from what is on the screen after the step before, with the dialogs answered at
// random as they open. A walk is written as an ordinary scenario file, so one that fails
// anywhere can be played again on its own.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillamor_sim {

struct WalkOptions {
    uint64_t seed = 1;
    size_t max_steps = 30;  // a walk ends earlier at random, or when the add-in has gone
};

struct Walk {
    nlohmann::json scenario;                 // the profile inlined, the answers given, the steps
    std::vector<nlohmann::json> events;      // what happened while it was made
};

// One walk over `profile`, varied at random: a command-bar or a ribbon host, an explorer at
// the start or not. The same seed and profile give the same walk.
Walk generate_walk(const nlohmann::json& profile, const WalkOptions& options);

// The seed of walk `index` of a series started from `seed`.
uint64_t walk_seed(uint64_t seed, size_t index);

}  // namespace quillamor_sim
