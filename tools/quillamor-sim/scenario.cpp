#include "tools/quillamor-sim/scenario.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace quillamor_sim {

namespace {

using nlohmann::json;

json parse_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ScenarioFileError("cannot read the file");
    std::stringstream buf;
    buf << in.rdbuf();
    try {
        return json::parse(buf.str());
    } catch (const json::parse_error& e) {
        std::string what = e.what();
        auto at = what.find("parse error");
        throw ScenarioFileError("bad JSON: " + (at == std::string::npos ? what : what.substr(at)));
    }
}

// Which fields each step needs besides "do".
const std::map<std::string, std::vector<std::string>>& step_fields() {
    static const std::map<std::string, std::vector<std::string>> fields = {
        {"connect", {}},
        {"startupComplete", {}},
        {"newExplorer", {}},
        {"disconnect", {}},
        {"quickList", {}},
        {"customList", {"name"}},
        {"click", {"tag"}},
        {"ribbon", {"label"}},
        {"press", {"form", "control"}},
        {"type", {"form", "control", "text"}},
        {"focus", {"form", "control"}},
        {"key", {"form", "key"}},
        {"move", {"form", "left", "top"}},
        {"close", {"form"}},
    };
    return fields;
}

std::string text_field(const json& step, const char* name, size_t index) {
    const json& v = step.at(name);
    if (!v.is_string())
        throw ScenarioFileError("step " + std::to_string(index) + ": \"" + name + "\" must be text");
    return v.get<std::string>();
}

Step read_step(const json& j, size_t index) {
    std::string where = "step " + std::to_string(index);
    if (!j.is_object() || !j.contains("do") || !j["do"].is_string())
        throw ScenarioFileError(where + ": a step needs a \"do\" field");
    Step s;
    s.action = j["do"].get<std::string>();
    s.source = j;
    auto known = step_fields().find(s.action);
    if (known == step_fields().end()) throw ScenarioFileError(where + ": unknown step \"" + s.action + "\"");
    for (const auto& f : known->second)
        if (!j.contains(f))
            throw ScenarioFileError(where + " (" + s.action + "): missing \"" + f + "\"");
    for (const char* f : {"form", "control", "text", "tag", "key", "name", "label", "tab"})
        if (j.contains(f)) {
            std::string v = text_field(j, f, index);
            if (std::string(f) == "form") s.form = v;
            else if (std::string(f) == "control") s.control = v;
            else if (std::string(f) == "text") s.text = v;
            else if (std::string(f) == "tag") s.tag = v;
            else if (std::string(f) == "key") s.key = v;
            else if (std::string(f) == "label") s.label = v;
            else if (std::string(f) == "tab") s.tab = v;
            else s.name = v;
        }
    for (const char* f : {"left", "top"})
        if (j.contains(f)) {
            if (!j[f].is_number()) throw ScenarioFileError(where + ": \"" + f + "\" must be a number");
            (std::string(f) == "left" ? s.left : s.top) = j[f].get<double>();
        }
    if (s.action == "key" && s.key != "Enter" && s.key != "Tab" && s.key != "Shift+Tab" &&
        !(s.key.size() == 5 && s.key.rfind("Alt+", 0) == 0 && std::isalpha(static_cast<unsigned char>(s.key[4]))))
        throw ScenarioFileError(where + ": key must be \"Enter\", \"Tab\", \"Shift+Tab\" or \"Alt+\" and a letter, not \"" + s.key + "\"");
    return s;
}

json unwrap_profile(const json& j) { return j.is_object() && j.contains("profile") ? j["profile"] : j; }

}  // namespace

json read_profile(const std::filesystem::path& file) {
    json j = parse_file(file);
    json p = unwrap_profile(j);
    if (!p.is_object()) throw ScenarioFileError("a profile must be a JSON object");
    return p;
}

Scenario read_scenario(const std::filesystem::path& file) {
    Scenario sc;
    sc.file = file;
    json j = parse_file(file);
    if (!j.is_object()) throw ScenarioFileError("a scenario must be a JSON object");
    if (j.contains("profileFile")) {
        if (!j["profileFile"].is_string()) throw ScenarioFileError("\"profileFile\" must be text");
        auto path = file.parent_path() / j["profileFile"].get<std::string>();
        try {
            sc.profile = read_profile(path);
        } catch (const ScenarioFileError& e) {
            throw ScenarioFileError("profile file " + path.string() + ": " + e.what());
        }
    }
    if (j.contains("profile")) {
        if (!j["profile"].is_object()) throw ScenarioFileError("\"profile\" must be an object");
        sc.profile = j["profile"];
    }
    if (!sc.profile.is_object()) throw ScenarioFileError("no \"profile\" (or \"profileFile\")");
    for (const char* list : {"answers", "faults", "steps"})
        if (j.contains(list) && !j[list].is_array())
            throw ScenarioFileError(std::string("\"") + list + "\" must be a list");
    if (j.contains("answers")) sc.answers = j["answers"];
    if (j.contains("faults")) sc.faults = j["faults"];
    if (j.contains("steps"))
        for (size_t i = 0; i < j["steps"].size(); ++i) sc.steps.push_back(read_step(j["steps"][i], i + 1));
    return sc;
}

}  // namespace quillamor_sim
