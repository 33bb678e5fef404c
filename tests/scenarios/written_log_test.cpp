// The runner's transcript written as the run goes, with or without the host calls, says what
// the transcript of the held log says, and holds nothing back.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario_files.h"

namespace {

TEST(WrittenLog, SaysWhatTheHeldLogSays) {
    for (const auto& name : scenario_files::names()) {
        SCOPED_TRACE(name);
        auto sc = scenario::read_scenario(scenario_files::dir() / (name + ".json"));
        auto held = quillamor_sim::play(sc);
        for (bool calls : {false, true}) {
            const scenario::TranscriptOptions options{.json = true, .calls = calls};
            std::ostringstream expected, written;
            scenario::print_transcript(expected, held.events, options);
            size_t call_events = 0;
            auto r = quillamor_sim::play(sc, {}, {.calls = calls, .write = [&](const nlohmann::json& e) {
                                                       call_events += e.value("event", "") == "call";
                                                       scenario::print_event(written, e, options);
                                                   }});
            EXPECT_EQ(written.str(), expected.str()) << (calls ? "with" : "without") << " the calls";
            EXPECT_TRUE(r.events.empty());
            EXPECT_EQ(r.error, held.error);
            // Without --calls no call event is even made.
            if (!calls) EXPECT_EQ(call_events, 0u);
            else EXPECT_GT(call_events, 0u);
        }
    }
}

}  // namespace
