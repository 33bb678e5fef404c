#pragma once
// Plays a scenario over the substitute host: the host creates the add-in, the steps play the
// host and the user, and the event log becomes the transcript.
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/scenario.h"
#include "tools/quillamor-sim/sim_driver.h"

namespace quillamor_sim {

struct PlayResult {
    std::vector<nlohmann::json> events;  // the whole log, ending with "end" (none when written)
    // Set when a step could not be played (a dialog with no answer, an unknown form...): the
    // play stopped there, and the host still released the add-in.
    std::optional<std::string> error;
};

// Plays the scenario; a profile that cannot be read throws scenario::ScenarioFileError.
PlayResult play(const scenario::Scenario& scenario, const std::vector<ExtraFault>& extra_faults = {},
                const LogOptions& log = {}, StepNote step_note = {});

}  // namespace quillamor_sim
