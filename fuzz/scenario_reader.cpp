// Any bytes as a scenario file and as a profile file: reading them either succeeds or ends in
// the reader's own one-line error; nothing else may escape, crash or run without bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scenario/json_file.h"
#include "scenario/scenario.h"
#include "sim/sim_host.h"

namespace {

// The one-line promise of every message.
void check_message(const char* what) {
    for (const char* c = what; *c; ++c)
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) std::abort();
}

// The profile, answers and faults as a play loads them into the host.
void load(const scenario::Scenario& sc) {
    sim::SimHost host;
    host.load_profile(sc.profile);
    host.add_answers(sc.answers);
    host.add_faults(sc.faults);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    nlohmann::json j;
    try {
        j = scenario::parse_strict(text);
    } catch (const scenario::ScenarioFileError& e) {
        check_message(e.what());
        return 0;
    }
    // As a scenario; a "profileFile" is looked for beside a file that does not exist.
    try {
        load(scenario::scenario_from_json(j, "/nonexistent/fuzz.json"));
    } catch (const scenario::ScenarioFileError& e) {
        check_message(e.what());
    } catch (const sim::ScenarioError& e) {
        check_message(e.what());
    }
    // As the profile that `play` walks.
    try {
        sim::SimHost host;
        host.load_profile(j.is_object() && j.contains("profile") ? j["profile"] : j);
    } catch (const sim::ScenarioError& e) {
        check_message(e.what());
    }
    return 0;
}
