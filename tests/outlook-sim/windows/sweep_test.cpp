// How the fault sweep picks the calls to fail and judges how a run with one of them failing
// ended.
#include <gtest/gtest.h>

#include "tools/outlook-sim/sweep.h"

namespace {

using nlohmann::json;
using outlook_sim::Ending;

json call(const char* object, const char* member) { return {{"event", "call"}, {"object", object}, {"member", member}}; }
json failure() { return {{"event", "failure"}, {"number", 5}, {"description", "x"}}; }
json box(const char* text) { return {{"event", "msgbox"}, {"text", text}, {"style", 0}}; }

}  // namespace

// Each call becomes the fault that fails it, counted by member whatever the case of its name.
TEST(Sweep, FaultsCountEachMembersCalls) {
    auto faults = outlook_sim::faults_of({call("Items", "Restrict"), box("hello"), call("Items", "Count"),
                                          call("Items", "restrict"), {{"event", "end"}}});
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0].member, "Restrict");
    EXPECT_EQ(faults[0].occurrence, 1);
    EXPECT_EQ(faults[1].member, "Count");
    EXPECT_EQ(faults[1].occurrence, 1);
    EXPECT_EQ(faults[2].member, "restrict");
    EXPECT_EQ(faults[2].occurrence, 2);
}

TEST(Sweep, SampleSpreadsEvenlyAndTakesAllWhenAsked) {
    EXPECT_EQ(outlook_sim::even_sample(10, 5), (std::vector<size_t>{0, 2, 4, 6, 8}));
    EXPECT_EQ(outlook_sim::even_sample(7, 3), (std::vector<size_t>{0, 2, 4}));
    EXPECT_EQ(outlook_sim::even_sample(4, 0).size(), 4u);
    EXPECT_EQ(outlook_sim::even_sample(4, 9).size(), 4u);
    EXPECT_TRUE(outlook_sim::even_sample(0, 3).empty());
}

TEST(Sweep, Endings) {
    const outlook_sim::SweepFault restrict2{"Items", "Restrict", 2};
    struct Case {
        const char* what;
        std::vector<json> events;
        Ending ending;
    };
    const Case cases[] = {
        {"told at once", {call("Items", "Restrict"), call("Items", "Restrict"), failure(), call("App", "X"), box("Error 5: x")},
         Ending::Shown},
        {"the add-in went on", {call("Items", "Restrict"), call("Items", "RESTRICT"), box("Thank you")}, Ending::Skipped},
        {"back to the host", {call("Items", "Restrict"), call("Items", "Restrict"), {{"event", "result"}, {"call", "OnConnection"}}},
         Ending::Returned},
        {"never made", {call("Items", "Restrict")}, Ending::NotFired},
        {"told something else", {call("Items", "Restrict"), call("Items", "Restrict"), failure(), box("Thank you")},
         Ending::Unshown},
        {"told nothing", {call("Items", "Restrict"), call("Items", "Restrict"), failure(), call("App", "X")},
         Ending::Unshown},
        // One failure told and a later one not: the run as a whole did not tell.
        {"second untold",
         {call("Items", "Restrict"), call("Items", "Restrict"), failure(), box("Error 5: x"), failure(), {{"event", "end"}}},
         Ending::Unshown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outlook_sim::ending_of(c.events, restrict2), c.ending) << c.what;
    }
}
