#pragma once
// The substitute host with the add-in's code in it, as a host driver: the scenario player
// plays a file's steps on it, the walk generator the steps it chooses from what is on the
// screen after the last one, and the terminal walk-through connects the add-in and loads its
// ribbon with it.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "addin/connect.h"
#include "addin/process_state.h"
#include "scenario/driver.h"
#include "scenario/scenario.h"
#include "sim/model/ribbon.h"
#include "sim/sim_host.h"

namespace quillamor_sim {

// Extra faults (on top of the scenario's own) for the fault sweep.
struct ExtraFault {
    std::string member;
    int64_t occurrence = 1;
    std::string object;
};

// How the event log is kept. By default it holds every event, a call event for every host
// call included; a long run is better written as it happens.
struct LogOptions {
    bool calls = true;
    bool failures = false;  // a "log" event for every failure the support log is told of
    // When set, each event goes here as it happens and the log holds none.
    std::function<void(const nlohmann::json&)> write;
};

// Told of each step as it begins, for the readable transcript to say what the user did; the
// log never holds the steps.
using StepNote = std::function<void(size_t number, const scenario::Step&)>;

struct SimHostOptions {
    std::vector<ExtraFault> extra_faults;
    LogOptions log;
    // The forms' views; when null, the host's own, which record what a person would see.
    wizard::ViewFactory* views = nullptr;
};

class SimHostDriver : public scenario::HostDriver {
public:
    // Sets the host up from the scenario's profile, answers and faults (ScenarioFileError
    // when they are malformed); its steps are not played.
    SimHostDriver(const scenario::Scenario& scenario, const SimHostOptions& options = {});
    ~SimHostDriver() override;
    SimHostDriver(const SimHostDriver&) = delete;
    SimHostDriver& operator=(const SimHostDriver&) = delete;

    void play(const scenario::Connect&) override;
    void play(const scenario::StartupComplete&) override;
    void play(const scenario::NewExplorer&) override;
    void play(const scenario::Disconnect&) override;
    void play(const scenario::QuickList&) override;
    void play(const scenario::CustomList&) override;
    void play(const scenario::Click&) override;
    void play(const scenario::RibbonPress&) override;
    void play(const scenario::Press&, const wizard::FormDesign& page) override;
    void play(const scenario::Type&, const wizard::FormDesign& page) override;
    void play(const scenario::Focus&, const wizard::FormDesign& page) override;
    void play(const scenario::Key&, const wizard::FormDesign& page) override;
    void play(const scenario::Move&, const wizard::FormDesign& page) override;
    void play(const scenario::Close&, const wizard::FormDesign& page) override;
    void play(const scenario::CheckList&) override;
    void play(const scenario::Select&) override;
    void play(const scenario::Activate&) override;

    void note_steps(StepNote note) { step_note_ = std::move(note); }
    void begin_step(size_t number, const scenario::Step& step) override;
    // The host releases the add-in, then the add-in is unloaded.
    void release() override;
    const sim::SimHost& host() const override { return host_; }
    void record(nlohmann::json event) override { host_.record(std::move(event)); }
    int64_t live_objects() override { return host_.live_objects(); }

    sim::SimHost& host() { return host_; }
    bool connected() const { return connect_ != nullptr; }
    // The connected add-in; Unplayable when there is none.
    addin::Connect& connected_addin();
    // The ribbon a ribbon host built from the add-in's XML (shown or not yet), or null.
    const sim::Ribbon* ribbon() const { return ribbon_ ? &*ribbon_ : nullptr; }
    sim::Ribbon* ribbon() { return ribbon_ ? &*ribbon_ : nullptr; }
    // The add-in's ribbon callbacks, as the host calls them.
    sim::RibbonInvoker ribbon_invoker();
    // The form of that name, or null.
    wizard::Form* form(std::u16string_view name);

private:
    void new_state();
    bool host_call(const char* name, const std::function<void()>& call);
    void user_action(const std::function<void()>& act);
    void direct_run(const std::function<void()>& run);
    void load_ribbon();
    void on_page(const wizard::FormDesign& page, const std::function<void(wizard::Form&)>& act);

    sim::SimHost host_;
    StepNote step_note_;
    wizard::ViewFactory* views_;
    std::unique_ptr<addin::ProcessState> state_;
    std::unique_ptr<addin::Connect> connect_;
    std::optional<sim::Ribbon> ribbon_;
};

}  // namespace quillamor_sim
