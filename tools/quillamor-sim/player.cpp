#include "tools/quillamor-sim/player.h"

#include "host/sim/world.h"
#include "tools/quillamor-sim/step_player.h"

namespace quillamor_sim {

PlayResult play(const scenario::Scenario& scenario, const std::vector<ExtraFault>& extra_faults, const LogOptions& log) {
    std::unique_ptr<StepPlayer> player;
    try {
        player = std::make_unique<StepPlayer>(scenario, extra_faults, log);
    } catch (const sim::ScenarioError& e) {  // the profile, answers or faults
        throw scenario::ScenarioFileError(e.what());
    }
    std::optional<std::string> error;
    for (size_t i = 0; i < scenario.steps.size() && !error; ++i) {
        try {
            player->step(scenario.steps[i], i + 1);
        } catch (const sim::ScenarioError& e) {
            error = "step " + std::to_string(i + 1) + ": " + e.what();
        } catch (const scenario::ScenarioFileError& e) {
            error = e.what();
        }
    }
    return player->finish(std::move(error));
}

}  // namespace quillamor_sim
