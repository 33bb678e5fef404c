// The custom list run: a list from the folder the user picks, under the name typed on the
// name page, going on past failing steps from its first folder test on.
#include <gtest/gtest.h>

#include <optional>

#include "engine/custom_list.h"
#include "engine/members.h"
#include "engine/messages.h"
#include "engine_fixture.h"
#include "host/failure.h"

namespace engine_test {
namespace {

// Ann and Bob in Business, Bob and Cy in VIP; Dee, in a subfolder, in Business.
constexpr const char* profile_json = R"({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business"]},
       {"FullName": "Bob Ray", "Email1Address": "bob@ray.example", "Categories": ["Business", "VIP"]},
       {"FullName": "Cy Orr", "Email1Address": "cy@orr.example", "Categories": ["VIP"]}],
     "folders": [{"name": "Clients", "items": [
       {"FullName": "Dee Fox", "Email1Address": "dee@fox.example", "Categories": ["Business"]}]}]},
    {"name": "Inbox", "defaultFor": "inbox"}]})";

const std::string ann = "Ann Lee ann@acme.example", bob = "Bob Ray bob@ray.example", cy = "Cy Orr cy@orr.example";

class CustomRunTest : public EngineTest {
protected:
    // The name page as its Next leaves it: loaded, hidden, with the typed name, at 3000,2000;
    // the remembered position differs from it.
    void SetUp() override {
        profile(profile_json);
        auto& title = forms().frmTitle;
        title.show();
        title.type(u"txtSubject", u"Friends list");
        title.move_to(3000, 2000);
        s().position.left = 1500;
        s().position.top = 900;
        title.hide();
        host.world().clear_events();
    }
    void answers(std::optional<std::u16string> folder, std::optional<std::u16string> categories = {},
                 bool one_address = false) {
        host.answer_pick_folder(folder);
        if (folder && *folder == u"Contacts") {
            host.answer_categories(categories);
            if (categories && !categories->empty()) host.answer_msgbox(one_address);
        }
    }
    void run() { engine::MakeCustomList(s()); }
    std::string subject() { return utf8(forms().frmTitle.subject()); }
};

TEST_F(CustomRunTest, HostCallsInOrder) {
    answers(u"Contacts", u"Business, VIP");
    run();
    auto saved = events("saved");
    ASSERT_EQ(saved.size(), 1u);
    std::string id = saved[0]["entryId"];
    const std::string folder_id = host::to_utf8(sim::folder_entry_id(u"Contacts"));
    const std::string store_id = host::to_utf8(sim::store_id);
    // Without the steps inside each contact, which the quick run's order shows.
    Strings outline;
    for (const auto& c : calls_with_args()) {
        bool contact_step = c.starts_with("SafeContactItem.") || c.starts_with("SafeRecipient") ||
                            c.starts_with("ContactItem.") || c.starts_with("SafeMailItem.Recipients") ||
                            c == "Runtime.CreateObject \"Redemption.SafeContactItem\"";
        if (!contact_step) outline.push_back(c);
    }
    EXPECT_EQ(outline, (Strings{
        "Application.GetNamespace \"MAPI\"",
        "Application.CreateItem 0",
        "Application.CreateItem 7",
        "Application.CreateItem 7",
        "NameSpace.PickFolder",
        "Runtime.CreateObject \"Redemption.SafeMailItem\"",
        "Runtime.CreateObject \"Redemption.SafeDistList\"",
        "SafeMailItem.Item = MailItem",
        "SafeDistList.Item = DistListItem",
        "MAPIFolder.DefaultItemType",
        "DistListItem.ShowCategoriesDialog",
        "DistListItem.Categories",
        // Counting and filling: the picked folder only, never its subfolders; every item of
        // it is read for each name.
        "MAPIFolder.Items",
        "Items._NewEnum",
        "MAPIFolder.Items",
        "Items._NewEnum",
        "MAPIFolder.Items",
        "Items._NewEnum",
        "MAPIFolder.Items",
        "Items._NewEnum",
        "MAPIFolder.EntryID",
        "MAPIFolder.StoreID",
        "SafeDistList.AddMembers SafeRecipients",
        "SafeDistList.Item",
        "DistListItem.MemberCount",
        "SafeDistList.Subject = \"Friends list\"",
        "SafeDistList.Categories = \"Business, VIP\"",
        "SafeDistList.Item",
        "DistListItem.UserProperties",
        "UserProperties.Find \"QuillamorSource\"",
        "UserProperties.Add \"QuillamorSource\" 1 false",
        "UserProperty.Value = \"custom;all;" + folder_id + ";" + store_id + "\"",
        "DistListItem.Save",
        "DistListItem.EntryID",
        "DistListItem.Close 1",
        "NameSpace.GetItemFromID \"" + id + "\"",
        "DistListItem.Display",
    }));
    expect_nothing_alive();
}

TEST_F(CustomRunTest, AFinishedRunNamesTheListAndEmptiesTheNameBox) {
    answers(u"Contacts", u"Business, VIP");
    run();
    EXPECT_EQ(effects(), (Strings{
        "dialog pickFolder Contacts",
        "dialog categories Business, VIP",
        "msgbox 68 " + utf8(engine::text::one_email_question),
        "form frmPBar load",
        "max 5",
        "form frmPBar show",
        "form frmPBar refresh",
        "value 0", "value 1", "value 2", "value 3",  // 1 + 2 + 2 counted, all contacts
        "form frmPBar unload",
        "msgbox 0 " + utf8(engine::text::custom_thanks),
        "saved Friends list | Business, VIP | 3 members",
        "display",
        "form frmDone load",
        // frmDone opens at the remembered position.
        "move frmDone 1500," + std::to_string(forms().frmDone.design().start_top),
        "move frmDone 1500,900",
        "form frmDone show",
    }));
    EXPECT_EQ(saved_members(), (Strings{ann, bob, cy}));  // Dee's subfolder plays no part
    EXPECT_EQ(subject(), "");
    EXPECT_FALSE(forms().frmTitle.control(u"cmdOk").enabled);
    EXPECT_TRUE(forms().frmTitle.loaded());
    EXPECT_FALSE(forms().frmTitle.visible());
    EXPECT_TRUE(forms().frmDone.visible());
    expect_nothing_alive();
}

TEST_F(CustomRunTest, TheListIsNamedByTheNameBoxAsItStandsOnceTheMembersAreIn) {
    answers(u"Contacts", u"Business");
    host.on_call(u"AddMembers", 1, [this] { forms().frmTitle.set_subject(u"Renamed"); });
    run();
    const auto saved = events("saved");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0]["subject"], "Renamed");
}

TEST_F(CustomRunTest, EarlyExitsShowTheNamePageAgain) {
    struct Case {
        const char* what;
        std::optional<std::u16string> folder;
        Strings seen;
    } cases[] = {
        {"no folder", std::nullopt,
         {"dialog pickFolder (cancelled)", "msgbox 0 You have not selected any folder to work on.",
          // Placed top first, then left.
          "move frmTitle 3000,900", "move frmTitle 1500,900", "form frmTitle show 1500,900"}},
        {"wrong folder", u"Inbox",
         {"dialog pickFolder Inbox", "msgbox 0 You have selected wrong type of folder to work on.",
          "move frmTitle 3000,900", "move frmTitle 1500,900", "form frmTitle show 1500,900"}},
        // Where the page was hidden.
        {"no categories", u"Contacts",
         {"dialog pickFolder Contacts", "dialog categories (cancelled)",
          "msgbox 0 You have not selected any categories.", "form frmTitle show 3000,2000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        set_earlier_run_state();
        answers(c.folder);
        run();
        EXPECT_EQ(effects(), c.seen);
        EXPECT_EQ(subject(), "Friends list");
        expect_earlier_run_state_kept();
        EXPECT_EQ(host.answers_left(), 0u);
        expect_nothing_alive();
        state = connected_state(host, views);
    }
}

TEST_F(CustomRunTest, AFailureBeforeTheFolderTestEndsTheRun) {
    for (const char* member : {"CreateItem", "PickFolder", "CreateObject"}) {
        SCOPED_TRACE(member);
        SetUp();
        // Only the picker comes before the wrappers are created.
        if (member == std::string("CreateObject")) host.answer_pick_folder(u"Contacts");
        host.fail(u(member), host.world().calls_of(u(member)) + 1);
        EXPECT_THROW(run(), host::Failure);
        EXPECT_FALSE(forms().frmTitle.visible());
        EXPECT_EQ(subject(), "Friends list");
        EXPECT_EQ(host.answers_left(), 0u);
        expect_nothing_alive();
        state = connected_state(host, views);
    }
}

enum class End { WrongFolder, NoCategories, Done, Raised };

struct FaultCase {
    const char* object;
    const char* member;
    int occurrence;
    End end;
    int32_t item_total = 0;
    int32_t handled = 0;  // contacts that reached AddContact
    Strings members = {};
    bool saved = false, shown = false;
};

// From the folder test on, each failing step is dropped and the run goes on; only a list
// that could not be filled, named or saved sends the failure to the caller.
const FaultCase fault_cases[] = {
    {"MAPIFolder", "DefaultItemType", 1, End::WrongFolder},
    {"DistListItem", "ShowCategoriesDialog", 1, End::NoCategories},
    {"DistListItem", "Categories", 1, End::NoCategories},
    // Counting: a name whose items cannot be had or walked adds what was counted before.
    {"MAPIFolder", "Items", 1, End::Done, 3, 4, {ann, bob, cy}, true, true},
    {"Items", "_NewEnum", 1, End::Done, 3, 4, {ann, bob, cy}, true, true},
    {"ContactItem", "Categories", 1, End::Done, 3, 4, {ann, bob, cy}, true, true},
    {"ContactItem", "Categories", 2, End::Done, 4, 4, {ann, bob, cy}, true, true},  // Ann counted
    {"MAPIFolder", "Items", 2, End::Done, 3, 4, {ann, bob, cy}, true, true},
    // Filling: a name whose items cannot be had is left out, and no other name's items are
    // walked in its place.
    {"MAPIFolder", "Items", 3, End::Done, 5, 2, {bob, cy}, true, true},
    {"MAPIFolder", "Items", 4, End::Done, 5, 2, {ann, bob}, true, true},
    {"Items", "_NewEnum", 3, End::Done, 5, 2, {bob, cy}, true, true},
    {"ContactItem", "Categories", 7, End::Done, 5, 2, {bob, cy}, true, true},
    // A contact that cannot be handled ends the walk of that name's items...
    {"ContactItem", "Class", 1, End::Done, 5, 2, {bob, cy}, true, true},
    {"ContactItem", "Class", 2, End::Done, 5, 3, {ann, bob, cy}, true, true},
    {"Runtime", "CreateObject", 3, End::Done, 5, 2, {bob, cy}, true, true},
    // ...but a failing step inside the contact is the contact's own affair.
    {"SafeContactItem", "Email1Address", 1, End::Done, 5, 4, {bob, cy}, true, true},
    // Filling, naming and saving the list.
    // A fill that fails is tried again from the members collected, in smaller lists where the
    // store refuses a large one: here it takes them all at once again.
    {"SafeMailItem", "Recipients", 4, End::Done, 5, 4, {ann, bob, cy}, true, true},  // one for each member added, then the fill's
    {"SafeDistList", "AddMembers", 1, End::Done, 5, 4, {ann, bob, cy}, true, true},
    {"SafeDistList", "Subject", 1, End::Raised, 5, 4},
    {"SafeDistList", "Categories", 1, End::Raised, 5, 4},
    {"SafeDistList", "Item", 2, End::Raised, 5, 4},
    {"DistListItem", "Save", 1, End::Raised, 5, 4},
    {"DistListItem", "EntryID", 1, End::Raised, 5, 4, {ann, bob, cy}, true},
    {"DistListItem", "Close", 1, End::Raised, 5, 4, {ann, bob, cy}, true},
    // Showing the stored list.
    {"NameSpace", "GetItemFromID", 1, End::Done, 5, 4, {ann, bob, cy}, true, false},
    {"DistListItem", "Display", 1, End::Done, 5, 4, {ann, bob, cy}, true, false},
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.object << "." << c.member << " call " << c.occurrence; }

class CustomRunFault : public CustomRunTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(CustomRunFault, SkippedOrEndsTheRunAsDecided) {
    const FaultCase& c = GetParam();
    answers(u"Contacts", u"Business, VIP");
    host.fail(u(c.member), c.occurrence, u(c.object));
    s().ItemTotal = -1;
    s().ProgressCount = -1;
    bool raised = false;
    try {
        run();
    } catch (const host::Failure&) {
        raised = true;
    }
    ASSERT_GE(host.world().calls_of(u(c.member), u(c.object)), c.occurrence) << "the fault was not reached";
    auto saved = events("saved");
    switch (c.end) {
    case End::WrongFolder:
    case End::NoCategories:
        EXPECT_FALSE(raised);
        EXPECT_EQ(messages().back(),
                  utf8(c.end == End::WrongFolder ? engine::text::wrong_folder : engine::text::no_categories));
        EXPECT_TRUE(forms().frmTitle.visible());
        EXPECT_EQ(subject(), "Friends list");
        EXPECT_TRUE(saved.empty());
        break;
    case End::Done:
        EXPECT_FALSE(raised);
        EXPECT_TRUE(forms().frmDone.visible());
        EXPECT_EQ(subject(), "");
        break;
    case End::Raised:
        EXPECT_TRUE(raised);
        EXPECT_FALSE(forms().frmDone.loaded());
        EXPECT_EQ(subject(), "Friends list");
        EXPECT_EQ(messages().back(), utf8(engine::text::custom_thanks));
        break;
    }
    if (c.end == End::Done || c.end == End::Raised) {
        EXPECT_EQ(s().ItemTotal, c.item_total);
        EXPECT_EQ(s().ProgressCount, c.handled);
        EXPECT_FALSE(forms().frmPBar.loaded());
        EXPECT_EQ(saved.size(), c.saved ? 1u : 0u);
        if (!saved.empty()) {
            EXPECT_EQ(saved[0]["members"].get<Strings>(), c.members);
        }
        EXPECT_EQ(events("display").size(), c.shown ? 1u : 0u);
    }
    expect_nothing_alive();
}

INSTANTIATE_TEST_SUITE_P(EachStep, CustomRunFault, ::testing::ValuesIn(fault_cases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.object) + "_" +
                                    (info.param.member[0] == '_' ? info.param.member + 1 : info.param.member) +
                                    "_" + std::to_string(info.param.occurrence);
                         });

TEST_F(CustomRunTest, AListThatCannotBeSavedIsReportedOnTheNamePage) {
    answers(u"Contacts", u"Business, VIP");
    host.fail(u"Save", 1);
    forms().frmTitle.show();
    host.world().clear_events();
    forms().frmTitle.press(u"cmdOk");
    auto failure = events("failure");
    ASSERT_EQ(failure.size(), 1u);
    std::string number = std::to_string(failure[0]["number"].get<int64_t>());
    Strings seen = effects();
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(Strings(seen.end() - 5, seen.end()), (Strings{
        "form frmPBar unload",
        "msgbox 0 " + utf8(engine::text::custom_thanks),
        "failure " + number,
        "msgbox 0 Error " + number + ": " + failure[0]["description"].get<std::string>(),
        "form frmTitle show 3000,2000",
    }));
    EXPECT_EQ(subject(), "Friends list");
    EXPECT_TRUE(forms().frmTitle.control(u"cmdOk").enabled);
    EXPECT_FALSE(forms().frmPBar.loaded());
    EXPECT_FALSE(forms().frmDone.loaded());
    EXPECT_TRUE(events("saved").empty());
    expect_nothing_alive();
}

TEST(CustomRunFaults, EveryFailingHostCallEndsCleanly) {
    size_t runs = sweep_faults(
        [](sim::SimHost& h, addin::ProcessState& st) {
            h.load_profile(Json::parse(profile_json));
            h.answer_pick_folder(u"Contacts");
            h.answer_categories(u"Business, VIP");
            h.answer_msgbox(true);
            st.forms.frmTitle.type(u"txtSubject", u"Friends list");
            st.forms.frmTitle.hide();
        },
        [](addin::ProcessState& st) { engine::MakeCustomList(st); },
        [](sim::SimHost&, addin::ProcessState& st, bool raised) {
            // The user always ends on a page: the name page with the name kept, or frmDone.
            if (raised) {
                EXPECT_FALSE(st.forms.frmDone.loaded());
                EXPECT_EQ(st.forms.frmTitle.subject(), u"Friends list");
            } else {
                EXPECT_TRUE(st.forms.frmDone.visible() || st.forms.frmTitle.visible());
            }
        });
    EXPECT_GT(runs, 50u);
}

}  // namespace
}  // namespace engine_test
