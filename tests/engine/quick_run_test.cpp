// The quick list run: a list from the default Contacts folder and its direct subfolders,
// named after the picked categories.
#include <gtest/gtest.h>

#include <optional>

#include "engine/quick_list.h"
#include "engine/messages.h"
#include "engine_fixture.h"
#include "host/failure.h"

namespace engine_test {
namespace {

// One contact in the folder and one in a subfolder, both in Business.
constexpr const char* two_contacts = R"({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business"]}],
     "folders": [{"name": "Clients", "items": [
       {"FullName": "Dee Fox", "Email2Address": "dee@fox.example", "Categories": ["Business"]}]}]}]})";

// Contacts in two categories (one in "vip"), a list, a mail item and a contact without an
// address in the folder; a subfolder with its own subfolder, and an empty subfolder.
constexpr const char* office = R"({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Email2Address": "ann.lee@home.example",
        "Categories": ["Business", "VIP"]},
       {"FullName": "Bob Ray", "Email1Address": "bob@home.example", "Categories": ["Personal"]},
       {"class": 69, "Subject": "Old team", "Categories": ["Business"]},
       {"class": 43, "Subject": "Note to self", "Categories": ["VIP"]},
       {"FullName": "Cy Orr", "Email1Address": "cy@orr.example", "Categories": ["vip"]},
       {"FullName": "Nina Berg", "Categories": ["Business"]}],
     "folders": [
       {"name": "Clients", "items": [
          {"FullName": "Dee Fox", "Email1Address": "dee@fox.example", "Categories": ["Business"]},
          {"FullName": "Eve Ito", "Email1Address": "eve@ito.example", "Categories": ["VIP", "Business"]}],
        "folders": [{"name": "Archive", "items": [
          {"FullName": "Vic Hale", "Email1Address": "vic@hale.example", "Categories": ["Business", "VIP"]}]}]},
       {"name": "Suppliers"}]},
    {"name": "Inbox", "defaultFor": "inbox", "items": [
       {"class": 43, "Subject": "Hello", "Categories": ["Business"]}]}]})";

class QuickRunTest : public EngineTest {
protected:
    void run() { engine::MakeQuickList(s()); }
};

TEST_F(QuickRunTest, HostCallsInOrder) {
    profile(two_contacts);
    host.answer_categories(u"Business");
    host.answer_msgbox(true);
    run();
    auto saved = events("saved");
    ASSERT_EQ(saved.size(), 1u);
    std::string id = saved[0]["entryId"];
    EXPECT_EQ(calls_with_args(), (Strings{
        "Application.GetNamespace \"MAPI\"",
        "NameSpace.GetDefaultFolder 10",
        "Application.CreateItem 7",
        "Runtime.CreateObject \"Redemption.SafeMailItem\"",
        "Runtime.CreateObject \"Redemption.SafeDistList\"",
        "Application.CreateItem 0",
        "Application.CreateItem 7",
        "SafeMailItem.Item = MailItem",
        "SafeDistList.Item = DistListItem",
        "DistListItem.ShowCategoriesDialog",
        "DistListItem.Categories",
        // The subfolders, listed once; a host before 2007 cannot tell the hidden ones.
        "Application.Version",
        "MAPIFolder.Folders",
        "Folders._NewEnum",
        // Counting: the subfolders first, then the folder's own matches. No filter: every
        // item is read, and its own categories decide.
        "MAPIFolder.Items",
        "MAPIFolder.Items",
        "Items._NewEnum",
        "ContactItem.Categories",
        "Items._NewEnum",
        "ContactItem.Categories",
        // Filling: the folder's own contacts, then those of the subfolders.
        "MAPIFolder.Items",
        "Items._NewEnum",
        "ContactItem.Categories",
        "ContactItem.Class",
        "Runtime.CreateObject \"Redemption.SafeContactItem\"",
        "SafeContactItem.Item = ContactItem",
        "SafeContactItem.Email1Address",
        "SafeContactItem.Email2Address",
        "SafeContactItem.Email3Address",
        "SafeContactItem.FullName",
        // The address type of each address that is set: not an Exchange one, so nothing to
        // look up. The duplicate tests ask the run's own record, not the host.
        "SafeContactItem.Email1AddressType",
        "SafeMailItem.Recipients",
        "SafeRecipients.Add \"Ann Lee ann@acme.example\"",
        "MAPIFolder.Items",
        "Items._NewEnum",
        "ContactItem.Categories",
        "ContactItem.Class",
        "Runtime.CreateObject \"Redemption.SafeContactItem\"",
        "SafeContactItem.Item = ContactItem",
        "SafeContactItem.Email1Address",
        "SafeContactItem.Email2Address",
        "SafeContactItem.Email3Address",
        "SafeContactItem.FullName",
        "SafeContactItem.Email2AddressType",
        "SafeMailItem.Recipients",
        "SafeRecipients.Add \"Dee Fox dee@fox.example\"",
        // The list: filled, named, saved, closed, fetched again and shown.
        "SafeMailItem.Recipients",
        "SafeDistList.AddMembers SafeRecipients",
        "SafeDistList.Item",
        "DistListItem.MemberCount",
        "SafeDistList.Subject = \"Business\"",
        "SafeDistList.Categories = \"Business\"",
        "SafeDistList.Item",
        "DistListItem.UserProperties",
        "UserProperties.Find \"QuillamorSource\"",
        "UserProperties.Add \"QuillamorSource\" 1 false",
        "UserProperty.Value = \"quick;one\"",
        "DistListItem.Save",
        "DistListItem.EntryID",
        "DistListItem.Close 1",
        "NameSpace.GetItemFromID \"" + id + "\"",
        "DistListItem.Display",
    }));
    expect_nothing_alive();
}

TEST_F(QuickRunTest, WhatTheUserSeesInOrder) {
    profile(two_contacts);
    host.answer_categories(u"Business");
    host.answer_msgbox(true);
    run();
    EXPECT_EQ(effects(), (Strings{
        "dialog categories Business",
        "msgbox 68 " + utf8(engine::text::one_email_question),
        "form frmPBar load",
        "form frmPBar show",
        "max 3",
        "form frmPBar refresh",
        "value 0",
        "value 1",  // every counted item is a contact: the bar ends at its maximum less 2
        "form frmPBar unload",
        "msgbox 0 Thank you for your time.",
        "saved Business | Business | 2 members",
        "display",
        "form frmDone load",
        "form frmDone show",
    }));
    // The window shows the stored list.
    EXPECT_EQ(events("display")[0]["entryId"], events("saved")[0]["entryId"]);
    EXPECT_EQ(saved_members(), (Strings{"Ann Lee ann@acme.example", "Dee Fox dee@fox.example"}));
    EXPECT_EQ(s().ItemTotal, 3);
    EXPECT_TRUE(forms().frmDone.visible());
    EXPECT_FALSE(forms().frmPBar.loaded());
    EXPECT_FALSE(forms().frmChoose.loaded());
}

TEST_F(QuickRunTest, MembersCountsAndProgressForEitherAnswer) {
    struct Case {
        bool one_address;
        Strings members;
        int32_t all_emails;
    } cases[] = {
        {false,
         {"Ann Lee ann@acme.example", "Ann Lee ann.lee@home.example", "Dee Fox dee@fox.example",
          "Eve Ito eve@ito.example", "Cy Orr cy@orr.example"},
         host::True},
        // Ann is met again under " VIP" and gives her next address then.
        {true,
         {"Ann Lee ann@acme.example", "Dee Fox dee@fox.example", "Eve Ito eve@ito.example",
          "Ann Lee ann.lee@home.example", "Cy Orr cy@orr.example"},
         host::False},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.one_address ? "one address" : "every address");
        host.world().clear_events();
        profile(office);
        host.answer_categories(u"Business, VIP");
        host.answer_msgbox(c.one_address);
        run();
        auto saved = events("saved");
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[0]["subject"], "Business, VIP");
        EXPECT_EQ(saved[0]["categories"], "Business, VIP");
        EXPECT_EQ(saved[0]["members"].get<Strings>(), c.members);
        EXPECT_EQ(s().AllEmails, c.all_emails);
        // 1 + Business (Dee, Eve; Ann, the list, Nina) + " VIP" (Eve; Ann, the mail, Cy): the
        // list and the mail are counted but not handled; Archive is two levels down.
        EXPECT_EQ(s().ItemTotal, 10);
        EXPECT_EQ(events("progress")[0], (Json{{"event", "progress"}, {"max", 10}}));
        EXPECT_EQ(progress_values(), (std::vector<double>{0, 1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(s().ProgressCount, 7);
        // Each pass reads the folder and its two subfolders for one name, then for the next:
        // every item's categories, nothing restricted by the host.
        EXPECT_EQ(calls({"Items"}).size(), 12u);
        EXPECT_TRUE(calls({"Restrict"}).empty());
        // (and the selection read, and the list's categories set)
        EXPECT_EQ(calls({"Categories"}).size(), 2u + 2 * 2 * (6 + 2 + 0));
        expect_nothing_alive();
        state = connected_state(host, views);
    }
}

TEST_F(QuickRunTest, NothingMatchingStillMakesAnEmptyList) {
    profile(office);
    host.answer_categories(u"Nobody");
    host.answer_msgbox(false);
    run();
    EXPECT_EQ(s().ItemTotal, 1);
    EXPECT_EQ(events("progress"), (std::vector<Json>{{{"event", "progress"}, {"max", 1}}}));
    EXPECT_EQ(calls({"AddMembers"}).size(), 1u);
    EXPECT_EQ(saved_members(), Strings{});
    EXPECT_TRUE(forms().frmDone.visible());
    expect_nothing_alive();
}

TEST_F(QuickRunTest, NoCategoriesSendsTheUserBackToTheWorkTypePage) {
    // The dialog cancelled, or closed with nothing ticked.
    for (std::optional<std::u16string> answer : {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
        SCOPED_TRACE(answer ? "nothing ticked" : "cancelled");
        host.world().clear_events();
        profile(office);
        host.answer_categories(answer);
        s().position.left = 1500;
        s().position.top = 900;
        set_earlier_run_state();
        run();
        std::string start_top = std::to_string(forms().frmChoose.design().start_top);
        EXPECT_EQ(effects(), (Strings{
            answer ? "dialog categories " : "dialog categories (cancelled)",
            "msgbox 0 You have not selected any categories.",
            // Loaded afresh, placed left first, then top.
            "form frmChoose load",
            "move frmChoose 1500," + start_top,
            "move frmChoose 1500,900",
            "form frmChoose show 1500,900",
        }));
        EXPECT_EQ(calls().back(), "DistListItem.Categories");
        expect_earlier_run_state_kept();
        EXPECT_EQ(host.answers_left(), 0u);
        expect_nothing_alive();
        state = connected_state(host, views);
    }
}

TEST_F(QuickRunTest, AFolderThatGrowsBetweenThePassesLeavesTheBarAtItsMaximum) {
    profile(two_contacts);
    host.answer_categories(u"Business");
    host.answer_msgbox(false);
    // Three more contacts arrive after the counting pass (two folders read), before the filling.
    host.on_call(u"Items", 3, [this] {
        for (const char* name : {"Gus", "Hal", "Ida"}) {
            auto item = std::make_shared<sim::Item>();
            item->current.fields[u"FullName"] = u(name);
            item->current.fields[u"Email1Address"] = u(name) + u"@new.example";
            item->current.categories = u"Business";
            host.profile().contacts()->items.push_back(item);
        }
    });
    run();
    EXPECT_EQ(s().ItemTotal, 3);
    EXPECT_EQ(progress_values(), (std::vector<double>{0, 1, 2, 3, 3}));
    EXPECT_EQ(saved_members().size(), 5u);
    expect_nothing_alive();
}

TEST_F(QuickRunTest, AFailureEndsTheRunAndLeavesTheProgressWindowToTheCaller) {
    profile(two_contacts);
    host.answer_categories(u"Business");
    host.answer_msgbox(true);
    host.fail(u"Items", 3, u"MAPIFolder");  // the filling pass
    EXPECT_THROW(run(), host::Failure);
    EXPECT_TRUE(forms().frmPBar.visible());
    EXPECT_TRUE(events("saved").empty());
    EXPECT_FALSE(forms().frmDone.loaded());
    expect_nothing_alive();
}

TEST_F(QuickRunTest, AFailureThroughTheWorkTypePageIsShownAndThePageComesBack) {
    profile(two_contacts);
    host.answer_categories(u"Business");
    host.answer_msgbox(true);
    host.fail(u"Items", 3, u"MAPIFolder");
    auto& choose = forms().frmChoose;
    choose.show();
    choose.move_to(1500, 900);
    choose.press(u"optQuick");
    host.world().clear_events();
    choose.press(u"cmdOk");

    auto failure = events("failure");
    ASSERT_EQ(failure.size(), 1u);
    std::string number = std::to_string(failure[0]["number"].get<int64_t>());
    Strings seen = effects();
    ASSERT_GE(seen.size(), 7u);
    Strings tail(seen.end() - 7, seen.end());
    EXPECT_EQ(tail, (Strings{
        "form frmPBar unload",
        "failure " + number,
        "msgbox 0 Error " + number + ": " + failure[0]["description"].get<std::string>(),
        "form frmChoose load",
        "move frmChoose 1500," + std::to_string(choose.design().start_top),
        "move frmChoose 1500,900",
        "form frmChoose show 1500,900",
    }));
    EXPECT_TRUE(choose.visible());
    EXPECT_EQ(choose.left(), 1500);
    EXPECT_EQ(choose.top(), 900);
    EXPECT_FALSE(forms().frmPBar.loaded());
    EXPECT_FALSE(forms().frmDone.loaded());
    expect_nothing_alive();
}

TEST(QuickRunFaults, EveryFailingHostCallEndsCleanly) {
    size_t runs = sweep_faults(
        [](sim::SimHost& h, addin::ProcessState&) {
            h.load_profile(Json::parse(office));
            h.answer_categories(u"Business, VIP");
            h.answer_msgbox(true);
        },
        [](addin::ProcessState& st) { engine::MakeQuickList(st); },
        [](sim::SimHost& h, addin::ProcessState& st, bool raised) {
            // Either the run ended at the failure, or the failure was one of those a
            // contact's own steps drop and the list was made.
            size_t saved = 0;
            for (const auto& e : h.events()) saved += e["event"] == "saved";
            if (raised) {
                EXPECT_FALSE(st.forms.frmDone.loaded());
            } else {
                EXPECT_TRUE(st.forms.frmDone.visible());
                EXPECT_EQ(saved, 1u);
            }
        });
    EXPECT_GT(runs, 100u);
}

}  // namespace
}  // namespace engine_test
