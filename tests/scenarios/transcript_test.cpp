// The readable transcript reads as words: no event is printed as raw JSON, message box styles
// and command-bar changes are named, and a value never breaks its line.
#include <gtest/gtest.h>

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
