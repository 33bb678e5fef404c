// Reading profiles, answers and faults from JSON, and the form views' records.
#include <gtest/gtest.h>

#include "sim/profile/profile_json.h"
#include "sim_fixture.h"
#include "wizard/form.h"

namespace sim_test {
namespace {

TEST(ProfileJson, ReadsFoldersItemsAndFlags) {
    sim::Profile p = sim::profile_from_json(Json::parse(R"({
      "folders": [{"name": "Kontakte", "defaultFor": "contacts",
                   "items": [{"FullName": "Zoë Brandt", "Categories": ["Café Owners", "VIP"], "Title": "Dr"}],
                   "folders": [{"name": "Büro", "folders": [{"name": "Alt"}]}]},
                  {"name": "Calendar", "defaultFor": "calendar"}],
      "explorer": false, "serviceLibrary": {"present": false, "initResult": -3},
      "picture": false, "redemption": false, "installFolder": "D:\\Apps\\Contact Lists"})"));
    ASSERT_TRUE(p.contacts());
    EXPECT_EQ(p.contacts()->name, u"Kontakte");
    const auto& zoe = p.contacts()->items.at(0)->current;
    EXPECT_EQ(zoe.cls, 40);  // the default class
    EXPECT_EQ(zoe.field(u"FullName"), u"Zo\u00EB Brandt");
    EXPECT_EQ(zoe.categories, u"Caf\u00E9 Owners, VIP");
    EXPECT_EQ(zoe.field(u"title"), u"Dr");  // other fields are properties, by any case
    auto alt = p.find(u"Kontakte/B\u00FCro/Alt");
    ASSERT_TRUE(alt);
    EXPECT_EQ(alt->item_type, 2);
    EXPECT_EQ(p.find(u"Calendar")->item_type, 1);
    EXPECT_EQ(p.path_of(*alt), u"Kontakte/B\u00FCro/Alt");
    EXPECT_FALSE(p.explorer);
    EXPECT_FALSE(p.service_present);
    EXPECT_EQ(p.service_init_result, -3);
    EXPECT_FALSE(p.picture);
    EXPECT_FALSE(p.redemption);
    EXPECT_EQ(p.install_folder, u"D:\\Apps\\Contact Lists\\");  // a folder, whether or not it ends in "\\"
    EXPECT_EQ(p.category_reading(), sim::CategoryReading::whole);  // version 11, the default
}

TEST(ProfileJson, CategoriesAreJoinedWithTheListSeparator) {
    sim::Profile p = sim::profile_from_json(Json::parse(R"({"listSeparator": ";", "version": "16.0",
      "folders": [{"name": "Contacts", "defaultFor": "contacts",
                   "items": [{"Categories": ["Sales & Marketing", "Q1: Leads"]}]}]})"));
    EXPECT_EQ(p.contacts()->items.at(0)->current.categories, u"Sales & Marketing; Q1: Leads");
    EXPECT_EQ(p.category_reading(), sim::CategoryReading::phrase);
}

TEST(ProfileJson, AProfileWithoutContactsGetsAnEmptyOne) {
    sim::Profile p = sim::profile_from_json(Json::parse(R"({"folders": [{"name": "Inbox", "defaultFor": "inbox"}]})"));
    ASSERT_TRUE(p.contacts());
    EXPECT_EQ(p.path_of(*p.contacts()), u"Contacts");
    EXPECT_TRUE(p.explorer);
    EXPECT_TRUE(p.service_present);
}

TEST(ProfileJson, MalformedInputIsAScenarioErrorThatSaysWhere) {
    struct Case {
        const char* what;  // "profile", "answers" or "faults"
        const char* json;
        const char* message;
    } cases[] = {
        {"profile", R"({"folder": []})", "folder: unknown field; did you mean \"folders\"?"},
        {"profile", R"({"folders": [{"name": "A", "defaultFor": "contacts"}, {"name": "B", "defaultFor": "contacts"}]})",
         "a second default folder"},
        {"profile", R"({"folders": [{"name": "A", "items": [{"Categories": ["x, y"]}]}]})", "items[1]: the category"},
        {"profile", R"({"folders": [{"name": "A", "items": [{"FullName": 3}]}]})", "\"FullName\" must be text"},
        {"profile", R"({"folders": [{"name": "A"}, {"name": "A"}]})", "two top-level folders"},
        {"profile", R"({"folders": [{"name": "Contacts"}]})", "no folder has \"defaultFor\""},
        {"profile", R"({"serviceLibrary": {"initResult": 1.5}})", "whole number"},
        {"profile", R"({"installFolder": ""})", "\"installFolder\" must name a folder"},
        {"profile", R"({"categoryFilter": "exact"})", "\"categoryFilter\" must be \"phrase\", \"whole\" or \"value\""},
        {"profile", R"({"listSeparator": ""})", "\"listSeparator\" must be one to three characters"},
        {"profile", R"({"listSeparator": "; "})", "none a blank"},
        {"profile", R"({"listSeparator": "x"})", "none a blank, letter or digit"},
        {"profile", R"({"listSeparator": ";", "folders": [{"name": "A", "items": [{"Categories": ["a;b"]}]}]})",
         "contains the list separator \";\""},
        {"answers", R"([{"msgbox": "Maybe"}])", "answers[1]: \"msgbox\" must be"},
        {"answers", R"([{"categories": "A", "msgbox": "Yes"}])", "one field"},
        {"faults", R"([{"member": "Save", "occurrence": 0}])", "faults[1]: \"occurrence\" counts from 1"},
        {"faults", R"([{"occurrence": 2}])", "needs a \"member\""},
        // Misspellings name their place and the field meant.
        {"profile", R"({"folders": [{"name": "A", "items": [{"FulName": "x"}]}]})",
         "profile.folders[1].items[1].FulName: unknown field; did you mean \"FullName\"?"},
        {"profile", R"({"folders": [{"name": "A", "folders": [{"name": "B", "itemtype": 2}]}]})",
         "profile.folders[1].folders[1].itemtype: unknown field; did you mean \"itemType\"?"},
        {"profile", R"({"commandBars": {"Standard": [{"type": 1, "captoin": "x"}]}})",
         "profile.commandBars.Standard[1].captoin: unknown field; did you mean \"caption\"?"},
        {"answers", R"([{"categorie": "A"}])", "answers[1].categorie: unknown field; did you mean \"categories\"?"},
        // Above the signed 64-bit range the number is kept unsigned: it must not wrap to -1.
        {"faults", R"([{"member": "Save", "occurrence": 18446744073709551615}])", "\"occurrence\" is out of range"},
        {"profile", R"({"serviceLibrary": {"initResult": 2147483648}})", "\"initResult\" is out of range"},
    };
    for (const auto& c : cases) {
        sim::SimHost h;
        Json j = Json::parse(c.json);
        try {
            std::string w = c.what;
            if (w == "profile") h.load_profile(j);
            else if (w == "answers") h.add_answers(j);
            else h.add_faults(j);
            ADD_FAILURE() << "accepted: " << c.json;
        } catch (const sim::ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(SimViews, RecordFormsWithTheirPlaceAndTheProgressBar) {
    sim::SimHost h;
    wizard::FormDesign d;
    d.name = u"frmPBar";
    d.start_left = 1500;
    d.start_top = 750;
    wizard::Control bar;
    bar.name = u"ProgressBar1";
    bar.kind = wizard::Kind::ProgressBar;
    d.controls.push_back(bar);
    wizard::Form form(d, h.views());
    form.show();
    form.set_max(u"ProgressBar1", 5);
    form.set_value(u"ProgressBar1", 2.5f);
    form.move_to(300, 200);
    form.hide();
    form.unload();
    auto ev = [](const char* action, int left, int top) {
        return Json{{"event", "form"}, {"form", "frmPBar"}, {"action", action}, {"left", left}, {"top", top}};
    };
    EXPECT_EQ(h.effects(), (std::vector<Json>{ev("load", 1500, 750), ev("show", 1500, 750),
                                              {{"event", "progress"}, {"max", 5}},
                                              {{"event", "progress"}, {"value", 2.5}}, ev("hide", 300, 200),
                                              ev("unload", 300, 200)}));
    EXPECT_FALSE(form.loaded());
}

}  // namespace
}  // namespace sim_test
