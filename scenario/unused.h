#pragma once
// What a scenario prepared but the play never used: faults whose call never came and answers
// no dialog took. A test that injects nothing or answers nothing would otherwise pass in
// silence, so both players report them as "unused" events before "end", and as one warning.
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/scenario.h"

namespace sim {
class SimHost;
}

namespace scenario {

// {"event": "unused", "fault": {...}} and {"event": "unused", "answer": {...}}, each as the
// scenario wrote it, in the scenario's order. The host's faults beyond the scenario's own
// (a fault sweep's) are not the scenario's to report.
std::vector<nlohmann::json> unused_events(const Scenario& scenario, const sim::SimHost& host);

// One line that sums up the unused events, if there are any.
std::optional<std::string> unused_warning(const std::vector<nlohmann::json>& events);

}  // namespace scenario
