#include "tools/quillamor-sim/player.h"

#include "scenario/play.h"

namespace quillamor_sim {

PlayResult play(const scenario::Scenario& scenario, const std::vector<ExtraFault>& extra_faults, const LogOptions& log,
                StepNote step_note) {
    SimHostDriver driver(scenario, {.extra_faults = extra_faults, .log = log, .views = nullptr});
    driver.note_steps(std::move(step_note));
    PlayResult result;
    result.error = scenario::play(scenario, driver);
    result.events = driver.host().events();
    return result;
}

}  // namespace quillamor_sim
