#pragma once
// Which form and progress events of the screen a direct run keeps when outlook-sim plays it
// as a walk through the wizard. Natively a quickList or customList step starts the run
// directly; over COM the only way in is the wizard, so the step walks its pages and presses
// Next, and what the walk itself did is left out, so that the transcript is the direct
// run's. The walk goes through five states:
//   none        no walk: everything is kept;
//   walking     the pages up to the run: their changes are left out, but for the load that
//               the direct step itself causes (the name page's, when setting the list name
//               loads it natively);
//   final press the press that starts the run, until the run's first call into the host:
//               as walking;
//   running     the run: kept, but for the load of a page that was open before the walk
//               closed it, which for the direct step never went;
//   recovering  once the run reported a failure: the page putting itself back is left out,
//               since a direct run ends with the failure's message.
// Message boxes and failures are always kept.
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace outlook_sim {

class WalkFilter {
public:
    enum class State { None, Walking, FinalPress, Running, Recovering };

    // A walk begins with the pages in `loaded` loaded. `keep_load`: the page whose load the
    // direct step causes, unless it is loaded already (empty: none).
    void begin(const std::string& keep_load, const std::set<std::string>& loaded);
    // The next press starts the run.
    void final_press();
    // A call of the add-in into the host.
    void host_call();
    // The add-in told the user of a failure.
    void failure();
    void end();

    // Whether the form event (action: load, show, hide, unload) is kept.
    bool keep_form(const std::string& form, const std::string& action);
    // Whether a progress event is kept now.
    bool keep_progress() const { return !muted(); }

    State state() const { return state_; }

private:
    bool muted() const { return state_ == State::Walking || state_ == State::FinalPress || state_ == State::Recovering; }

    State state_ = State::None;
    std::string keep_load_;
    std::set<std::string> loaded_before_;  // forms loaded when the walk began
    std::set<std::string> reopening_;      // of those, the ones the walk closed
};

// The filter over a whole sequence of what the screen saw, in order: its events ("form",
// "progress", "failure", "msgbox", ...) and the walk's turns, {"walk": "begin", "keep": F,
// "loaded": [F...]}, {"walk": "finalPress"}, {"walk": "hostCall"} and {"walk": "end"}. Gives
// the events kept, in order.
std::vector<nlohmann::json> filter_walk(const std::vector<nlohmann::json>& seen);

}  // namespace outlook_sim
