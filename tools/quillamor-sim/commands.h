#pragma once
// The commands of quillamor-sim besides run and play, each with its own file.
#include <string_view>
#include <vector>

namespace quillamor_sim {

// walks --profile FILE --out DIR [--seed S] [--count N] [--steps M]
int walks_command(const std::vector<std::string_view>& args);

}  // namespace quillamor_sim
