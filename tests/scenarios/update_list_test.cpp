// Update List beyond what the golden transcripts show: the updated list is the list a new run
// would make, it keeps its identity, and the record of where a list came from is optional.
#include <gtest/gtest.h>

#include "engine/list_source.h"
#include "host/text.h"
#include "scenario_files.h"

namespace {

using nlohmann::json;

std::vector<json> events(const quillamor_sim::PlayResult& r, const std::string& kind) {
    std::vector<json> out;
    for (const auto& e : r.events)
        if (e["event"] == kind) out.push_back(e);
    return out;
}

quillamor_sim::PlayResult play(const std::string& name, const std::function<void(json&)>& change = {}) {
    json j = json::parse(scenario_files::read_text(scenario_files::dir() / (name + ".json")));
    if (change) change(j);
    auto r = quillamor_sim::play(scenario::scenario_from_json(j, scenario_files::dir() / (name + ".json")));
    EXPECT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.events.back().value("liveObjects", -1), 0);
    return r;
}

TEST(UpdateList, GivesTheMembersOfAFreshRunAndKeepsTheListsIdentity) {
    // The scenario updates the list, then makes a new one over the same categories and folders.
    auto r = play("update-list-changes");
    auto saved = events(r, "saved");
    auto selected = events(r, "select");
    ASSERT_EQ(saved.size(), 2u);
    ASSERT_FALSE(selected.empty());
    const json& before = selected.front()["items"][0];
    EXPECT_EQ(saved[0]["members"], saved[1]["members"]);
    EXPECT_EQ(saved[0]["entryId"], before["entryId"]);
    EXPECT_EQ(saved[0]["subject"], before["subject"]);
    EXPECT_EQ(saved[0]["categories"], before["categories"]);
    EXPECT_NE(saved[1]["entryId"], before["entryId"]);
}

TEST(UpdateList, NothingIsSavedUnlessTheUserSaysYesAndSomethingChanges) {
    for (const char* name : {"update-list-unchanged", "update-list-declined", "update-list-no-categories",
                             "update-list-save-fails", "ribbon-refused-start"}) {
        SCOPED_TRACE(name);
        auto r = play(name);
        EXPECT_TRUE(events(r, "saved").empty());
        // A list shown again after the attempt is the list as it was.
        auto selected = events(r, "select");
        if (selected.size() >= 2) {
            EXPECT_EQ(selected.front()["items"], selected.back()["items"]);
        }
    }
}

TEST(UpdateList, AListTooLargeForOneStaysTheFirstPart) {
    auto r = play("update-list-parts");
    auto saved = events(r, "saved");
    ASSERT_EQ(saved.size(), 2u);
    const json before = events(r, "select").front()["items"][0];
    EXPECT_EQ(saved[0]["entryId"], before["entryId"]);
    EXPECT_EQ(saved[0]["subject"], "Business (1 of 2)");
    EXPECT_EQ(saved[1]["subject"], "Business (2 of 2)");
    EXPECT_EQ(saved[0]["members"].size() + saved[1]["members"].size(), 5u);
}

TEST(UpdateList, AHostThatRefusesTheRecordStillGetsItsListSaved) {
    // The update reads the record, then writes it again as it saves the list: that write fails.
    auto r = play("update-list-changes", [](json& j) {
        j["faults"] = json::array({{{"member", "UserProperties"}, {"occurrence", 2}}});
    });
    auto saved = events(r, "saved");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0]["members"], saved[1]["members"]);
}

TEST(ListSource, TextsRoundTripAndOthersAreRefused) {
    using K = engine::ListSource::Kind;
    for (const engine::ListSource& s : {engine::ListSource{K::quick, false, {}, {}},
                                        engine::ListSource{K::quick, true, {}, {}},
                                        engine::ListSource{K::custom, true, u"00AB", u"CD01"}}) {
        auto back = engine::parse_source(engine::source_text(s));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->kind, s.kind);
        EXPECT_EQ(back->all_emails, s.all_emails);
        EXPECT_EQ(back->folder_entry_id, s.folder_entry_id);
        EXPECT_EQ(back->folder_store_id, s.folder_store_id);
    }
    for (const char16_t* bad : {u"", u"quick", u"quick;some", u"custom;one", u"custom;one;;X", u"quick;one;extra",
                                u"Quick;one"})
        EXPECT_FALSE(engine::parse_source(bad)) << host::to_utf8(bad);
}

}  // namespace
