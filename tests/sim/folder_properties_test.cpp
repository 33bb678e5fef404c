// What a folder tells of itself beyond its items: whether the host hides it (PR_ATTR_HIDDEN
// through the folder's PropertyAccessor, from version 12 on) and whether its store refuses a
// filter or a walk of its items; and how a profile says so.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/outlook.h"
#include "sim/model/guard.h"
#include "sim/profile/profile_json.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

// Contacts with three subfolders: marked hidden, marked visible, not marked; the last one's
// store refuses filters.
Json marked_profile(const char* version) {
    Json p = Json::parse(R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "folders": [
        {"name": "Recipient Cache", "hidden": true},
        {"name": "Suppliers", "hidden": false},
        {"name": "Partners", "restrictFails": "0x80004005",
         "items": [{"class": 40, "FullName": "Ines Moreau", "Categories": ["Business"]}]},
        {"name": "Archive", "itemsFail": "0x80004005",
         "items": [{"class": 40, "FullName": "Kim Novak", "Categories": ["Business"]}]}]}]})");
    p["version"] = version;
    return p;
}

TEST(FolderProperties, TheHiddenMarkIsReadFromVersion12On) {
    struct Case {
        const char* version;
        const char* folder;
        const char* read;  // "true", "false", "not found", "no member"
    };
    const Case cases[] = {
        {"16.0", "Recipient Cache", "true"}, {"16.0", "Suppliers", "false"}, {"16.0", "Partners", "not found"},
        {"12.0", "Recipient Cache", "true"}, {"11.0", "Recipient Cache", "no member"},
        {"10.0", "Suppliers", "no member"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.folder);
        sim::SimHost host;
        host.load_profile(marked_profile(c.version));
        host::Application app(host.application());
        host::Folders subs = app.GetNamespace(u"MAPI").GetDefaultFolder(host::olFolderContacts).GetFolders();
        host::MAPIFolder folder(subs.object().call(u"Item", u(c.folder)));
        std::string read;
        try {
            read = folder.GetPropertyAccessor().GetProperty(host::pr_attr_hidden).as_bool() ? "true" : "false";
        } catch (const host::Failure& f) {
            read = f.number() == -2147221233 ? "not found" : f.number() == 438 ? "no member" : host::to_utf8(f.description());
        }
        EXPECT_EQ(read, c.read);
        // The host's own Application is trusted: no warning, though the member is protected.
        for (const auto& e : host.events()) EXPECT_NE(e["event"], "guard");
    }
    EXPECT_TRUE(sim::guarded_member(u"MAPIFolder", u"PropertyAccessor"));
}

// A direct subfolder of Contacts in a host of version 16 playing marked_profile.
host::MAPIFolder subfolder(sim::SimHost& host, const char16_t* name) {
    host.load_profile(marked_profile("16.0"));
    host::Application app(host.application());
    host::Folders subs = app.GetNamespace(u"MAPI").GetDefaultFolder(host::olFolderContacts).GetFolders();
    return host::MAPIFolder(subs.object().call(u"Item", name));
}

// The step fails as a store that refuses the folder answers.
void expect_refused(const std::function<void()>& step, const char* what) {
    try {
        step();
        ADD_FAILURE() << what << " was not refused";
    } catch (const host::Failure& f) {
        EXPECT_EQ(static_cast<uint32_t>(f.number()), 0x80004005u);
        EXPECT_EQ(f.description(), u"The operation failed.");
    }
}

TEST(FolderProperties, AStoreThatRefusesAFolderFailsEveryFilterOfItsItems) {
    sim::SimHost host;
    host::MAPIFolder partners = subfolder(host, u"Partners");
    EXPECT_EQ(partners.GetItems().Count(), 1);  // the items themselves are there
    expect_refused([&] { partners.GetItems().Restrict(u"[Categories] = 'Business'"); }, "the filter");
    sim::SimHost other;
    EXPECT_EQ(subfolder(other, u"Suppliers").GetItems().Restrict(u"[Categories] = 'Business'").Count(), 0);
}

TEST(FolderProperties, AStoreThatWillNotGiveAFolderFailsEveryWalkOfItsItems) {
    sim::SimHost host;
    host::MAPIFolder archive = subfolder(host, u"Archive");
    expect_refused([&] { archive.GetItems().object().for_each([](const host::Variant&) {}); }, "the walk");
}

TEST(FolderProperties, AProfileSaysItStrictly) {
    struct Case {
        const char* folder;   // the subfolder's JSON
        const char* error;    // nullptr: read
        int32_t restrict_fails;
        int32_t items_fail = 0;
    };
    const Case cases[] = {
        {R"({"name": "A", "restrictFails": -2147467259})", nullptr, -2147467259},
        {R"({"name": "A", "restrictFails": "0x8004010F"})", nullptr, -2147221233},
        {R"({"name": "A", "restrictFails": 0})", "must be a failure", 0},
        {R"({"name": "A", "restrictFails": "E_FAIL"})", "hex digits", 0},
        {R"({"name": "A", "restrictFails": "0x800040050"})", "hex digits", 0},
        {R"({"name": "A", "hidden": "yes"})", "\"hidden\" must be true or false", 0},
        {R"({"name": "A", "itemsFail": "0x80004005"})", nullptr, 0, -2147467259},
        {R"({"name": "A", "itemsFail": 0})", "must be a failure", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        Json p = Json::parse(R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "folders": []}]})");
        p["folders"][0]["folders"].push_back(Json::parse(c.folder));
        try {
            sim::Profile profile = sim::profile_from_json(p);
            EXPECT_EQ(c.error, nullptr);
            EXPECT_EQ(profile.contacts()->folders.at(0)->restrict_fails, c.restrict_fails);
            EXPECT_EQ(profile.contacts()->folders.at(0)->items_fail, c.items_fail);
        } catch (const sim::ScenarioError& e) {
            ASSERT_NE(c.error, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("profile.folders[1].folders[1]"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace sim_test
