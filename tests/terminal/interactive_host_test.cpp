// The substitute host with a person answering its dialogs (the terminal walk-through's hook):
// the runs ask the person instead of the script, the person sees the profile's own
// categories and folders, and the answers are recorded as scripted ones are.
#include <gtest/gtest.h>

#include "addin/process_state.h"
#include "engine/custom_list.h"
#include "engine/quick_list.h"
#include "sim/model/interactive.h"
#include "tests/sim/sim_fixture.h"

namespace {

using sim_test::Json;
using sim_test::u;

class Person : public sim::AnswerProvider {
public:
    std::optional<std::u16string> selection;
    std::u16string folder;  // a path; empty: cancel the picker
    int32_t yes_no = host::vbYes;

    std::vector<std::u16string> offered;
    std::vector<std::u16string> tree;  // the top-level folders shown
    std::vector<std::pair<std::u16string, int32_t>> boxes;

    std::optional<std::u16string> categories(const std::vector<std::u16string>& available,
                                             std::u16string_view) override {
        offered = available;
        return selection;
    }
    std::shared_ptr<sim::Folder> pick_folder(const std::vector<std::shared_ptr<sim::Folder>>& top) override {
        std::shared_ptr<sim::Folder> found;
        for (const auto& f : top) {
            tree.push_back(f->name);
            if (folder.starts_with(f->name)) {
                found = f;
                for (const auto& sub : f->folders)
                    if (folder == f->name + u"/" + sub->name) found = sub;
            }
        }
        return folder.empty() ? nullptr : found;
    }
    int32_t msgbox(std::u16string_view text, int32_t style, std::u16string_view) override {
        boxes.emplace_back(text, style);
        return (style & 15) == host::vbYesNo ? yes_no : host::vbOK;
    }
};

class InteractiveHost : public sim_test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        host.set_interactive(&person);
        state.set_application(host.application());
    }

    std::vector<Json> dialogs() const { return events("dialog"); }

    Person person;
    wizard::HeadlessViews views;
    addin::ProcessState state{host, views};
};

TEST_F(InteractiveHost, QuickRunAsksThePersonAndRecordsTheAnswers) {
    person.selection = u"Business";
    engine::MakeQuickList(state);

    // Every category the profile's items carry, once, in sorted order (case counts).
    EXPECT_EQ(person.offered, (std::vector<std::u16string>{u"Business", u"Personal", u"VIP", u"vip"}));
    ASSERT_EQ(person.boxes.size(), 2u);
    EXPECT_EQ(person.boxes[0].second, 68);
    EXPECT_EQ(person.boxes[1], (std::pair<std::u16string, int32_t>{u"Thank you for your time.", 0}));

    auto d = dialogs();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0]["kind"], "categories");
    EXPECT_EQ(d[0]["answer"], "Business");
    auto boxes = events("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]["answer"], "Yes");
    EXPECT_EQ(boxes[1]["answer"], "OK");
    auto saved = events("saved");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0]["subject"], "Business");
    EXPECT_EQ(host.answers_left(), 0u);
}

TEST_F(InteractiveHost, CancelledCategoriesAreRecordedAsCancelled) {
    person.selection = std::nullopt;
    engine::MakeQuickList(state);

    auto d = dialogs();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_TRUE(d[0]["answer"].is_null());
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].first, u"You have not selected any categories.");
    EXPECT_TRUE(events("saved").empty());
}

TEST_F(InteractiveHost, TheFolderPickerShowsTheProfileTreeAndRecordsThePath) {
    struct Case {
        const char* folder;
        bool saved;
        Json answer;
    };
    const Case cases[] = {
        {"Contacts/Clients", true, "Contacts/Clients"},
        {"", false, nullptr},  // cancelled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        host.world().clear_events();
        person.tree.clear();
        person.boxes.clear();
        person.folder = u(c.folder);
        person.selection = u"Business";
        state.forms.frmTitle.set_subject(u"Friends");
        engine::MakeCustomList(state);

        EXPECT_EQ(person.tree, (std::vector<std::u16string>{u"Contacts", u"Inbox"}));
        auto d = dialogs();
        ASSERT_FALSE(d.empty());
        EXPECT_EQ(d[0]["kind"], "pickFolder");
        EXPECT_EQ(d[0]["answer"], c.answer);
        auto saved = events("saved");
        EXPECT_EQ(saved.size(), c.saved ? 1u : 0u);
        if (c.saved) {
            EXPECT_EQ(saved[0]["subject"], "Friends");
        } else {
            EXPECT_FALSE(person.boxes.empty());  // the run says why it stopped
        }
    }
}

TEST_F(InteractiveHost, WithoutThePersonTheScriptAnswersAgain) {
    host.set_interactive(nullptr);
    host.answer_categories(std::nullopt);
    engine::MakeQuickList(state);
    EXPECT_TRUE(person.offered.empty());
    EXPECT_TRUE(person.boxes.empty());
    EXPECT_EQ(host.answers_left(), 0u);

    // With no answer waiting, a dialog cannot be played.
    EXPECT_THROW(engine::MakeQuickList(state), sim::ScenarioError);
}

TEST(CategoriesInUse, EachNameOnceSortedFromEveryFolder) {
    struct Case {
        const char* name;
        const char* profile;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"no items", R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "items": []}]})", {}},
        {"nested folders, other item kinds, repeats",
         R"({"folders": [
              {"name": "Contacts", "defaultFor": "contacts", "items": [
                 {"class": 40, "Categories": ["Zeta", "Alpha"]},
                 {"class": 69, "Categories": ["Alpha"]}],
               "folders": [{"name": "A", "folders": [{"name": "B", "items": [
                 {"class": 40, "Categories": ["Deep"]}]}]}]},
              {"name": "Inbox", "itemType": 0, "items": [{"class": 43, "Categories": ["Mail only"]}]}]})",
         {u"Alpha", u"Deep", u"Mail only", u"Zeta"}},
        {"names keep their letters, not the blanks around them",
         R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "items": [
              {"class": 40, "Categories": [" Lead", "Café Owners", "café owners"]}]}]})",
         {u"Café Owners", u"Lead", u"café owners"}},
        {"split at the list separator",
         R"({"listSeparator": ";", "folders": [{"name": "Contacts", "defaultFor": "contacts", "items": [
              {"class": 40, "Categories": ["Sales & Marketing", "Q1: Leads"]}]}]})",
         {u"Q1: Leads", u"Sales & Marketing"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimHost host;
        host.load_profile(Json::parse(c.profile));
        EXPECT_EQ(sim::categories_in_use(host.profile()), c.expected);
    }
}

}  // namespace
