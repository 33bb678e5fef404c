// Every scenario under tests/scenarios played over the substitute host: its transcript must
// equal the expected one beside it (QUILLAMOR_UPDATE_GOLDEN=1 rewrites them after a change
// that is meant), and failing any single host call in turn must never crash the add-in or
// leave a host object alive. The scenarios the user guide cites (tests/scenarios/guide) are
// compared with their transcripts too; they take no part in the fault sweep, whose cost grows
// with the square of a scenario's calls and which they, walking the same code as the ones
// here over larger lists, would only slow down.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "scenario/wholeness.h"
#include "scenario_files.h"

namespace {

using quillamor_sim::ExtraFault;
using quillamor_sim::play;
using scenario::read_scenario;

class Scenario : public ::testing::TestWithParam<std::string> {};

void expect_golden_transcript(const std::string& name) {
    const auto expected_file = scenario_files::expected(name);
    std::string actual = scenario_files::transcript(play(read_scenario(scenario_files::file(name))));
    if (std::getenv("QUILLAMOR_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(expected_file.parent_path());
        std::ofstream(expected_file, std::ios::binary) << actual;
    }
    ASSERT_TRUE(std::filesystem::exists(expected_file)) << expected_file;
    EXPECT_EQ(actual, scenario_files::read_text(expected_file));
}

std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
    std::string n = info.param;
    for (auto& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

TEST_P(Scenario, TranscriptMatchesTheExpectedOne) { expect_golden_transcript(GetParam()); }

// Fails each host call of the scenario in turn (by member and occurrence, as a scenario's
// "faults" would), and checks what the user and the host are left with: the list is whole
// (it holds every member of the play without a fault), or the user was told.
TEST_P(Scenario, SurvivesAFailureOfEveryHostCall) {
    auto sc = read_scenario(scenario_files::dir() / (GetParam() + ".json"));
    auto clean = play(sc);
    std::map<std::string, int64_t> seen;
    std::vector<ExtraFault> sweep;
    for (const auto& e : clean.events)
        if (e.value("event", "") == "call") {
            std::string member = e.value("member", "");
            sweep.push_back({member, ++seen[member], ""});
        }
    ASSERT_FALSE(sweep.empty());
    for (const auto& fault : sweep) {
        SCOPED_TRACE(fault.member + " #" + std::to_string(fault.occurrence));
        auto r = play(sc, {fault});
        ASSERT_FALSE(r.events.empty());
        EXPECT_EQ(r.events.back().value("liveObjects", -1), 0) << "host objects left alive";
        // Whole, or told; or no list at all and no word of one (a button that never came, a
        // run that never began). A play whose script no longer fits (the failure brought a
        // question the scenario has no answer for) stopped where no user would: not judged.
        EXPECT_NE(scenario::wholeness(clean.events, r.events, r.error.has_value()), scenario::Wholeness::silent_loss)
            << "the list lacks members and the user was not told";
        // A failure that reaches the top of a user action is shown to the user at once.
        for (size_t i = 0; i < r.events.size(); ++i) {
            if (r.events[i].value("event", "") != "failure") continue;
            size_t next = i + 1;
            while (next < r.events.size() && r.events[next].value("event", "") == "call") ++next;
            ASSERT_LT(next, r.events.size());
            EXPECT_EQ(r.events[next].value("event", ""), "msgbox");
            EXPECT_EQ(r.events[next].value("text", "").rfind("Error ", 0), 0u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Scenario, ::testing::ValuesIn(scenario_files::names()), test_name);

class GuideScenario : public ::testing::TestWithParam<std::string> {};

TEST_P(GuideScenario, TranscriptMatchesTheExpectedOne) { expect_golden_transcript(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Guide, GuideScenario, ::testing::ValuesIn(scenario_files::guide_names()), test_name);

// Scenarios that cannot be played end with one line that says what is wrong.
struct Malformed {
    const char* name;
    const char* text;
    const char* message;
};

class MalformedScenario : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedScenario, SaysWhatIsWrong) {
    auto path = std::filesystem::temp_directory_path() / ("quillamor-malformed-" + std::string(GetParam().name) + ".json");
    std::ofstream(path) << GetParam().text;
    std::string message;
    try {
        auto r = play(read_scenario(path));
        ASSERT_TRUE(r.error.has_value());
        message = *r.error;
        EXPECT_EQ(r.events.back().value("liveObjects", -1), 0);
    } catch (const scenario::ScenarioFileError& e) {
        message = e.what();
    }
    std::filesystem::remove(path);
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
}

const char* const contacts = R"("profile": {"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": []}]})";

std::string with_contacts(const std::string& rest) { return "{" + std::string(contacts) + rest + "}"; }

const std::string unknown_step = with_contacts(R"(, "steps": [{"do": "fly"}])");
const std::string no_answer = with_contacts(R"(, "steps": [{"do": "connect"}, {"do": "quickList"}])");
const std::string unknown_folder =
    with_contacts(R"(, "answers": [{"pickFolder": "Nowhere"}], "steps": [{"do": "connect"}, {"do": "customList", "name": "x"}])");
const std::string unknown_form = with_contacts(R"(, "steps": [{"do": "press", "form": "frmNope", "control": "cmdOk"}])");
const std::string unknown_control = with_contacts(R"(, "steps": [{"do": "press", "form": "frmTitle", "control": "cmdNope"}])");
const std::string not_on_ribbon = with_contacts(R"(, "steps": [{"do": "connect"}, {"do": "ribbon", "label": "Quillamor Wizard"}])");
const std::string missing_field = with_contacts(R"(, "steps": [{"do": "type", "form": "frmTitle", "control": "txtSubject"}])");
const std::string list_not_saved = with_contacts(R"(, "steps": [{"do": "connect"}, {"do": "checkList", "name": "Nobody's"}])");
const std::string list_unnamed = with_contacts(R"(, "steps": [{"do": "checkList"}])");
// A list the store holds, but not as the step says: in another folder, of another source.
const std::string kept_list = R"({"profile": {"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2,
    "items": [{"class": 69, "Subject": "Team", "userProperties": {"QuillamorSource": "quick;one"}}]}]}, "steps": [)";
const std::string list_elsewhere = kept_list + R"({"do": "checkList", "name": "Team", "folder": "Contacts/Old"}]})";
const std::string list_of_other_source = kept_list + R"({"do": "checkList", "name": "Team", "source": "quick;all"}]})";
const std::string no_window = with_contacts(R"(, "steps": [{"do": "connect"}, {"do": "activate", "window": 2}])");
const std::string window_unnumbered = with_contacts(R"(, "steps": [{"do": "select", "items": [], "window": 1.5}])");

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedScenario,
    ::testing::Values(Malformed{"json", "{\"profile\": ", "bad JSON"},
                      Malformed{"noprofile", "{\"steps\": []}", "no \"profile\""},
                      Malformed{"step", unknown_step.c_str(), "unknown step \"fly\""},
                      Malformed{"answer", no_answer.c_str(), "no answer is waiting"},
                      Malformed{"folder", unknown_folder.c_str(), "Nowhere"},
                      Malformed{"form", unknown_form.c_str(), "unknown form \"frmNope\""},
                      Malformed{"control", unknown_control.c_str(), "no control \"cmdNope\""},
                      Malformed{"field", missing_field.c_str(), "missing \"text\""},
                      Malformed{"ribbon", not_on_ribbon.c_str(), "no ribbon button labelled \"Quillamor Wizard\""},
                      Malformed{"notsaved", list_not_saved.c_str(), "step 2: no distribution list \"Nobody's\" is in the store"},
                      Malformed{"unnamed", list_unnamed.c_str(), "missing \"name\" (a \"checkList\" step needs it)"},
                      Malformed{"elsewhere", list_elsewhere.c_str(), "is in the store in the folder \"Contacts\", not \"Contacts/Old\""},
                      Malformed{"source", list_of_other_source.c_str(), "with the source \"quick;one\", not \"quick;all\""},
                      Malformed{"nowindow", no_window.c_str(), "step 2: no explorer window 2 is open"},
                      Malformed{"window", window_unnumbered.c_str(), "must be a window's number, counted from 1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
