#pragma once
// The substitute host with the add-in in it, played one step at a time: the scenario player
// plays a file's steps through it, and the walk generator chooses each next step from what
// is on the screen after the last one.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "addin/connect.h"
#include "addin/process_state.h"
#include "host/sim/ribbon.h"
#include "host/sim/sim_host.h"
#include "tools/quillamor-sim/player.h"
#include "scenario/scenario.h"

namespace quillamor_sim {

class StepPlayer {
public:
    // Sets the host up from the scenario's profile, answers and faults (a ScenarioError
    // when they are malformed); its steps are not played.
    StepPlayer(const scenario::Scenario& scenario, const std::vector<ExtraFault>& extra_faults, const LogOptions& log);
    ~StepPlayer();
    StepPlayer(const StepPlayer&) = delete;
    StepPlayer& operator=(const StepPlayer&) = delete;

    // Plays one step; `index` (from 1) is what messages call it. A step that cannot be
    // played throws scenario::ScenarioFileError or sim::ScenarioError.
    void step(const scenario::Step& s, size_t index);
    // The host releases the add-in, the add-in is unloaded, and the play ends with the
    // unused answers and faults (unless it stopped on an error) and the "end" event.
    PlayResult finish(std::optional<std::string> error);

    sim::SimHost& host() { return host_; }
    addin::ProcessState& state() { return *state_; }
    bool connected() const { return connect_ != nullptr; }
    // The ribbon, once a ribbon host shows it.
    const sim::Ribbon* ribbon() const { return ribbon_ && ribbon_->shown() ? &*ribbon_ : nullptr; }
    // The form of that name, or null.
    wizard::Form* form(const std::string& name);

private:
    [[noreturn]] void wrong(const std::string& what) const;
    addin::Connect& connected_addin();
    bool host_call(const char* name, const std::function<void()>& call);
    void user_action(const std::function<void()>& act);
    void direct_run(void (*run)(addin::ProcessState&));
    void load_ribbon();
    sim::RibbonInvoker ribbon_invoker();
    wizard::Form& form_with(const scenario::Step& s);

    const scenario::Scenario& sc_;
    sim::SimHost host_;
    std::unique_ptr<addin::ProcessState> state_;
    std::unique_ptr<addin::Connect> connect_;
    std::optional<sim::Ribbon> ribbon_;
    size_t index_ = 0;
};

}  // namespace quillamor_sim
