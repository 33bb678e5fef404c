// Several explorer windows on a ribbon host: each window's Update List follows that window's
// selection, a window opened later is followed too, and a window that closes is followed no
// more.
#include <gtest/gtest.h>

#include <memory>

#include "addin/connect.h"
#include "host/outlook.h"
#include "sim/model/objects.h"
#include "sim/model/ribbon.h"
#include "sim/sim_host.h"
#include "tools/quillamor-sim/ribbon_callbacks.h"

namespace ribbon_windows_test {
namespace {

using sim::Json;

class RibbonWindows : public ::testing::Test {
protected:
    void SetUp() override {
        host.load_profile(Json::parse(R"({"version": "16.0", "folders": [{"name": "Contacts",
            "defaultFor": "contacts", "itemType": 2, "items": [{"class": 69, "Subject": "Team"}]}]})"));
        connect->OnConnection(host.application(), 1, host::Object());
        ribbon.emplace(host.world_ptr(), connect->GetCustomUI(sim::explorer_ribbon));
        ribbon->show(invoker);
    }
    void TearDown() override {
        ribbon.reset();
        connect.reset();
        state.reset();
    }
    const sim::RibbonButton& update_list() { return *ribbon->find(u"Update List"); }
    void select_list(const std::shared_ptr<sim::ExplorerWindow>& window) {
        sim::select_items(host.world(), *window, {host.profile().stored_lists().front()});
    }
    std::shared_ptr<sim::ExplorerWindow> window(int n) { return host.world().explorers.number(n); }

    sim::SimHost host;
    std::unique_ptr<addin::ProcessState> state = std::make_unique<addin::ProcessState>(host, host.views());
    std::unique_ptr<addin::Connect> connect = std::make_unique<addin::Connect>(*state);
    sim::RibbonInvoker invoker = quillamor_sim::ribbon_callbacks(*connect);
    std::optional<sim::Ribbon> ribbon;
};

TEST_F(RibbonWindows, EachWindowAnswersForItsOwnSelection) {
    host.new_explorer();
    select_list(window(2));
    EXPECT_FALSE(ribbon->enabled(update_list(), invoker, window(1)));
    EXPECT_TRUE(ribbon->enabled(update_list(), invoker, window(2)));
    // The first window's selection is followed as well.
    select_list(window(1));
    EXPECT_TRUE(ribbon->enabled(update_list(), invoker, window(1)));
}

TEST_F(RibbonWindows, AClosedWindowIsFollowedNoMore) {
    host.new_explorer();
    auto second = window(2);
    EXPECT_EQ(second->events->subscribers(u"SelectionChange"), 1u);
    host.close_explorer();  // the second window was the active one
    EXPECT_EQ(second->events->subscribers(u"SelectionChange"), 0u);
    EXPECT_EQ(second->events->subscribers(u"Close"), 0u);
    EXPECT_EQ(window(1)->events->subscribers(u"SelectionChange"), 1u);
}

}  // namespace
}  // namespace ribbon_windows_test
