#include "scenario/play.h"

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

#include "host/failure.h"
#include "host/outlook.h"
#include "host/text.h"
#include "scenario/unused.h"
#include "sim/model/objects.h"
#include "sim/sim_host.h"
#include "wizard/form_designs.h"

namespace scenario {

namespace {

// The design of the form a page step names, which must have the control it names.
template <PageStep S>
const wizard::FormDesign& page_of(const S& s) {
    const wizard::FormDesign* design = wizard::form_design(host::from_utf8(s.form));
    if (!design) throw Unplayable("unknown form \"" + s.form + "\"");
    if constexpr (requires { s.control; }) {
        const std::u16string control = host::from_utf8(s.control);
        bool found = s.control.empty();
        for (const auto& c : design->controls) found = found || c.name == control;
        if (!found) throw Unplayable("form " + s.form + " has no control \"" + s.control + "\"");
    }
    return *design;
}

std::string numbered(size_t step, const std::string& what) { return "step " + std::to_string(step) + ": " + what; }

}  // namespace

Unplayable not_connected() { return Unplayable("the add-in is not connected (no \"connect\" step before)"); }
Unplayable connected_already() { return Unplayable("the add-in is connected already"); }
Unplayable no_ribbon_button(const RibbonPress& s) {
    return Unplayable("no ribbon button labelled \"" + s.label + "\"" + (s.tab.empty() ? "" : " on " + s.tab));
}

namespace {

// The path of the profile's folder that holds the item; empty when none does.
std::u16string folder_holding(const sim::Profile& store, const sim::Item& item) {
    std::vector<const sim::Folder*> folders;
    for (const auto& f : store.folders) folders.push_back(f.get());
    while (!folders.empty()) {
        const sim::Folder* folder = folders.back();
        folders.pop_back();
        for (const auto& i : folder->items)
            if (i.get() == &item) return store.path_of(*folder);
        for (const auto& f : folder->folders) folders.push_back(f.get());
    }
    return {};
}

// What the store keeps of one list against what the step says it keeps; empty when it agrees.
std::string differs(const sim::Profile& store, const sim::Item& list, const CheckList& step) {
    auto compare = [](const std::string& what, const std::optional<std::string>& wanted, const std::u16string& kept) {
        if (!wanted || host::from_utf8(*wanted) == kept) return std::string();
        return what + " \"" + host::to_utf8(kept) + "\", not \"" + *wanted + "\"";
    };
    const auto source = list.stored->user_properties.find(std::u16string(u"QuillamorSource"));
    std::string out = compare("in the folder", step.folder, folder_holding(store, list));
    if (out.empty())
        out = compare("with the source", step.source,
                      source == list.stored->user_properties.end() ? std::u16string() : source->second);
    if (out.empty()) out = compare("with the note", step.note, list.stored->field(u"Body"));
    return out;
}

}  // namespace

void check_list(const sim::Profile& store, const CheckList& step) {
    const std::u16string subject = host::from_utf8(step.name);
    std::string found;
    for (const auto& item : store.stored_lists()) {
        if (item->stored->field(u"Subject") != subject) continue;
        found = differs(store, *item, step);
        if (found.empty()) return;
    }
    if (found.empty()) throw Unplayable("no distribution list \"" + step.name + "\" is in the store");
    throw Unplayable("the distribution list \"" + step.name + "\" is in the store " + found);
}

std::shared_ptr<sim::ExplorerWindow> explorer_window(const sim::SimHost& host, double number) {
    const sim::ExplorerWindows& windows = host.world().explorers;
    auto window = number == 0 ? windows.active : windows.number(static_cast<int64_t>(number));
    if (!window)
        throw Unplayable(number == 0 ? std::string("no explorer window is open")
                                     : "no explorer window " + std::to_string(static_cast<int64_t>(number)) + " is open");
    return window;
}

void activate(sim::SimHost& host, const Activate& step) { host.world().explorers.active = explorer_window(host, step.window); }

void select_items(sim::SimHost& host, const Select& step) {
    sim::World& world = host.world();
    auto window = explorer_window(host, step.window);
    const auto stored = host.profile().stored_items();
    std::vector<std::shared_ptr<sim::Item>> items;
    for (const auto& text : step.items) {
        const std::u16string name = host::from_utf8(text);
        auto found = std::find_if(stored.begin(), stored.end(), [&](const auto& item) {
            const sim::ItemData& d = *item->stored;
            return d.field(d.cls == host::olContact ? u"FullName" : u"Subject") == name;
        });
        if (found == stored.end()) throw Unplayable("no item \"" + text + "\" is in the store to select");
        items.push_back(*found);
    }
    sim::select_items(world, *window, std::move(items));
}

void load_into(sim::SimHost& host, const Scenario& scenario) {
    try {
        host.load_profile(scenario.profile);
        host.add_answers(scenario.answers);
        host.add_faults(scenario.faults);
    } catch (const sim::ScenarioError& e) {
        throw ScenarioFileError(e.what());
    }
}

void play_step(const Step& step, HostDriver& driver) {
    std::visit(
        [&driver](const auto& s) {
            if constexpr (PageStep<std::remove_cvref_t<decltype(s)>>) driver.play(s, page_of(s));
            else driver.play(s);
        },
        step);
}

std::optional<std::string> finish(const Scenario& scenario, HostDriver& driver, std::optional<std::string> error,
                                  size_t last_step) {
    driver.release();
    if (!error) {
        if (auto met = driver.take_error()) {
            error = numbered(last_step, *met);
            driver.stopping();
        }
    }
    if (!error)
        for (auto& e : unused_events(scenario, driver.host())) driver.record(std::move(e));
    driver.record(driver.host().world().end_event(driver.live_objects()));
    return error;
}

std::optional<std::string> play(const Scenario& scenario, HostDriver& driver) {
    std::optional<std::string> error;
    size_t number = 0;
    for (const Step& step : scenario.steps) {
        ++number;
        driver.begin_step(number, step);
        std::optional<std::string> thrown;
        try {
            play_step(step, driver);
        } catch (const Unplayable& e) {
            thrown = e.what();
        } catch (const sim::ScenarioError& e) {
            thrown = e.what();
        } catch (const host::Failure& f) {
            thrown = "a failure reached the host: " + sim::printable(host::to_utf8(f.description()));
        } catch (const std::exception& e) {
            thrown = sim::printable(e.what());
        }
        // What the host met during the step came before anything the step threw.
        if (auto met = driver.take_error()) thrown = std::move(met);
        if (thrown) {
            error = numbered(number, *thrown);
            driver.stopping();
        }
        driver.end_step();
        if (!error) {
            if (auto met = driver.take_error()) {
                error = numbered(number, *met);
                driver.stopping();
            }
        }
        if (error) break;
    }
    return finish(scenario, driver, std::move(error), number);
}

}  // namespace scenario
