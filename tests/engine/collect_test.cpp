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
    // The members collected, as the recipients' texts.
    Strings collect(const engine::Collection& from, std::optional<bool> all_emails = false) {
        engine::MemberStore members{host::SafeMailItem(s().env.create_object(host::progid_safe_mail_item))};
        host::Object mail = app().CreateItem(host::olMailItem);
        members.mail.SetItem(mail);
        engine::CollectMembers(s(), from, members, all_emails);
        Strings out;
        for (const auto& t : members.texts) out.push_back(utf8(t));
        return out;
    }
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

// A filter the host refuses: the custom run leaves that category out and keeps the others;
// the quick run and an update end with the failure.
TEST_F(CollectTest, ARefusedFilterCostsOneCategoryOrTheRun) {
    // VIP's filter, refused when counting and again when collecting (faults count a member's
    // calls from the host's start: VIP, Business, then VIP, Business again).
    const int64_t before = host.world().calls_of(u"Restrict");
    host.fail(u"Restrict", before + 1);
    host.fail(u"Restrict", before + 3);
    EXPECT_EQ(collect({folder("Contacts"), {u"VIP", u"Business"}, false, OnFailure::skip}),
              (Strings{"Ann Lee ann@acme.example"}));
    host.fail(u"Restrict", host.world().calls_of(u"Restrict") + 1);
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

}  // namespace
}  // namespace engine_test
