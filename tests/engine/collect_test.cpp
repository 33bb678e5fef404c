// What every run shares: the check of a picked folder, and the collection of the members under
// each way of meeting failures.
#include <gtest/gtest.h>

#include "engine/collect.h"
#include "engine/member_store.h"
#include "engine/messages.h"
#include "engine_fixture.h"
#include "host/failure.h"

namespace engine_test {
namespace {

using engine::OnFailure;

// Ann in Business, Bob in VIP; Dee, in a subfolder, in Business; an Inbox beside them.
constexpr const char* profile_json = R"({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business"]},
       {"FullName": "Bob Ray", "Email1Address": "bob@ray.example", "Categories": ["VIP"]}],
     "folders": [{"name": "Clients", "items": [
       {"FullName": "Dee Fox", "Email1Address": "dee@fox.example", "Categories": ["Business"]}]}]},
    {"name": "Inbox", "defaultFor": "inbox"}]})";

class CollectTest : public EngineTest {
protected:
    void SetUp() override { profile(profile_json); }
    host::MAPIFolder folder(const char* name) {
        host::NameSpace mapi = app().GetNamespace(u"MAPI");
        if (std::string(name) == "Inbox") return mapi.GetDefaultFolder(sim::olFolderInbox);
        return mapi.GetDefaultFolder(host::olFolderContacts);
    }
    // The members collected, as the recipients' texts; what was left out in `left_out`.
    Strings collect(const engine::Collection& from, std::optional<bool> all_emails = false) {
        engine::MemberStore members{host::SafeMailItem(s().env.create_object(host::progid_safe_mail_item))};
        host::Object mail = app().CreateItem(host::olMailItem);
        members.mail.SetItem(mail);
        engine::CollectMembers(s(), from, members, all_emails);
        left_out = members.left_out;
        Strings out;
        for (const auto& t : members.texts) out.push_back(utf8(t));
        return out;
    }
    engine::LeftOut left_out;
};

TEST_F(CollectTest, APickedFolderIsCheckedTheSameWayInEveryRun) {
    struct Case {
        const char* name;
        const char* folder;  // nullptr: none picked
        bool type_fails;
        OnFailure on_failure;
        bool ok, raises;
        std::u16string_view message;
    };
    const Case cases[] = {
        {"contacts", "Contacts", false, OnFailure::stop, true, false, {}},
        {"contacts, skipping", "Contacts", false, OnFailure::skip, true, false, {}},
        {"none picked", nullptr, false, OnFailure::stop, false, false, engine::text::no_folder},
        {"none picked, skipping", nullptr, false, OnFailure::skip, false, false, engine::text::no_folder},
        {"mail folder", "Inbox", false, OnFailure::stop, false, false, engine::text::wrong_folder},
        {"mail folder, skipping", "Inbox", false, OnFailure::skip, false, false, engine::text::wrong_folder},
        {"type unreadable", "Contacts", true, OnFailure::stop, false, true, {}},
        // Under skip, a folder of unknown kind is not taken for one of contacts.
        {"type unreadable, skipping", "Contacts", true, OnFailure::skip, false, false, engine::text::wrong_folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host::MAPIFolder picked = c.folder ? folder(c.folder) : host::MAPIFolder();
        // Faults count a member's calls from the host's start.
        if (c.type_fails) host.fail(u"DefaultItemType", host.world().calls_of(u"DefaultItemType") + 1);
        const size_t seen = messages().size();
        bool ok = false, raised = false;
        try {
            ok = engine::IsContactFolder(s(), picked, c.on_failure);
        } catch (const host::Failure&) {
            raised = true;
        }
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(raised, c.raises);
        const Strings all = messages(), shown(all.begin() + static_cast<long>(seen), all.end());
        EXPECT_EQ(shown, c.message.empty() ? Strings{} : Strings{utf8(c.message)});
    }
}

TEST_F(CollectTest, CategoryByCategoryTheFolderThenItsSubfolders) {
    const Strings ann = {"Ann Lee ann@acme.example"}, both = {"Ann Lee ann@acme.example", "Dee Fox dee@fox.example"};
    EXPECT_EQ(collect({folder("Contacts"), {u"Business"}, true, OnFailure::stop}), both);
    EXPECT_EQ(collect({folder("Contacts"), {u"Business"}, false, OnFailure::skip}), ann);
    EXPECT_EQ(collect({folder("Contacts"), {u"VIP", u"Business"}, true, OnFailure::stop}),
              (Strings{"Bob Ray bob@ray.example", "Ann Lee ann@acme.example", "Dee Fox dee@fox.example"}));
}

// A folder whose items the host cannot give: the custom run leaves that category out and
// keeps the others; the quick run and an update end with the failure.
TEST_F(CollectTest, AFolderThatCannotBeReadCostsOneCategoryOrTheRun) {
    // The items for VIP, refused when counting and again when collecting (faults count a
    // member's calls from the host's start: VIP, Business, then VIP, Business again).
    const int64_t before = host.world().calls_of(u"Items", u"MAPIFolder");
    host.fail(u"Items", before + 1, u"MAPIFolder");
    host.fail(u"Items", before + 3, u"MAPIFolder");
    EXPECT_EQ(collect({folder("Contacts"), {u"VIP", u"Business"}, false, OnFailure::skip}),
              (Strings{"Ann Lee ann@acme.example"}));
    host.fail(u"Items", host.world().calls_of(u"Items", u"MAPIFolder") + 1, u"MAPIFolder");
    EXPECT_THROW(collect({folder("Contacts"), {u"VIP", u"Business"}, true, OnFailure::stop}), host::Failure);
}

TEST_F(CollectTest, TheEmailQuestionIsAskedOnlyWhenNotAnswered) {
    collect({folder("Contacts"), {u"VIP"}, false, OnFailure::stop}, true);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(s().AllEmails, host::True);
    for (bool yes : {true, false}) {
        host.answer_msgbox(yes);
        collect({folder("Contacts"), {u"VIP"}, false, OnFailure::stop}, std::nullopt);
        EXPECT_EQ(s().AllEmails, yes ? host::False : host::True);  // Yes: one address per contact
    }
}

// What a failure kept out is recorded by contact or by category, with the host's words of the
// first failure; the rest of the list is still collected.
TEST_F(CollectTest, WhatWasLeftOutIsRecorded) {
    struct Fault {
        const char* member;
        const char* object;
        int64_t nth;  // the nth call of the member on that object from the run's start
    };
    struct Case {
        const char* name;
        std::vector<Fault> faults;
        bool quick;  // the folder and its subfolders, stopping at failures; or one folder, skipping them
        Strings members, contacts;
        std::vector<std::pair<const char*, const char*>> categories;
    };
    const std::string ann = "Ann Lee ann@acme.example", dee = "Dee Fox dee@fox.example", bob = "Bob Ray bob@ray.example";
    const Case cases[] = {
        {"nothing fails", {}, true, {ann, dee, bob}, {}, {}},
        {"one contact's address", {{"Email1Address", "SafeContactItem", 1}}, true, {dee, bob}, {"Ann Lee"}, {}},
        {"several contacts", {{"Email1Address", "SafeContactItem", 1}, {"Add", "SafeRecipients", 2}}, true, {dee},
         {"Ann Lee", "Bob Ray"}, {}},
        {"a contact in a subfolder", {{"Add", "SafeRecipients", 2}}, true, {ann, bob}, {"Dee Fox"}, {}},
        {"a contact that cannot be opened", {{"Item", "SafeContactItem", 1}}, true, {dee, bob},
         {"a contact whose name could not be read"}, {}},
        // The folder's items are had once per name to count and once to fill: the fill's
        // failure costs Business.
        {"a whole category", {{"Items", "MAPIFolder", 3}}, false, {bob}, {}, {{"Business", "Contacts"}}},
        {"a category's walk", {{"Class", "ContactItem", 1}}, false, {bob}, {}, {{"Business", "Contacts"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& f : c.faults)
            host.fail(u(f.member), host.world().calls_of(u(f.member), u(f.object)) + f.nth, u(f.object));
        const Strings members = collect({folder("Contacts"), {u"Business", u"VIP"}, c.quick,
                                         c.quick ? OnFailure::stop : OnFailure::skip});
        EXPECT_EQ(members, c.members);
        Strings contacts;
        for (const auto& name : left_out.contacts()) contacts.push_back(utf8(name));
        EXPECT_EQ(contacts, c.contacts);
        ASSERT_EQ(left_out.categories().size(), c.categories.size());
        for (size_t i = 0; i < c.categories.size(); ++i) {
            EXPECT_EQ(utf8(left_out.categories()[i].name), c.categories[i].first);
            EXPECT_EQ(utf8(left_out.categories()[i].folder), c.categories[i].second);
        }
        // The first failure's own words.
        EXPECT_EQ(left_out.empty(), utf8(left_out.first_failure()).find("injected fault") == std::string::npos);
        EXPECT_TRUE(host.unfired_faults().empty());
    }
}

// A mailbox's Contacts: Ann in it; below it a hidden system folder (Kim), a folder whose items
// the store will not give (Ines) and an ordinary one marked visible (Gita), all in Business.
Json mailbox(const char* version) {
    Json p = Json::parse(R"({"folders": [
        {"name": "Contacts", "defaultFor": "contacts", "items": [
           {"FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business"]}],
         "folders": [
           {"name": "Recipient Cache", "hidden": true, "items": [
              {"FullName": "Kim Novak", "Email1Address": "kim@acme.example", "Categories": ["Business"]}]},
           {"name": "Partners", "itemsFail": "0x80004005", "items": [
              {"FullName": "Ines Moreau", "Email1Address": "ines@adatum.example", "Categories": ["Business"]}]},
           {"name": "Suppliers", "hidden": false, "items": [
              {"FullName": "Gita Rao", "Email1Address": "gita@northwind.example", "Categories": ["Business"]}]}]}]})");
    p["version"] = version;
    return p;
}

// Hidden folders are passed over where the host can tell them (from 12 on), in the count as in
// the fill; a subfolder the store will not search costs its own contacts, not the run, and is
// named; the rest of the list is collected.
TEST_F(CollectTest, HiddenFoldersArePassedOverAndARefusingOneIsNamed) {
    struct Case {
        const char* name;
        const char* version;
        const char* fault;  // a member (of a folder, or of any object) failed at its next call; nullptr: none
        Strings members;
        int32_t total;
        const char* folder_named;  // the folder recorded for Business
    };
    const std::string ann = "Ann Lee ann@acme.example", kim = "Kim Novak kim@acme.example",
                      gita = "Gita Rao gita@northwind.example";
    const Case cases[] = {
        {"2016", "16.0", nullptr, {ann, gita}, 3, "Partners"},
        {"2007", "12.0", nullptr, {ann, gita}, 3, "Partners"},
        {"2003 cannot tell", "11.0", nullptr, {ann, kim, gita}, 4, "Partners"},
        {"a version that cannot be read", "16.0", "Version", {ann, kim, gita}, 4, "Partners"},
        {"a mark that cannot be read", "16.0", "PropertyAccessor", {ann, kim, gita}, 4, "Partners"},
        {"the refusing folder's name unreadable", "16.0", "Name", {ann, gita}, 3, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.load_profile(mailbox(c.version));
        if (c.fault) {
            const std::u16string object = std::string(c.fault) == "Name" ? u"MAPIFolder" : u"";
            host.fail(u(c.fault), host.world().calls_of(u(c.fault), object) + 1, object);
        }
        EXPECT_EQ(collect({folder("Contacts"), {u"Business"}, true, OnFailure::stop}), c.members);
        EXPECT_EQ(s().ItemTotal, c.total);
        ASSERT_EQ(left_out.categories().size(), 1u);
        EXPECT_EQ(utf8(left_out.categories()[0].name), "Business");
        EXPECT_EQ(utf8(left_out.categories()[0].folder), c.folder_named);
        EXPECT_EQ(utf8(left_out.first_failure()), "The operation failed.");
        EXPECT_TRUE(host.unfired_faults().empty());
    }
}

// The message names the first few and counts the rest.
TEST(LeftOutMessage, NamesTheFirstFewAndCountsTheRest) {
    const host::Failure why(5, u"The item is damaged.");
    engine::LeftOut one, many;
    one.contact(u"Ann Lee", why);
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G"}) many.contact(host::from_utf8(name), why);
    many.category(u" VIP", u"Clients", host::Failure(6, u"later"));
    const std::string one_text = utf8(engine::text::left_out(one)), many_text = utf8(engine::text::left_out(many));
    EXPECT_NE(one_text.find("1 contact could not be added: Ann Lee."), std::string::npos) << one_text;
    EXPECT_NE(many_text.find("7 contacts could not be added: A, B, C, D, E and 2 more."), std::string::npos);
    EXPECT_NE(many_text.find("searched completely: \"VIP\" in the folder \"Clients\"."), std::string::npos);
    EXPECT_NE(many_text.find("The first failure: The item is damaged."), std::string::npos);
    EXPECT_EQ(utf8(engine::text::update_left_out(one)),
              "\r\n\r\nContacts that could not be read: 1 (Ann Lee)\r\nThe first failure: The item is damaged.");
    // Folders that could not be searched, in the message and in Update List's question; one
    // whose name could not be read is said to be so.
    engine::LeftOut folders;
    folders.category(u"Business", u"Partners", why);
    folders.category(u" VIP", u"", why);
    const std::string folders_text = utf8(engine::text::left_out(folders));
    EXPECT_NE(folders_text.find("searched completely: \"Business\" in the folder \"Partners\", \"VIP\" in a folder "
                                "whose name could not be read."),
              std::string::npos)
        << folders_text;
    EXPECT_EQ(folders_text.find("could not be added"), std::string::npos);
    EXPECT_EQ(utf8(engine::text::update_left_out(folders)),
              "\r\n\r\nCategories that could not be searched completely: \"Business\" in the folder \"Partners\", "
              "\"VIP\" in a folder whose name could not be read\r\nThe first failure: The item is damaged.");
}

}  // namespace
}  // namespace engine_test
