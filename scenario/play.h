#pragma once
// Playing a scenario on a host driver: the steps in order until one cannot be played, then
// the end. Every host plays through here: quillamor-sim run and the tests over the
// substitute host, outlook-sim (one scenario, --batch and --sweep) over COM, and the walk
// generator, which chooses each step as it goes.
#include <optional>
#include <stdexcept>
#include <string>

#include "scenario/driver.h"
#include "scenario/scenario.h"
#include "sim/model/world.h"

namespace sim {
class SimHost;
struct Profile;
}

namespace scenario {

// A step that cannot be played on this host (a button that is not there, a form by a name
// no form has...). The play names the step; the message says what is wrong.
class Unplayable : public std::runtime_error {
public:
    explicit Unplayable(const std::string& what) : std::runtime_error(sim::printable(what)) {}
};

// What both drivers say of the same steps.
Unplayable not_connected();
Unplayable connected_already();
Unplayable no_ribbon_button(const RibbonPress& step);
// A checkList step on the host's store: Unplayable unless it holds the list.
void check_list(const sim::Profile& store, const CheckList& step);
// The user selects the step's items in the host's active explorer window (or the step's
// window); Unplayable when there is no such window or an item is not in the store.
void select_items(sim::SimHost& host, const Select& step);
// The explorer window a step numbers (0: the active one); Unplayable when it is not open.
std::shared_ptr<sim::ExplorerWindow> explorer_window(const sim::SimHost& host, double number);
// The user brings the step's window to the front; Unplayable when it is not open.
void activate(sim::SimHost& host, const Activate& step);

// The scenario's profile, answers and faults into the host; ScenarioFileError when any of
// them is malformed.
void load_into(sim::SimHost& host, const Scenario& scenario);

// Plays one step: a page step's form and control are checked against the forms' designs,
// then the driver plays it. Throws what the driver throws.
void play_step(const Step& step, HostDriver& driver);

// The end of a play, however it went: the host releases the add-in; unless the play stopped
// on `error`, an error the host met meanwhile stops it after its last step (`last_step`);
// unless it stopped, "unused" events for the faults that never fired and the answers no
// dialog took; then "end". Gives the error the play stopped on.
std::optional<std::string> finish(const Scenario& scenario, HostDriver& driver, std::optional<std::string> error,
                                  size_t last_step);

// Plays every step of the scenario in order, stopping at the first that cannot be played,
// then finishes. Gives the error it stopped on, "step N: what is wrong".
std::optional<std::string> play(const Scenario& scenario, HostDriver& driver);

}  // namespace scenario
