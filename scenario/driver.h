#pragma once
// A host that scenarios are played on: the substitute host with the add-in's code in it
// (tools/quillamor-sim), or the real add-in over COM (tools/outlook-sim). play() (play.h)
// hands a driver the steps in order and does what is the same on every host: checking the
// pages' names, stopping at the first step that cannot be played, reporting the faults and
// answers the scenario left unused, and the end.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "scenario/steps.h"
#include "wizard/form.h"

namespace sim {
class SimHost;
}

namespace scenario {

class HostDriver {
public:
    virtual ~HostDriver() = default;

    // --- one method per kind of step (steps.h). A step that this host cannot play throws
    // Unplayable (play.h), and a sim::ScenarioError of the host (a dialog with no answer
    // waiting...) ends the play the same way.
    virtual void play(const Connect&) = 0;
    virtual void play(const StartupComplete&) = 0;
    virtual void play(const NewExplorer&) = 0;
    virtual void play(const Disconnect&) = 0;
    virtual void play(const QuickList&) = 0;
    virtual void play(const CustomList&) = 0;
    virtual void play(const Click&) = 0;
    virtual void play(const RibbonPress&) = 0;
    // The steps on a page come with the page's design, which has the control they name.
    virtual void play(const Press&, const wizard::FormDesign& page) = 0;
    virtual void play(const Type&, const wizard::FormDesign& page) = 0;
    virtual void play(const Focus&, const wizard::FormDesign& page) = 0;
    virtual void play(const Key&, const wizard::FormDesign& page) = 0;
    virtual void play(const Move&, const wizard::FormDesign& page) = 0;
    virtual void play(const Close&, const wizard::FormDesign& page) = 0;
    virtual void play(const CheckList&) = 0;
    virtual void play(const Select&) = 0;
    virtual void play(const Activate&) = 0;

    // --- around each step (outlook-sim writes the transcript so far, times the step and lets
    // its message loop run)
    virtual void begin_step(size_t number, const Step& step) {}
    // After the step, however it ended.
    virtual void end_step() {}
    // An error the host met outside the step's own calls while it played (outlook-sim: a
    // message box that no answer fits): the play stops as if the step had thrown it. Only
    // the first counts; it is given once.
    virtual std::optional<std::string> take_error() { return std::nullopt; }
    // The play stops on an error: what the add-in does from here as it unwinds is not the
    // scenario's to record.
    virtual void stopping() {}

    // --- the end
    // The host releases the add-in, which is then unloaded.
    virtual void release() = 0;
    // The host whose faults and answers the scenario set: what never fired or was never
    // taken is reported.
    virtual const sim::SimHost& host() const = 0;
    // One of the play's own events ("unused", "end"), after all the host recorded.
    virtual void record(nlohmann::json event) = 0;
    // What the "end" event counts: the host's objects still alive once the add-in is gone.
    virtual int64_t live_objects() = 0;
};

}  // namespace scenario
