#pragma once
// Plays a scenario file against the real add-in over COM: the substitute host's objects as
// COM objects, the add-in loaded through the registry, the user on the add-in's real
// windows. The event log becomes the same transcript the native player prints.
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/quillamor-sim/scenario.h"

namespace outlook_sim {

struct PlayResult {
    std::vector<nlohmann::json> events;  // the whole log, calls included, ending with "end"
    // Set when a step could not be played; the play stopped there.
    std::optional<std::string> error;
    long live_adapters = 0;  // COM objects of the host still alive at the end
    int64_t live_objects = 0;  // the substitute host's own objects still alive at the end
};

// `program_folder` holds this program and the service library stand-in's folder.
PlayResult play(const quillamor_sim::Scenario& scenario, const std::wstring& program_folder);

}  // namespace outlook_sim
