#include "scenario/unused.h"

#include "sim/sim_host.h"

namespace scenario {

using nlohmann::json;

std::vector<json> unused_events(const Scenario& scenario, const sim::SimHost& host) {
    std::vector<json> out;
    for (size_t i : host.unfired_faults())
        if (i < scenario.faults.size()) out.push_back({{"event", "unused"}, {"fault", scenario.faults[i]}});
    // Answers are taken in order, so the ones left are the last ones written.
    size_t left = std::min(host.answers_left(), scenario.answers.size());
    for (size_t i = scenario.answers.size() - left; i < scenario.answers.size(); ++i)
        out.push_back({{"event", "unused"}, {"answer", scenario.answers[i]}});
    return out;
}

std::optional<std::string> unused_warning(const std::vector<json>& events) {
    size_t faults = 0, answers = 0;
    for (const auto& e : events) {
        if (e.value("event", "") != "unused") continue;
        if (e.contains("fault")) ++faults;
        else ++answers;
    }
    if (faults == 0 && answers == 0) return std::nullopt;
    auto count = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string line = "warning: ";
    if (faults) line += count(faults, "fault never fired", "faults never fired");
    if (faults && answers) line += " and ";
    if (answers) line += count(answers, "answer was never used", "answers were never used");
    return line + " (see the \"unused\" events)";
}

}  // namespace scenario
