#pragma once
// A connected add-in over a substitute host, with readers for the explorer window's command
// bars, for the tests of the toolbar and menu commands.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/connect.h"
#include "host/office.h"
#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/command_bars.h"
#include "sim/model/sim_object.h"
#include "sim/sim_host.h"

namespace commands_test {

using sim::Json;

// The Help menu with a submenu "Orvane About" that another program made, holding its own
// entry. Its caption differs from its tag so that a changed caption would show.
inline Json foreign_about() {
    return Json::parse(R"({"commandBars": {"Help": [
        {"type": 10, "caption": "Orvane A&bout", "tag": "Orvane About",
         "controls": [{"caption": "About Snapwise", "tag": "About Snapwise", "style": 3}]}]}})");
}

class CommandsTest : public ::testing::Test {
protected:
    void TearDown() override {
        connect.reset();
        state.reset();
    }

    // Creates the add-in over a host with this profile (the default profile when null).
    void create(const Json& profile = nullptr) {
        if (!profile.is_null()) host.load_profile(profile);
        state = std::make_unique<addin::ProcessState>(host, host.views());
        connect = std::make_unique<addin::Connect>(*state);
    }
    // Creates the add-in and lets the host connect it.
    void connected(const Json& profile = nullptr) {
        create(profile);
        connect->OnConnection(host.application(), 1, host::Object());
    }

    sim::CommandBarSet& bars() { return *sim::command_bars_of(host.world(), *host.world().explorers.active); }
    sim::CommandBarModel& bar(const char16_t* name) {
        auto b = sim::bar_named(bars(), name);
        if (!b) throw std::runtime_error("no bar " + host::to_utf8(name));
        return *b;
    }
    std::shared_ptr<sim::ControlModel> tagged(const char16_t* tag, int32_t type = 0) {
        return sim::control_tagged(bars(), tag, type);
    }
    static std::shared_ptr<sim::ControlModel> model(const host::Object& o) { return sim::entity_of<sim::ControlModel>(o); }

    std::vector<Json> events(const std::string& kind) const {
        std::vector<Json> out;
        for (const auto& e : host.events())
            if (e["event"] == kind) out.push_back(e);
        return out;
    }
    int calls(const std::string& name) const {
        int n = 0;
        for (const auto& c : host.call_names()) n += c == name;
        return n;
    }
    // Another program (or the user) deletes a control, through the host's objects.
    void delete_elsewhere(const char16_t* tag) {
        host::Application app(host.application());
        host::CommandBars all(app.ActiveExplorer().GetCommandBars());
        host::CommandBarControl(all.FindControl(host::FindCriteria{.tag = tag})).Delete();
    }

    sim::SimHost host;
    std::unique_ptr<addin::ProcessState> state;
    std::unique_ptr<addin::Connect> connect;
};

inline std::u16string u(const std::string& s) { return host::from_utf8(s); }

}  // namespace commands_test
