#pragma once
// A scenario file: a profile, the user's answers, the steps to play and the faults to inject.
// Reading one checks its shape strictly; anything wrong becomes a ScenarioFileError with one
// line that says where and what is wrong.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario/steps.h"
#include "sim/model/world.h"

namespace scenario {

class ScenarioFileError : public std::runtime_error {
public:
    explicit ScenarioFileError(const std::string& what) : std::runtime_error(sim::printable(what)) {}
};

struct Scenario {
    std::filesystem::path file;
    nlohmann::json profile;  // the "profile" object (or the one "profileFile" names)
    nlohmann::json answers = nlohmann::json::array();
    nlohmann::json faults = nlohmann::json::array();
    std::vector<Step> steps;
};

Scenario read_scenario(const std::filesystem::path& file);
// A scenario already parsed from `file` (whose folder a "profileFile" is relative to).
Scenario scenario_from_json(const nlohmann::json& j, const std::filesystem::path& file);
// A profile file on its own ({"profile": ...} or the profile object itself).
nlohmann::json read_profile(const std::filesystem::path& file);

}  // namespace scenario
