// Every way each page can be the last of the add-in's windows to go (tests/scenarios/exits):
// natively each gives its expected transcript, which the real add-in under Wine must give
// too (scripts/outlook-sim-exits plays the same table there, twice in one host process).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "scenario_files.h"

namespace {

std::filesystem::path exits_dir() { return scenario_files::dir() / "exits"; }

std::vector<std::string> table() {
    std::vector<std::string> out;
    std::ifstream in(exits_dir() / "table.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') out.push_back(line.substr(0, line.size() - 5));  // less ".json"
    return out;
}

class PageExit : public ::testing::TestWithParam<std::string> {};

TEST_P(PageExit, EndsAsExpectedWithNothingAlive) {
    auto r = quillamor_sim::play(scenario::read_scenario(exits_dir() / (GetParam() + ".json")));
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.events.back().value("liveObjects", -1), 0);
    const std::string actual = scenario_files::transcript(r);
    const auto expected_file = exits_dir() / "expected" / (GetParam() + ".jsonl");
    if (std::getenv("QUILLAMOR_UPDATE_GOLDEN")) std::ofstream(expected_file, std::ios::binary) << actual;
    EXPECT_EQ(actual, scenario_files::read_text(expected_file));
}

TEST(PageExits, TheTableNamesEveryScenarioOfItsFolder) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(exits_dir()))
        if (e.path().extension() == ".json") files.push_back(e.path().stem().string());
    std::sort(files.begin(), files.end());
    auto listed = table();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(files, listed);
}

INSTANTIATE_TEST_SUITE_P(Table, PageExit, ::testing::ValuesIn(table()), [](const auto& info) {
    std::string n = info.param;
    for (auto& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

}  // namespace
