#pragma once
// A scenario file: a profile, the user's answers, the steps to play and the faults to inject.
// Reading one checks its shape; anything wrong becomes a ScenarioFileError with a message
// that says what is wrong.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillamor_sim {

class ScenarioFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Step {
    std::string action;  // the "do" field
    std::string form, control, text, tag, key, name;
    std::string label, tab;  // a ribbon button: its label, and the tab (idMso) it is on
    double left = 0, top = 0;
    nlohmann::json source;  // the step as written, for messages
};

struct Scenario {
    std::filesystem::path file;
    nlohmann::json profile;  // the "profile" object (or the one "profileFile" names)
    nlohmann::json answers = nlohmann::json::array();
    nlohmann::json faults = nlohmann::json::array();
    std::vector<Step> steps;
};

Scenario read_scenario(const std::filesystem::path& file);
// A profile file on its own ({"profile": ...} or the profile object itself).
nlohmann::json read_profile(const std::filesystem::path& file);

}  // namespace quillamor_sim
