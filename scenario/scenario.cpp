#include "scenario/scenario.h"

#include <limits>
#include <map>

#include "host/sim/json_checks.h"
#include "scenario/json_file.h"

namespace scenario {

namespace {

using nlohmann::json;

[[noreturn]] void bad(const std::string& place, const std::string& what) {
    throw ScenarioFileError(place.empty() ? what : place + ": " + what);
}

// A scenario's own fields; the profile's are checked where it is read (host/sim).
const std::vector<std::string_view> scenario_fields = {
    "profile",
    "profileFile",
    "answers",
    "faults",
    "steps",
};

// The fields of each step besides "do": those it needs, then those it may have.
struct StepFields {
    std::vector<std::string_view> needed = {}, optional = {};
};
const std::map<std::string, StepFields, std::less<>>& step_fields() {
    static const std::map<std::string, StepFields, std::less<>> fields = {
        {"connect", {}},
        {"startupComplete", {}},
        {"newExplorer", {}},
        {"disconnect", {}},
        {"quickList", {}},
        {"customList", {{"name"}}},
        {"click", {{"tag"}}},
        {"ribbon", {{"label"}, {"tab"}}},
        {"press", {{"form", "control"}}},
        {"type", {{"form", "control", "text"}}},
        {"focus", {{"form", "control"}}},
        {"key", {{"form", "key"}}},
        {"move", {{"form", "left", "top"}}},
        {"close", {{"form"}}},
    };
    return fields;
}

std::vector<std::string_view> step_names() {
    std::vector<std::string_view> names;
    for (const auto& [name, fields] : step_fields()) names.push_back(name);
    return names;
}

std::string text_field(const json& step, std::string_view name, const std::string& place) {
    if (!step.contains(name)) return {};
    const json& v = step.at(std::string(name));
    if (!v.is_string()) bad(sim::field_place(place, name), "must be text");
    return v.get<std::string>();
}

// A page position in twips; anything beyond the 32-bit range is no place on any screen.
double position(const json& step, std::string_view name, const std::string& place) {
    if (!step.contains(name)) return 0;
    const json& v = step.at(std::string(name));
    if (!v.is_number()) bad(sim::field_place(place, name), "must be a number (twips)");
    double d = v.get<double>();
    if (d < std::numeric_limits<int32_t>::min() || d > std::numeric_limits<int32_t>::max())
        bad(sim::field_place(place, name), "is out of range (" + v.dump() + " twips)");
    return d;
}

}  // namespace

Step read_step(const json& j, const std::string& place) {
    if (!j.is_object() || !j.contains("do") || !j["do"].is_string()) bad(place, "a step needs a \"do\" field");
    Step s;
    s.action = j["do"].get<std::string>();
    s.source = j;
    auto known = step_fields().find(s.action);
    if (known == step_fields().end()) {
        std::string message = "unknown step \"" + s.action + "\"";
        std::string near = sim::nearest_name(s.action, step_names());
        if (!near.empty()) message += "; did you mean \"" + near + "\"?";
        bad(sim::field_place(place, "do"), message);
    }
    std::vector<std::string_view> allowed = {"do"};
    allowed.insert(allowed.end(), known->second.needed.begin(), known->second.needed.end());
    allowed.insert(allowed.end(), known->second.optional.begin(), known->second.optional.end());
    try {
        sim::only_fields(j, allowed, place);
    } catch (const sim::ScenarioError& e) {
        throw ScenarioFileError(e.what());
    }
    for (auto f : known->second.needed)
        if (!j.contains(f)) bad(place, "missing \"" + std::string(f) + "\" (a \"" + s.action + "\" step needs it)");
    s.form = text_field(j, "form", place);
    s.control = text_field(j, "control", place);
    s.text = text_field(j, "text", place);
    s.tag = text_field(j, "tag", place);
    s.key = text_field(j, "key", place);
    s.name = text_field(j, "name", place);
    s.label = text_field(j, "label", place);
    s.tab = text_field(j, "tab", place);
    s.left = position(j, "left", place);
    s.top = position(j, "top", place);
    if (s.action == "key" && s.key != "Enter" && s.key != "Tab" && s.key != "Shift+Tab" &&
        !(s.key.size() == 5 && s.key.rfind("Alt+", 0) == 0 && std::isalpha(static_cast<unsigned char>(s.key[4]))))
        bad(sim::field_place(place, "key"),
            "must be \"Enter\", \"Tab\", \"Shift+Tab\" or \"Alt+\" and a letter, not \"" + s.key + "\"");
    return s;
}

namespace {

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
