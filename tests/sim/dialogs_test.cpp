// Scripted answers: the categories dialog, the folder picker and message boxes, and the
// scenario errors when the script does not fit the dialog that opens.
#include <gtest/gtest.h>

#include <type_traits>

#include "sim_fixture.h"

namespace sim_test {
namespace {

// The add-in's skip-on-failure code catches host::Failure; a broken script must get past it.
static_assert(!std::is_base_of_v<host::Failure, sim::ScenarioError>);

using DialogsTest = SimTest;

TEST_F(DialogsTest, CategoriesDialogSetsTheTextOrLeavesItWhenCancelled) {
    host.add_answers(Json::parse(R"([{"categories": "Business, VIP"}, {"categories": null}])"));
    host::DistListItem scratch(app().CreateItem(host::olDistributionListItem));
    scratch.ShowCategoriesDialog();
    EXPECT_EQ(scratch.Categories(), u"Business, VIP");
    scratch.ShowCategoriesDialog();
    EXPECT_EQ(scratch.Categories(), u"Business, VIP");
    EXPECT_EQ(events("dialog"), (std::vector<Json>{
                                    {{"event", "dialog"}, {"kind", "categories"}, {"answer", "Business, VIP"}},
                                    {{"event", "dialog"}, {"kind", "categories"}, {"answer", nullptr}}}));
    EXPECT_EQ(host.answers_left(), 0u);
}

TEST_F(DialogsTest, FolderPickerGivesTheFolderAtThePathOrNothing) {
    host.answer_pick_folder(u"Contacts/Clients");
    host.answer_pick_folder(std::nullopt);
    auto ns = app().GetNamespace(u"MAPI");
    host::MAPIFolder picked = ns.PickFolder();
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked.object().get(u"Name").as_text(), u"Clients");
    EXPECT_EQ(picked.DefaultItemType(), 2);  // a subfolder takes its parent's item type
    EXPECT_FALSE(ns.PickFolder());
}

TEST_F(DialogsTest, MessageBoxesTakeAnAnswerOnlyWhenTheyOfferAChoice) {
    host.answer_msgbox(false);
    EXPECT_EQ(host::MsgBox(host, u"Thank you for your time."), host::vbOK);
    EXPECT_EQ(host::MsgBox(host, u"Only one?", host::vbYesNo + host::vbInformation), host::vbNo);
    auto boxes = events("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], (Json{{"event", "msgbox"},
                              {"text", "Thank you for your time."},
                              {"style", 0},
                              {"title", "Quillamor"},
                              {"answer", "OK"}}));
    EXPECT_EQ(boxes[1]["style"], 68);
    EXPECT_EQ(boxes[1]["answer"], "No");
}

TEST_F(DialogsTest, AScriptThatDoesNotFitTheDialogIsAScenarioError) {
    auto ns = app().GetNamespace(u"MAPI");
    host::DistListItem scratch(app().CreateItem(host::olDistributionListItem));
    // No answer waiting.
    EXPECT_THROW(scratch.ShowCategoriesDialog(), sim::ScenarioError);
    EXPECT_THROW(ns.PickFolder(), sim::ScenarioError);
    EXPECT_THROW(host::MsgBox(host, u"?", host::vbYesNo), sim::ScenarioError);
    // An answer of the wrong kind stays for its own dialog.
    host.answer_msgbox(true);
    EXPECT_THROW(scratch.ShowCategoriesDialog(), sim::ScenarioError);
    EXPECT_EQ(host.answers_left(), 1u);
    EXPECT_EQ(host::MsgBox(host, u"?", host::vbYesNo), host::vbYes);
    // A path that is not in the profile.
    host.answer_pick_folder(u"Contacts/Nowhere");
    EXPECT_THROW(ns.PickFolder(), sim::ScenarioError);
    EXPECT_TRUE(events("dialog").empty());
}

}  // namespace
}  // namespace sim_test
