// The random walks that are played natively and through the real add-in: each must play again
// from its file exactly as it went while it was made, and a series must reach every page and
// take every kind of step, on both kinds of host.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "scenario_files.h"
#include "tools/quillamor-sim/walks.h"

namespace {

using nlohmann::json;
using quillamor_sim::generate_walk;
using quillamor_sim::walk_seed;

json small_profile() { return scenario::read_profile(scenario_files::dir() / "profiles" / "small.json"); }

std::string transcript(const std::vector<json>& events) {
    std::ostringstream out;
    scenario::print_transcript(out, events, {.json = true});
    return out.str();
}

TEST(Walks, TheSameSeedGivesTheSameWalk) {
    const json profile = small_profile();
    EXPECT_EQ(generate_walk(profile, {.seed = 7}).scenario, generate_walk(profile, {.seed = 7}).scenario);
    EXPECT_NE(generate_walk(profile, {.seed = 7}).scenario, generate_walk(profile, {.seed = 8}).scenario);
    EXPECT_NE(walk_seed(1, 0), walk_seed(1, 1));
    EXPECT_NE(walk_seed(1, 0), walk_seed(2, 0));
}

TEST(Walks, ASeriesPlaysAgainAsItWentAndCoversThePages) {
    const json profile = small_profile();
    std::set<std::string> kinds, pages_shown, hosts;
    std::map<std::string, int> pressed;
    for (size_t i = 0; i < 60; ++i) {
        SCOPED_TRACE("walk " + std::to_string(i));
        auto walk = generate_walk(profile, {.seed = walk_seed(2026, i), .max_steps = 30});
        auto sc = scenario::scenario_from_json(walk.scenario, scenario_files::dir() / "walk.json");
        auto replay = quillamor_sim::play(sc, {}, {.calls = false, .write = {}});
        ASSERT_FALSE(replay.error) << *replay.error << "\n" << walk.scenario.dump(1);
        ASSERT_EQ(transcript(replay.events), transcript(walk.events)) << walk.scenario.dump(1);
        EXPECT_EQ(replay.events.back().value("liveObjects", -1), 0);
        for (const auto& s : walk.scenario["steps"]) {
            kinds.insert(s["do"].get<std::string>());
            if (s["do"] == "press") ++pressed[s["form"].get<std::string>() + "." + s["control"].get<std::string>()];
        }
        for (const auto& e : replay.events)
            if (e.value("event", "") == "form" && e.value("action", "") == "show") pages_shown.insert(e["form"]);
        hosts.insert(walk.scenario["profile"]["version"].get<std::string>());
    }
    for (const char* k : {"connect", "disconnect", "startupComplete", "newExplorer", "click", "ribbon", "press",
                          "type", "focus", "key", "move", "close"})
        EXPECT_TRUE(kinds.count(k)) << "no walk took a \"" << k << "\" step";
    for (const char* page : {"frmStartUp", "frmChoose", "frmTitle", "frmDone", "frmPBar"})
        EXPECT_TRUE(pages_shown.count(page)) << "no walk showed " << page;
    // The ways out of the pages: each page's cancel and its hand-over buttons.
    for (const char* press : {"frmStartUp.cmdStop", "frmStartUp.cmdStart", "frmChoose.cmdCancel", "frmChoose.cmdBack",
                              "frmChoose.cmdOk", "frmTitle.cmdCancel", "frmTitle.cmdBack", "frmDone.cmdOk",
                              "frmDone.cmdCancel"})
        EXPECT_GT(pressed[press], 0) << "no walk pressed " << press;
    EXPECT_EQ(hosts.size(), 2u) << "walks on one kind of host only";
}

}  // namespace
