#pragma once
// Plays a scenario over the substitute host: the host creates the add-in, the steps play the
// host and the user, and the event log becomes the transcript.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/scenario.h"

namespace sim {
class SimHost;
}

namespace quillamor_sim {

struct PlayResult {
    std::vector<nlohmann::json> events;  // the whole log, ending with "end" (none when written)
    // Set when a step could not be played (a dialog with no answer, an unknown form...): the
    // play stopped there, and the host still released the add-in.
    std::optional<std::string> error;
};

// Extra faults (on top of the scenario's own) for the fault sweep.
struct ExtraFault {
    std::string member;
    int64_t occurrence = 1;
    std::string object;
};

// How the event log is kept. By default it holds every event, a call event for every host
// call included; a long run is better written as it happens.
struct LogOptions {
    bool calls = true;
    // When set, each event goes here as it happens and the result holds none.
    std::function<void(const nlohmann::json&)> write;
};

// Plays the scenario; a profile that cannot be read throws scenario::ScenarioFileError.
PlayResult play(const scenario::Scenario& scenario, const std::vector<ExtraFault>& extra_faults = {},
                const LogOptions& log = {});

}  // namespace quillamor_sim
