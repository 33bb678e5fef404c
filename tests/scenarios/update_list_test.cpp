// Update List beyond what the golden transcripts show: the updated list is the list a new run
// would make, it keeps its identity, and the record of where a list came from is optional.
#include <gtest/gtest.h>

#include <map>
#include <utility>

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

// A list with Exchange members, one of them kept under its whole Exchange address, is up to
// date right after it is made, however the host splits a member's text into name and address.
TEST(UpdateList, AnUnchangedListWithExchangeMembersHasNothingToChangeUnderEitherReading) {
    for (const char* reading : {"lastSpace", "exchangeName"}) {
        SCOPED_TRACE(reading);
        auto r = play("quick-exchange", [&](json& j) { j["profile"]["memberAddress"] = reading; });
        ASSERT_EQ(events(r, "saved").size(), 1u);
        const auto boxes = events(r, "msgbox");
        ASSERT_FALSE(boxes.empty());
        EXPECT_NE(boxes.back()["text"].get<std::string>().find("Nothing was changed."), std::string::npos)
            << boxes.back()["text"];
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

// Every host call of an update, failed in turn: whatever fails, the list the user sees
// afterwards is the list as it was or the list as saved, never one half changed; and the
// update lets go of everything it took.
TEST(UpdateList, AFailureAnywhereLeavesTheListWholeOrSaved) {
    const auto file = scenario_files::dir() / "update-list-changes.json";
    json j = json::parse(scenario_files::read_text(file));
    // The update alone: the fresh run that follows it in the file is not under test here.
    j["steps"] = json::array({{{"do", "connect"}},
                              {{"do", "select"}, {"items", {"Business"}}},
                              {{"do", "ribbon"}, {"label", "Update List"}},
                              {{"do", "select"}, {"items", {"Business"}}},
                              {{"do", "disconnect"}}});
    j["answers"] = json::array({{{"msgbox", "Yes"}}});
    const scenario::Scenario sc = scenario::scenario_from_json(j, file);
    auto clean = quillamor_sim::play(sc, {}, {.calls = true, .write = {}});
    ASSERT_FALSE(clean.error) << *clean.error;

    // The calls made from the press on, each by its object's type and its number there.
    std::vector<quillamor_sim::ExtraFault> faults;
    std::map<std::pair<std::string, std::string>, int64_t> seen;
    bool pressed = false;
    for (const auto& e : clean.events) {
        if (e["event"] == "ribbon" && e.value("action", "") == "press") pressed = true;
        if (e["event"] == "select" && pressed) break;
        if (e["event"] != "call") continue;
        const auto key = std::make_pair(e["object"].get<std::string>(), e["member"].get<std::string>());
        const int64_t n = ++seen[key];
        if (pressed) faults.push_back({key.second, n, key.first});
    }
    ASSERT_GT(faults.size(), 50u);

    const json original = events(clean, "select").front()["items"][0]["members"];
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.object + "." + fault.member + " #" + std::to_string(fault.occurrence));
        auto r = quillamor_sim::play(sc, {fault});
        EXPECT_EQ(r.events.back().value("liveObjects", -1), 0);
        if (r.error) {
            // A record that cannot be read makes the update ask where the members come from,
            // which this scenario has no answer for: it stops before anything is changed.
            EXPECT_NE(r.error->find("no answer is waiting"), std::string::npos) << *r.error;
            EXPECT_TRUE(events(r, "saved").empty());
            continue;
        }
        const auto selected = events(r, "select");
        ASSERT_EQ(selected.size(), 2u);
        const json after = selected.back()["items"][0]["members"];
        const auto saved = events(r, "saved");
        if (saved.empty()) {
            EXPECT_EQ(after, original);
        } else {
            EXPECT_EQ(after, saved.back()["members"]);
        }
        // The user is told the list was left as it was only when it was.
        for (const auto& f : events(r, "failure"))
            if (f["description"].get<std::string>().find("was left as it was") != std::string::npos) {
                EXPECT_TRUE(saved.empty()) << f["description"];
            }
    }
}

TEST(ListSource, TextsRoundTripAndOthersAreRefused) {
    using K = engine::ListSource::Kind;
    // IDs as long as a mailbox's: an entry ID of 70 hex digits, a store ID of 300.
    std::u16string entry_id = u"00000000", store_id;
    while (entry_id.size() < 70) entry_id += u"A1B2C3D4E5";
    while (store_id.size() < 300) store_id += u"0000000038A1BB1005E5101AA1BB08002B2A56C2";
    entry_id.resize(70);
    store_id.resize(300);
    for (const engine::ListSource& s : {engine::ListSource{K::quick, false, {}, {}},
                                        engine::ListSource{K::quick, true, {}, {}},
                                        engine::ListSource{K::custom, true, u"00AB", u"CD01"},
                                        engine::ListSource{K::custom, false, entry_id, store_id}}) {
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
