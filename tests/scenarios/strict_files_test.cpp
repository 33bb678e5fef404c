// Scenario and profile files that cannot be played: each class of bad input gives one line
// that names the place, and nothing is read without bound.
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "scenario_files.h"
#include "scenario/json_file.h"
#include "scenario/unused.h"

namespace {

namespace fs = std::filesystem;
using scenario::ScenarioFileError;

const std::string contacts = R"("profile": {"folders": [{"name": "Contacts", "defaultFor": "contacts"}]})";

std::string scenario(const std::string& rest) { return "{" + contacts + ", " + rest + "}"; }

// A file of its own for each case, removed afterwards.
struct TempFile {
    fs::path path;
    explicit TempFile(const std::string& name, const std::string& text = {})
        : path(fs::temp_directory_path() / ("quillamor-strict-" + std::to_string(getpid()) + "-" + name)) {
        std::ofstream(path, std::ios::binary) << text;
    }
    ~TempFile() { fs::remove(path); }
};

// The message reading and playing the file gives, or "" when it plays.
std::string message_of(const fs::path& file) {
    try {
        auto r = quillamor_sim::play(scenario::read_scenario(file));
        return r.error.value_or("");
    } catch (const ScenarioFileError& e) {
        return e.what();
    }
}

struct Bad {
    const char* name;
    std::string text;
    std::string message;  // contained in the one line
};

void PrintTo(const Bad& bad, std::ostream* out) { *out << bad.name; }

class BadScenario : public ::testing::TestWithParam<Bad> {};

TEST_P(BadScenario, GivesOneLineThatNamesThePlace) {
    TempFile f(std::string(GetParam().name) + ".json", GetParam().text);
    std::string message = message_of(f.path);
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
    for (char c : message) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadScenario,
    ::testing::Values(
        // Misspelt and unknown fields, at the top, in a step, in the profile
        Bad{"top", scenario(R"("Steps": [{"do": "connect"}])"), "Steps: unknown field; did you mean \"steps\"?"},
        Bad{"fault", scenario(R"("fault": [], "steps": [{"do": "connect"}])"),
            "fault: unknown field; did you mean \"faults\"?"},
        Bad{"step", scenario(R"("steps": [{"do": "connect"}, {"do": "connect"}, {"do": "press", "form": "frmTitle", "contrl": "cmdNext"}])"),
            "steps[3].contrl: unknown field; did you mean \"control\"?"},
        Bad{"stepname", scenario(R"("steps": [{"do": "quicklist"}])"),
            "steps[1].do: unknown step \"quicklist\"; did you mean \"quickList\"?"},
        Bad{"nothingnear", scenario(R"("steps": [{"do": "connect", "colour": "red"}])"),
            "steps[1].colour: unknown field"},
        Bad{"profile", R"({"profile": {"folders": [{"name": "C", "defaultFor": "contacts", "item": []}]}, "steps": [{"do": "connect"}]})",
            "profile.folders[1].item: unknown field; did you mean \"items\"?"},
        // Fields given twice: the JSON library would keep the last in silence
        Bad{"twice", scenario(R"("steps": [{"do": "connect", "do": "disconnect"}])"), "steps[1].do: the field is given twice"},
        Bad{"twicetop", scenario(R"("steps": [], "steps": [{"do": "connect"}])"), "steps: the field is given twice"},
        // Nesting and numbers
        Bad{"deep", "{\"profile\": " + std::string(131000, '[') + std::string(131000, ']') + "}",
            "nested more than 25000 levels deep"},
        Bad{"deepobject", [] {
                std::string s;
                for (int i = 0; i < 30000; ++i) s += "{\"a\": ";
                return s + "1" + std::string(30000, '}');
            }(), "nested more than 25000 levels deep"},
        Bad{"huge", scenario(R"("steps": [{"do": "move", "form": "frmTitle", "left": 1e400, "top": 0}])"),
            "steps[1].left: the number 1e400 is out of range"},
        Bad{"hugeinlist", scenario(R"("steps": [{"do": "connect"}], "faults": [1, -1e999])"),
            "faults[2]: the number -1e999 is out of range"},
        Bad{"far", scenario(R"("steps": [{"do": "move", "form": "frmTitle", "left": 1e300, "top": 0}])"),
            "steps[1].left: is out of range"},
        Bad{"occurrence", scenario(R"("steps": [{"do": "connect"}], "faults": [{"member": "Save", "occurrence": 9223372036854775808}])"),
            "faults[1]: \"occurrence\" is out of range"},
        // Echoed values stay on one line, escaped, and are not cut at a NUL
        Bad{"escape", scenario(R"("steps": [{"do": "fl\u001b[2Jy"}])"), "unknown step \"fl\\u001b[2Jy\""},
        Bad{"newline", scenario(R"("steps": [{"do": "connect"}, {"do": "press", "form": "frm\nStartUp\r", "control": "x"}])"),
            "unknown form \"frm\\nStartUp\\r\""},
        Bad{"nul", scenario(R"("steps": [{"do": "a\u0000b"}])"), "unknown step \"a\\u0000b\""},
        Bad{"c1", scenario(R"("steps": [{"do": "x\u009by"}])"), "unknown step \"x\\u009by\""},
        // Files that hold no scenario
        Bad{"empty", "  \n", "the file is empty"},
        Bad{"profileonly", R"({"folders": []})", "there are no \"steps\" to play"},
        Bad{"nosteps", scenario(R"("steps": [])"), "steps: the list is empty"},
        Bad{"both", R"({"profile": {}, "profileFile": "x.json", "steps": [{"do": "connect"}]})", "not both"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StrictFiles, WhatIsNoRegularFileIsNotRead) {
    std::string dir = message_of(fs::temp_directory_path());
    EXPECT_NE(dir.find("is a directory"), std::string::npos) << dir;
    // A device would be read without end.
    std::string device = message_of("/dev/zero");
    EXPECT_NE(device.find("not a regular file"), std::string::npos) << device;
    std::string missing = message_of(fs::temp_directory_path() / "quillamor-no-such-file.json");
    EXPECT_NE(missing.find("no such file"), std::string::npos) << missing;
    TempFile big("big.json");
    fs::resize_file(big.path, scenario::max_file_bytes + 1);  // sparse: costs no disk
    std::string large = message_of(big.path);
    EXPECT_NE(large.find("larger than 16 MiB"), std::string::npos) << large;
}

TEST(StrictFiles, AProfileFileIsCheckedLikeAProfileAndTellsAScenarioApart) {
    TempFile profile("profile.json", R"({"profile": {"folders": []}, "answers": []})");
    TempFile sc("scenario.json", R"({"profileFile": ")" + profile.path.filename().string() +
                                     R"(", "steps": [{"do": "connect"}]})");
    std::string message = message_of(sc.path);
    EXPECT_NE(message.find("profile file"), std::string::npos) << message;
    EXPECT_NE(message.find("answers: unknown field beside \"profile\""), std::string::npos) << message;
    try {
        scenario::read_profile(sc.path);
        ADD_FAILURE() << "a scenario was read as a profile";
    } catch (const ScenarioFileError& e) {
        EXPECT_NE(std::string(e.what()).find("quillamor-sim run"), std::string::npos) << e.what();
    }
}

// A fault whose call never comes and an answer no dialog takes are reported, so that a test
// that injects or answers nothing does not pass in silence.
TEST(StrictFiles, FaultsThatNeverFiredAndAnswersLeftOverAreReported) {
    TempFile f("unused.json", scenario(R"("answers": [{"msgbox": "Yes"}, {"categories": null}],
        "faults": [{"member": "Restrict", "occurrence": 5}, {"member": "ActiveExplorer"}],
        "steps": [{"do": "connect"}, {"do": "disconnect"}])"));
    auto r = quillamor_sim::play(scenario::read_scenario(f.path));
    ASSERT_FALSE(r.error) << *r.error;
    std::vector<nlohmann::json> unused;
    for (const auto& e : r.events)
        if (e.value("event", "") == "unused") unused.push_back(e);
    ASSERT_EQ(unused.size(), 3u);
    EXPECT_EQ(unused[0]["fault"], nlohmann::json({{"member", "Restrict"}, {"occurrence", 5}}));
    EXPECT_EQ(unused[1]["answer"], nlohmann::json({{"msgbox", "Yes"}}));
    EXPECT_EQ(unused[2]["answer"], nlohmann::json({{"categories", nullptr}}));
    EXPECT_EQ(r.events.back().value("event", ""), "end");
    EXPECT_EQ(scenario::unused_warning(r.events).value_or(""),
              "warning: 1 fault never fired and 2 answers were never used (see the \"unused\" events)");
    EXPECT_EQ(scenario::readable(unused[0]), "fault never fired: Restrict, call 5");
}

}  // namespace
