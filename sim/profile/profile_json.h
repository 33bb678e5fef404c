#pragma once
// Reading the profile, the scripted answers and the faults of a scenario from JSON. Text in
// JSON is UTF-8; inside it becomes UTF-16. Anything malformed is a ScenarioError that says
// where and what.
#include <vector>

#include "sim/model/model.h"
#include "sim/model/world.h"

namespace sim {

Profile profile_from_json(const Json& profile);
std::vector<Answer> answers_from_json(const Json& answers);
std::vector<Fault> faults_from_json(const Json& faults);

}  // namespace sim
