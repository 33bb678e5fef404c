// outlook-sim's reading of the screen, without a screen: the filter that keeps a direct run's
// events out of the walk through the wizard that plays it, and the progress bar's messages
// read as a person sees the bar.
#include <gtest/gtest.h>

#include "tools/outlook-sim/progress.h"
#include "tools/outlook-sim/walk_filter.h"

namespace {

using nlohmann::json;

json form(const char* name, const char* action) {
    return {{"event", "form"}, {"form", name}, {"action", action}, {"left", 0}, {"top", 0}};
}
json progress(const char* field, int n) { return {{"event", "progress"}, {field, n}}; }
json begin(const char* keep, std::vector<std::string> loaded = {}) {
    return {{"walk", "begin"}, {"keep", keep}, {"loaded", loaded}};
}
const json final_press = {{"walk", "finalPress"}};
const json host_call = {{"walk", "hostCall"}};
const json end = {{"walk", "end"}};
const json failure = {{"event", "failure"}, {"number", 5}, {"description", "x"}};
const json box = {{"event", "msgbox"}, {"text", "Error 5: x"}};

struct Case {
    const char* what;
    std::vector<json> seen;
    std::vector<json> kept;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }

class WalkFilterCases : public ::testing::TestWithParam<Case> {};

TEST_P(WalkFilterCases, KeepsWhatTheDirectStepShows) { EXPECT_EQ(outlook_sim::filter_walk(GetParam().seen), GetParam().kept); }

INSTANTIATE_TEST_SUITE_P(
    Walks, WalkFilterCases,
    ::testing::Values(
        Case{"no walk keeps everything",
             {form("frmStartUp", "load"), progress("max", 3), form("frmStartUp", "unload")},
             {form("frmStartUp", "load"), progress("max", 3), form("frmStartUp", "unload")}},
        // The quick run: the pages up to Next are the walk's; the run's own windows are kept
        // from its first call into the host on.
        Case{"quick run",
             {begin(""), form("frmStartUp", "load"), form("frmStartUp", "show"), form("frmStartUp", "unload"),
              form("frmChoose", "load"), form("frmChoose", "show"), final_press, form("frmChoose", "hide"),
              progress("value", 0), host_call, form("frmPBar", "load"), progress("max", 9), progress("value", 1),
              form("frmDone", "show"), end, form("frmDone", "unload")},
             {form("frmPBar", "load"), progress("max", 9), progress("value", 1), form("frmDone", "show"),
              form("frmDone", "unload")}},
        // Setting the list name loads the name page natively: that load is the step's own, once.
        Case{"custom run keeps the name page's load",
             {begin("frmTitle"), form("frmTitle", "load"), form("frmTitle", "show"), form("frmTitle", "load"),
              final_press, host_call, end},
             {form("frmTitle", "load")}},
        Case{"a name page loaded before keeps no load",
             {begin("frmTitle", {"frmTitle"}), form("frmTitle", "show"), final_press, host_call, end}, {}},
        // A page open before the walk that the walk closed and the run opens again never went.
        Case{"a page the walk closed comes back",
             {begin("frmTitle", {"frmChoose"}), form("frmStartUp", "show"), form("frmTitle", "load"),
              form("frmChoose", "unload"), final_press, form("frmTitle", "hide"), host_call, form("frmChoose", "load"),
              form("frmChoose", "show"), end, form("frmChoose", "unload")},
             {form("frmTitle", "load"), form("frmChoose", "show"), form("frmChoose", "unload")}},
        Case{"a page the walk did not close loads as usual",
             {begin(""), final_press, host_call, form("frmChoose", "load"), end}, {form("frmChoose", "load")}},
        // Once the run told the user of a failure, the page putting itself back is the walk's.
        Case{"recovering after a failure",
             {begin(""), final_press, host_call, form("frmPBar", "load"), failure, box, form("frmPBar", "unload"),
              progress("value", 2), form("frmChoose", "show"), end, form("frmChoose", "hide")},
             {form("frmPBar", "load"), failure, box, form("frmChoose", "hide")}},
        // A failure while walking (before the run) is shown, and changes nothing.
        Case{"a failure before the run",
             {begin(""), failure, box, form("frmChoose", "show"), final_press, host_call, form("frmPBar", "load"), end},
             {failure, box, form("frmPBar", "load")}},
        // The final press mutes until the run's first call; calls before it change nothing.
        Case{"calls while walking",
             {begin(""), host_call, form("frmChoose", "show"), final_press, form("frmChoose", "hide"), host_call,
              form("frmPBar", "show"), end},
             {form("frmPBar", "show")}}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (auto& c : n)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

// The page sets range and value as it makes the bar and at each change of the range, and the
// value alone at each change of the value.
TEST(ProgressReading, ANewMaximumOrANewValueIsNews) {
    outlook_sim::ProgressReading bar;
    struct Message {
        bool range;
        int64_t n;
        json event;  // null: nothing to record
    };
    const Message messages[] = {
        {true, 100, nullptr}, {false, 0, nullptr},           // the bar is made
        {true, 9, progress("max", 9)}, {false, 0, nullptr},  // a new range; its value is not news
        {false, 0, progress("value", 0)},                    // the value set again is
        {false, 1, progress("value", 1)},
        {true, 9, nullptr}, {false, 1, progress("value", 1)},  // the same range: its value is news
    };
    for (size_t i = 0; i < std::size(messages); ++i) {
        SCOPED_TRACE(i);
        const auto& m = messages[i];
        auto event = m.range ? bar.range(m.n) : bar.position(m.n);
        EXPECT_EQ(event.value_or(json(nullptr)), m.event);
    }
}

}  // namespace
