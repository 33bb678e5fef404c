// The readable transcript reads as words: no event is printed as raw JSON, message box styles
// and command-bar changes are named, and a value never breaks its line; it says what the
// user did, names pages by their captions and folds a run's progress into one line, while
// the JSON lines keep every event as it was.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario_files.h"

namespace {

using nlohmann::json;
using scenario::readable;

TEST(ReadableTranscript, NamesMessageBoxStyles) {
    struct {
        int64_t style;
        const char* words;
    } cases[] = {
        {0, "OK (0)"},
        {68, "Yes/No with the information icon (68)"},
        {16, "OK with the critical icon (16)"},
        {292, "Yes/No with the question icon and the second button as default (292)"},
        {4096 + 48 + 1, "OK/Cancel with the exclamation icon and system modal (4145)"},
        {3 + 512, "Yes/No/Cancel with the third button as default (515)"},
    };
    for (const auto& c : cases) EXPECT_EQ(scenario::message_box_style(c.style), c.words);
}

TEST(ReadableTranscript, TellsCommandBarChangesAsSentences) {
    auto control = [](const char* action, const char* bar, const char* caption, const char* tag, int type, json style,
                      int index) {
        return json{{"event", "control"}, {"action", action}, {"bar", bar},     {"caption", caption},
                    {"tag", tag},         {"type", type},     {"style", style}, {"index", index}};
    };
    struct {
        json event;
        const char* line;
    } cases[] = {
        {control("add", "Standard", "Quillamor Wizard", "QuillamorWiz", 1, 1, 2),
         "added button \"Quillamor Wizard\" to the Standard toolbar at 2, tag \"QuillamorWiz\", icon only"},
        {control("delete", "Actions", "Quillamor", "Quillamor", 1, 3, 8),
         "deleted button \"Quillamor\" from the Actions menu at 8, icon and caption"},
        {control("add", "Help", "Orvane About", "", 10, nullptr, 3),
         "added menu \"Orvane About\" to the Help menu at 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(readable(c.event), c.line);
}

TEST(ReadableTranscript, NothingReadsAsRawJsonAndEveryEventKeepsToItsLines) {
    json events[] = {
        {{"event", "msgbox"}, {"title", "Quillamor"}, {"style", 68}, {"text", "Make\nanother?"}, {"answer", "Yes"}},
        {{"event", "clipboard"}, {"formats", {"CF_DIB", "Toolbar Button Face"}}},
        {{"event", "saved"}, {"entryId", "00AB"}, {"subject", "Team\x1b[2J"}, {"categories", "A"}, {"members", {"a"}}},
        {{"event", "dialog"}, {"kind", "categories"}, {"answer", nullptr}},
        {{"event", "call"}, {"object", "Items"}, {"member", "Restrict"}, {"args", {"[Categories] = 'A'"}}},
        {{"event", "unused"}, {"answer", {{"pickFolder", "Contacts/Clients"}}}},
        // An event kind added later still prints as words.
        {{"event", "banner"}, {"action", "press"}, {"label", "Wizard"}, {"pressed", true}},
    };
    const char* lines[] = {
        "message box \"Quillamor\", Yes/No with the information icon (68): Make\\nanother?  -> Yes",
        "clipboard holds CF_DIB, Toolbar Button Face",
        "saved list \"Team\\u001b[2J\" [categories \"A\"] as 00AB, 1 members\n    a",
        "categories dialog -> cancelled",
        "  call Items.Restrict(\"[Categories] = 'A'\")",
        "answer never used: pickFolder \"Contacts/Clients\"",
        "banner: action \"press\", label \"Wizard\", pressed yes",
    };
    for (size_t i = 0; i < std::size(events); ++i) {
        std::string line = readable(events[i]);
        EXPECT_EQ(line, lines[i]);
        EXPECT_EQ(line.find('{'), std::string::npos) << line;
    }
}

TEST(ReadableTranscript, SaysEachStepWithPagesByCaptionAndControlsByText) {
    using namespace scenario;
    struct {
        Step step;
        const char* line;
    } cases[] = {
        {Connect{}, "step 1: the host connects the add-in"},
        {Click{"QuillamorWiz"}, "step 1: the user clicks the add-in's button tagged \"QuillamorWiz\""},
        // The caption's access-key marker is not what the user reads.
        {Press{"frmStartUp", "cmdStart"}, "step 1: the user presses \"Next >\" on \"Quillamor - Start Up\""},
        // A text box's text is what the user types, not its name.
        {Type{"frmTitle", "txtSubject", "Team\n"}, "step 1: the user types \"Team\\n\" into txtSubject on \"Quillamor - Name\""},
        {Key{"frmChoose", "Alt+Q"}, "step 1: the user presses Alt+Q on \"Quillamor - Work Type\""},
        {Move{"frmDone", 2000, 1500.5}, "step 1: the user drags \"Quillamor - Done!\" to (2000, 1500.5)"},
        {Close{"frmTitle"}, "step 1: the user closes \"Quillamor - Name\" by its frame"},
        {CustomList{"VIP"}, "step 1: a custom list named \"VIP\" is made directly"},
        // The host's own ribbon event says which button was pressed.
        {RibbonPress{"Wizard", ""}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(step_sentence(1, c.step), c.line);
}

TEST(ReadableTranscript, NamesWindowsByTheirCaptions) {
    auto form = [](const char* name, const char* action) {
        return json{{"event", "form"}, {"form", name}, {"action", action}, {"left", 975}, {"top", 1365.5}};
    };
    EXPECT_EQ(readable(form("frmStartUp", "show")), "window \"Quillamor - Start Up\" shows at (975, 1365.5)");
    EXPECT_EQ(readable(form("frmPBar", "unload")), "window \"Creating in progress\" is unloaded at (975, 1365.5)");
    // A form no design has keeps the name the log gives it.
    EXPECT_EQ(readable(form("frmOther", "load")), "window form frmOther is loaded at (975, 1365.5)");
}

TEST(ReadableTranscript, FoldsEachRunsProgressIntoOneLine) {
    auto progress = [](const char* field, int n) { return json{{"event", "progress"}, {field, n}}; };
    const json done = {{"event", "display"}, {"entryId", "00AB"}};
    const json call = {{"event", "call"}, {"object", "Items"}, {"member", "Count"}, {"args", json::array()}};
    struct {
        const char* what;
        bool calls;
        std::vector<json> events;
        const char* text;
    } cases[] = {
        {"a run", false, {progress("max", 9), progress("value", 0), progress("value", 1), progress("value", 6), done},
         "progress bar maximum 9: 3 steps, 0 to 6\nlist window opens on 00AB\n"},
        {"two runs, the second cut short by the end of the log", false,
         {progress("max", 2), progress("value", 1), progress("value", 2), progress("max", 5), progress("value", 1)},
         "progress bar maximum 2: 2 steps, 1 to 2\nprogress bar maximum 5: at 1\n"},
        {"calls not shown do not cut the line", false, {progress("max", 3), call, progress("value", 3)},
         "progress bar maximum 3: at 3\n"},
        {"calls shown keep their order", true, {progress("max", 3), call, progress("value", 3)},
         "progress bar maximum 3\n  call Items.Count()\nprogress bar 3\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        scenario::print_transcript(out, c.events, {.json = false, .calls = c.calls});
        EXPECT_EQ(out.str(), c.text) << c.what;
    }
}

// The steps reach the readable printer only: a play told of them logs the same events, byte
// for byte, as one that is not, and is told of every step in order.
TEST(ReadableTranscript, StepNotesLeaveTheLogAsItWas) {
    for (const auto& name : scenario_files::names()) {
        auto s = scenario::read_scenario(scenario_files::dir() / (name + ".json"));
        std::vector<nlohmann::json> plain, noted;
        std::vector<size_t> steps;
        quillamor_sim::play(s, {}, {.calls = true, .write = [&](const json& e) { plain.push_back(e); }});
        quillamor_sim::play(s, {}, {.calls = true, .write = [&](const json& e) { noted.push_back(e); }},
                            [&](size_t n, const scenario::Step&) { steps.push_back(n); });
        EXPECT_EQ(noted, plain) << name;
        ASSERT_FALSE(steps.empty()) << name;
        for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], i + 1) << name;
    }
}

// The readable transcript of every test scenario: each event on its own line(s), none raw.
TEST(ReadableTranscript, EveryTestScenarioReadsAsWords) {
    for (const auto& name : scenario_files::names()) {
        auto r = quillamor_sim::play(scenario::read_scenario(scenario_files::dir() / (name + ".json")));
        for (const auto& e : r.events) {
            if (e.value("event", "") == "call") continue;
            std::string line = readable(e);
            EXPECT_EQ(line.find("{\""), std::string::npos) << name << ": " << line;
            EXPECT_EQ(line.find("[\""), std::string::npos) << name << ": " << line;
        }
    }
}

}  // namespace
