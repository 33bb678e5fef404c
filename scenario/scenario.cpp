#include "scenario/scenario.h"

#include "scenario/json_file.h"
#include "sim/profile/json_checks.h"

namespace scenario {

namespace {

using nlohmann::json;

[[noreturn]] void bad(const std::string& place, const std::string& what) {
    throw ScenarioFileError(place.empty() ? what : place + ": " + what);
}

// A scenario's own fields; the profile's are checked where it is read (sim/profile).
const std::vector<std::string_view> scenario_fields = {
    "profile",
    "profileFile",
    "answers",
    "faults",
    "steps",
};

// The profile inside a profile file: {"profile": ...} or the profile object itself.
json profile_in(const json& j) {
    if (!j.is_object()) bad("", "a profile must be a JSON object");
    if (!j.contains("profile")) return j;
    for (const auto& [key, value] : j.items())
        if (key != "profile") bad(key, "unknown field beside \"profile\" in a profile file");
    if (!j["profile"].is_object()) bad("profile", "must be an object");
    return j["profile"];
}

bool is_scenario(const json& j) {
    return j.is_object() && (j.contains("steps") || j.contains("answers") || j.contains("faults") ||
                             j.contains("profileFile"));
}

}  // namespace

json read_profile(const std::filesystem::path& file) {
    json j = parse_strict(read_bounded(file));
    if (is_scenario(j))
        bad("", "this is a scenario, not a profile: play its steps with \"quillamor-sim run " + file.string() + "\"");
    return profile_in(j);
}

Scenario scenario_from_json(const json& j, const std::filesystem::path& file) {
    Scenario sc;
    sc.file = file;
    if (!j.is_object()) bad("", "a scenario must be a JSON object");
    bool steps_misspelt = false;
    for (const auto& [key, value] : j.items())
        steps_misspelt = steps_misspelt || (key != "steps" && !sim::nearest_name(key, {"steps"}).empty());
    if (!j.contains("steps") && !steps_misspelt)
        bad("", "there are no \"steps\" to play: a profile is walked by hand with \"quillamor-sim play " +
                    file.string() + "\"; a scenario lists its steps (see docs/reference/scenario-format.md)");
    try {
        sim::only_fields(j, scenario_fields, "");
    } catch (const sim::ScenarioError& e) {
        throw ScenarioFileError(e.what());
    }
    if (j.contains("profileFile") && j.contains("profile")) bad("", "give \"profile\" or \"profileFile\", not both");
    if (j.contains("profileFile")) {
        if (!j["profileFile"].is_string()) bad("profileFile", "must be text");
        auto path = file.parent_path() / j["profileFile"].get<std::string>();
        try {
            sc.profile = profile_in(parse_strict(read_bounded(path)));
        } catch (const ScenarioFileError& e) {
            throw ScenarioFileError("profile file " + path.string() + ": " + e.what());
        }
    }
    if (j.contains("profile")) {
        if (!j["profile"].is_object()) bad("profile", "must be an object");
        sc.profile = j["profile"];
    }
    if (!sc.profile.is_object()) bad("", "no \"profile\" (or \"profileFile\")");
    for (const char* list : {"answers", "faults", "steps"})
        if (j.contains(list) && !j[list].is_array()) bad(list, "must be a list");
    if (j.contains("answers")) sc.answers = j["answers"];
    if (j.contains("faults")) sc.faults = j["faults"];
    const json& steps = j.at("steps");
    if (steps.empty()) bad("steps", "the list is empty: there is nothing to play");
    for (size_t i = 0; i < steps.size(); ++i) sc.steps.push_back(read_step(steps[i], sim::element_place("steps", i)));
    return sc;
}

Scenario read_scenario(const std::filesystem::path& file) {
    return scenario_from_json(parse_strict(read_bounded(file)), file);
}

}  // namespace scenario
