// Collecting the members: which addresses of a contact become recipients of the scratch
// mail, under which name, the duplicate test, and the progress each contact makes.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "engine/members.h"
#include "engine_fixture.h"
#include "host/failure.h"
#include "host/text.h"
#include "sim/model/sim_object.h"

namespace engine_test {
namespace {

struct Fields {
    const char* full_name = "Ann Lee";
    const char* company = "Acme Tools";
    const char* e1 = "";
    const char* e2 = "";
    const char* e3 = "";
};

class MembersTest : public EngineTest {
protected:
    // A new scratch mail, as the runs make it, already holding these recipients.
    void new_mail(const std::vector<const char*>& present = {}) {
        scratch = app().CreateItem(host::olMailItem);
        mail = std::make_unique<engine::MemberStore>(host::SafeMailItem(host.create_object(host::progid_safe_mail_item)));
        mail->mail.SetItem(scratch);
        for (const char* r : present) {
            const std::u16string text = u(r);
            engine::AddRecipient(*mail, text, text.substr(text.rfind(u' ') + 1));
        }
    }
    // A new contact in the Contacts folder.
    host::ContactItem contact(const Fields& f) {
        auto item = std::make_shared<sim::Item>();
        item->current.fields[u"FullName"] = u(f.full_name);
        item->current.fields[u"CompanyName"] = u(f.company);
        item->current.fields[u"Email1Address"] = u(f.e1);
        item->current.fields[u"Email2Address"] = u(f.e2);
        item->current.fields[u"Email3Address"] = u(f.e3);
        auto& items = host.profile().contacts()->items;
        items.push_back(item);
        auto n = static_cast<int32_t>(items.size());
        return host::ContactItem(contacts().GetItems().object().call(u"Item", n).as_object());
    }
    void set_all_emails(bool all) { s().AllEmails = all ? host::True : host::False; }
    // The recipients the scratch mail holds, beyond the first `skip` of them.
    Strings recipients(size_t skip = 0) {
        Strings out;
        const auto& r = sim::entity_of<sim::Item>(scratch)->current.recipients;
        for (size_t i = skip; i < r.size(); ++i) out.push_back(utf8(r[i]));
        return out;
    }

    host::Object scratch;
    std::unique_ptr<engine::MemberStore> mail;
};

TEST_F(MembersTest, WhichAddressesAreAddedForEitherAnswer) {
    struct Case {
        const char* what;
        Fields contact;
        std::vector<const char*> present;  // recipients from contacts met before
        Strings all;                       // every address wanted
        Strings one;                       // one address per contact
    } cases[] = {
        {"three new", {.e1 = "a@x", .e2 = "b@x", .e3 = "c@x"}, {},
         {"Ann Lee a@x", "Ann Lee b@x", "Ann Lee c@x"}, {"Ann Lee a@x"}},
        {"first present", {.e1 = "a@x", .e2 = "b@x", .e3 = "c@x"}, {"Bo Ray a@x"},
         {"Ann Lee b@x", "Ann Lee c@x"}, {"Ann Lee b@x"}},
        {"first two present", {.e1 = "a@x", .e2 = "b@x", .e3 = "c@x"}, {"Bo Ray a@x", " b@x"},
         {"Ann Lee c@x"}, {"Ann Lee c@x"}},
        {"all present", {.e1 = "a@x", .e2 = "b@x", .e3 = "c@x"}, {"Bo Ray a@x", " b@x", "Acme c@x"}, {}, {}},
        {"first not set", {.e2 = "b@x", .e3 = "c@x"}, {}, {"Ann Lee b@x", "Ann Lee c@x"}, {"Ann Lee b@x"}},
        {"only the third", {.e3 = "c@x"}, {}, {"Ann Lee c@x"}, {"Ann Lee c@x"}},
        {"second equals first", {.e1 = "a@x", .e2 = "a@x"}, {}, {"Ann Lee a@x"}, {"Ann Lee a@x"}},
        {"second not set", {.e1 = "a@x", .e3 = "c@x"}, {}, {"Ann Lee a@x", "Ann Lee c@x"}, {"Ann Lee a@x"}},
        {"first present, second not set", {.e1 = "a@x", .e3 = "c@x"}, {"Bo Ray a@x"},
         {"Ann Lee c@x"}, {"Ann Lee c@x"}},
        {"letter case differs", {.e1 = "Ann@Acme.example"}, {"Ann Lee ann@acme.example"},
         {"Ann Lee Ann@Acme.example"}, {"Ann Lee Ann@Acme.example"}},
        {"no address", {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        for (bool all : {true, false}) {
            new_mail(c.present);
            set_all_emails(all);
            engine::AddContact(s(), contact(c.contact), *mail);
            EXPECT_EQ(recipients(c.present.size()), all ? c.all : c.one)
                << c.what << (all ? " (every address)" : " (one address)");
        }
    }
}

TEST_F(MembersTest, TheMemberIsNamedByFullNameElseCompanyName) {
    struct Case {
        const char* full_name;
        const char* company;
        const char* member;
        int company_reads;
    } cases[] = {
        {"Ann Lee", "Acme Tools", "Ann Lee a@x", 0},
        {"", "Acme Tools", "Acme Tools a@x", 1},
        {"", "", " a@x", 1},
    };
    for (const auto& c : cases) {
        new_mail();
        host.world().clear_events();
        engine::AddContact(s(), contact({.full_name = c.full_name, .company = c.company, .e1 = "a@x"}), *mail);
        EXPECT_EQ(recipients(), Strings{c.member}) << c.member;
        EXPECT_EQ(calls({"CompanyName"}).size(), static_cast<size_t>(c.company_reads)) << c.member;
    }
}

TEST_F(MembersTest, AContactMetAgainAddsOnlyWhatIsNotPresent) {
    for (bool all : {true, false}) {
        new_mail();
        set_all_emails(all);
        auto ann = contact({.e1 = "a@x", .e2 = "b@x", .e3 = "c@x"});
        Strings after_each;
        for (int visit = 0; visit < 4; ++visit) {
            engine::AddContact(s(), ann, *mail);
            after_each.push_back(std::to_string(recipients().size()));
        }
        // Every address at the first visit; or one more address at each visit.
        EXPECT_EQ(after_each, all ? (Strings{"3", "3", "3", "3"}) : (Strings{"1", "2", "3", "3"}));
        EXPECT_EQ(recipients(), (Strings{"Ann Lee a@x", "Ann Lee b@x", "Ann Lee c@x"}));
    }
}

// An address is compared whole, spaces and all: one with a space is found present when it is
// met again, and it never hides another address that is only its last word.
TEST_F(MembersTest, AnAddressWithASpaceIsComparedWhole) {
    new_mail();
    set_all_emails(true);
    auto odd = contact({.e1 = "ann lee@x"});
    engine::AddContact(s(), odd, *mail);
    engine::AddContact(s(), odd, *mail);
    engine::AddContact(s(), contact({.e1 = "lee@x"}), *mail);
    EXPECT_EQ(recipients(), (Strings{"Ann Lee ann lee@x", "Ann Lee lee@x"}));
}

TEST_F(MembersTest, EveryContactAdvancesTheBarWhichStopsAtItsMaximum) {
    new_mail();
    set_all_emails(true);
    forms().frmPBar.SetMax(2);
    s().ProgressCount = 0;
    host.world().clear_events();
    engine::AddContact(s(), contact({}), *mail);  // no address: nothing added, the bar moves all the same
    EXPECT_EQ(recipients(), Strings{});
    for (int i = 0; i < 4; ++i) engine::AddContact(s(), contact({.e1 = "a@x"}), *mail);
    EXPECT_EQ(progress_values(), (std::vector<double>{0, 1, 2, 2, 2}));
    EXPECT_EQ(s().ProgressCount, 3);

    // A count that can go no higher is left as it is; the addresses are still added.
    forms().frmPBar.SetMax(3e9f);
    s().ProgressCount = std::numeric_limits<int32_t>::max();
    engine::AddContact(s(), contact({.e1 = "z@x"}), *mail);
    EXPECT_EQ(s().ProgressCount, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(recipients().back(), "Ann Lee z@x");
}

// After its wrapper exists, a failing step of AddContact is dropped and the next one runs.
TEST_F(MembersTest, FailingStepsAreSkipped) {
    struct Case {
        const char* member;
        const char* object;
        std::vector<const char*> present;
        Strings added;  // one address per contact
    } cases[] = {
        // Nothing can be read from a wrapper without its item.
        {"Item", "SafeContactItem", {}, {}},
        // A first address that cannot be read is not set: the second stands in.
        {"Email1Address", "SafeContactItem", {}, {"Ann Lee b@x"}},
        // A name that cannot be read is empty: the company names the member.
        {"FullName", "SafeContactItem", {}, {"Acme Tools a@x"}},
        // An address whose adding failed still counts as this contact's one address.
        {"Add", "SafeRecipients", {}, {}},
        {"Recipients", "SafeMailItem", {}, {}},
        // A type that cannot be read: the address is judged by itself, and is no Exchange name.
        {"Email1AddressType", "SafeContactItem", {}, {"Ann Lee a@x"}},
    };
    for (const auto& c : cases) {
        new_mail(c.present);
        set_all_emails(false);
        auto ann = contact({.e1 = "a@x", .e2 = "b@x"});
        int64_t before = host.world().calls_of(u(c.member), u(c.object));
        host.fail(u(c.member), before + 1, u(c.object));
        s().ProgressCount = 0;
        EXPECT_NO_THROW(engine::AddContact(s(), ann, *mail)) << c.member;
        EXPECT_EQ(recipients(c.present.size()), c.added) << c.object << "." << c.member;
        EXPECT_EQ(s().ProgressCount, 1) << c.member;
    }
}

TEST_F(MembersTest, AWrapperThatCannotBeCreatedEndsTheCall) {
    new_mail();
    auto ann = contact({.e1 = "a@x"});
    host.fail(u"CreateObject", host.world().calls_of(u"CreateObject") + 1);
    s().ProgressCount = 0;
    EXPECT_THROW(engine::AddContact(s(), ann, *mail), host::Failure);
    EXPECT_EQ(recipients(), Strings{});
    EXPECT_EQ(s().ProgressCount, 0);
}

TEST_F(MembersTest, DuplicateTest) {
    new_mail();
    const std::pair<const char*, const char*> present[] = {
        {"Ann Lee ann@x", "ann@x"}, {" bob@y", "bob@y"}, {"carl@z", "carl@z"}, {"Dee Fox dee fox@w", "dee fox@w"}};
    for (auto [text, address] : present) engine::AddRecipient(*mail, u(text), u(address));
    struct Case {
        const char* address;
        bool present;
    } cases[] = {
        {"ann@x", true},     {"Ann@x", false},     {"bob@y", true},  {"carl@z", true},
        {"fox@w", false},    {"dee fox@w", true},  {"Lee", false},   {"ann", false},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::RecipientExists(*mail, u(c.address)), c.present) << c.address;

    new_mail();
    EXPECT_FALSE(engine::RecipientExists(*mail, u"ann@x"));
}

// Past 32,767 members the duplicate test still holds: a large address book gets no member twice.
TEST_F(MembersTest, TheDuplicateTestHoldsPastASixteenBitCount) {
    new_mail();
    host.world().log_calls = false;
    for (int i = 0; i < 32768; ++i) {
        const std::u16string address = u"a" + host::decimal(i) + u"@x";
        engine::AddRecipient(*mail, u"Ann Lee " + address, address);
    }
    set_all_emails(true);
    engine::AddContact(s(), contact({.e1 = "a5@x", .e2 = "a32767@x", .e3 = "new@x"}), *mail);
    const auto& r = sim::entity_of<sim::Item>(scratch)->current.recipients;
    ASSERT_EQ(r.size(), 32769u);
    EXPECT_EQ(host::to_utf8(r.back()), "Ann Lee new@x");
}

}  // namespace
}  // namespace engine_test
