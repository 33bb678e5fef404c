#pragma once
// The terminal walk-through: the add-in is connected over the substitute host with a profile,
// and a person walks the wizard by hand, answering the host's dialogs as they open.
#include <filesystem>
#include <iosfwd>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillamor_sim {

// Plays the profile in `file` ({"profile": ...} or the profile itself) in the terminal until
// the person leaves, then prints the lists saved meanwhile, with their members, to `out`.
// Problems (no terminal, a profile that cannot be read) go to `err`. Returns the exit status.
int play_in_terminal(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

// The lists that the events say were saved, each once as it was saved last, in the order in
// which they were first saved, with their members one a line.
void print_saved_lists(std::ostream& out, const std::vector<nlohmann::json>& events);

}  // namespace quillamor_sim
