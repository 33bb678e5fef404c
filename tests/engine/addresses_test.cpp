// The address rule: which address an e-mail entry gives the list. An Exchange entry becomes the
// person's e-mail address where the host can look it up (2007 on); otherwise, and whenever the
// look-up fails, it stays whole, spaces and all, and the user is told of a failure.
#include <gtest/gtest.h>

#include <memory>

#include "engine/members.h"
#include "engine/messages.h"
#include "engine_fixture.h"
#include "host/failure.h"
#include "sim/model/sim_object.h"

namespace engine_test {
namespace {

constexpr const char* jdoe = "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe";
constexpr const char* gone = "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=left";
constexpr const char* group = "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=sales";
constexpr const char* no_smtp = "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=room";

class AddressRuleTest : public EngineTest {
protected:
    // A profile of this version with the address book, and one contact per (address, type).
    void load(const char* version, const std::vector<std::pair<std::string, std::string>>& entries) {
        Json items = Json::array();
        for (const auto& [address, type] : entries) {
            Json c = {{"class", 40}, {"FullName", "Ann Lee"}, {"Email1Address", address}};
            if (!type.empty()) c["Email1AddressType"] = type;
            items.push_back(c);
        }
        host.load_profile({{"version", version},
                           {"folders", {{{"name", "Contacts"}, {"defaultFor", "contacts"}, {"items", items}}}},
                           {"directory",
                            {{{"dn", jdoe}, {"name", "Jane Doe"}, {"smtp", "jane.doe@contoso.example"}},
                             {{"dn", group}, {"name", "Sales"}, {"smtp", "sales@contoso.example"}, {"user", false}},
                             {{"dn", no_smtp}, {"name", "Room 1"}}}}});
        state = connected_state(host, views);
        host.world().clear_events();
        scratch = app().CreateItem(host::olMailItem);
        members = std::make_unique<engine::MemberStore>(
            host::SafeMailItem(host.create_object(host::progid_safe_mail_item)));
        members->mail.SetItem(scratch);
        s().AllEmails = host::True;
    }
    std::vector<host::ContactItem> contact_items() {
        std::vector<host::ContactItem> out;
        host::Items items = contacts().GetItems();
        for (int32_t i = 1; i <= items.Count(); ++i) out.emplace_back(items.object().call(u"Item", i).as_object());
        return out;
    }
    void add(const std::vector<host::ContactItem>& items) {
        for (const auto& c : items) engine::AddContact(s(), c, *members);
    }
    void add_every_contact() { add(contact_items()); }
    Strings recipients() {
        Strings out;
        for (const auto& r : sim::entity_of<sim::Item>(scratch)->current.recipients) out.push_back(utf8(r));
        return out;
    }

    host::Object scratch;
    std::unique_ptr<engine::MemberStore> members;
};

TEST_F(AddressRuleTest, EachEntryGivesItsAddress) {
    const std::string ann = "Ann Lee ";
    struct Case {
        const char* what;
        const char* version;
        std::string address, type;
        std::string member;
    } cases[] = {
        {"SMTP, type not given", "16.0", "ann@x.example", "", ann + "ann@x.example"},
        {"SMTP", "16.0", "ann@x.example", "SMTP", ann + "ann@x.example"},
        {"SMTP, letter case kept", "16.0", "Ann@X.example", "SMTP", ann + "Ann@X.example"},
        {"Exchange, resolved", "16.0", jdoe, "EX", ann + "jane.doe@contoso.example"},
        {"Exchange, type in lower case", "16.0", jdoe, "ex", ann + "jane.doe@contoso.example"},
        {"Exchange, unknown: whole, with its spaces", "16.0", gone, "EX", ann + gone},
        {"Exchange, in another letter case: not found, whole as written", "16.0",
         "/O=CONTOSO/OU=Exchange Administrative Group (FYDIBOHF23SPDLT)/CN=Recipients/CN=JDOE", "EX",
         ann + "/O=CONTOSO/OU=Exchange Administrative Group (FYDIBOHF23SPDLT)/CN=Recipients/CN=JDOE"},
        {"Exchange group: no user, whole", "16.0", group, "EX", ann + group},
        {"Exchange user without an SMTP address: whole", "16.0", no_smtp, "EX", ann + no_smtp},
        {"a distinguished name typed as SMTP: as it is", "16.0", jdoe, "SMTP", ann + jdoe},
        {"2003 cannot look it up: whole", "11.0", jdoe, "EX", ann + jdoe},
        {"2007 can", "12.0", jdoe, "EX", ann + "jane.doe@contoso.example"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.version, {{c.address, c.type}});
        add_every_contact();
        EXPECT_EQ(recipients(), Strings{c.member});
        EXPECT_TRUE(members->left_out.empty());
        // Nothing is asked of the address book for an address that is not an Exchange one,
        // or where the host has no Exchange users.
        const bool asked = c.type == "EX" || c.type == "ex";
        EXPECT_EQ(calls({"CreateRecipient"}).size(), asked && std::string(c.version) != "11.0" ? 1u : 0u);
    }
}

// The same person by SMTP and by Exchange address, or by one Exchange address met twice, is one
// member; two Exchange addresses that differ only before their last space are two.
TEST_F(AddressRuleTest, DuplicatesAreToldApartByTheWholeAddress) {
    const std::string fabrikam_jdoe =
        "/o=Fabrikam/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe";
    load("16.0", {{"jane.doe@contoso.example", ""}, {jdoe, "EX"}, {jdoe, "EX"}, {gone, "EX"}, {gone, "EX"},
                  {fabrikam_jdoe, "EX"}});
    add_every_contact();
    EXPECT_EQ(recipients(),
              (Strings{"Ann Lee jane.doe@contoso.example", std::string("Ann Lee ") + gone, "Ann Lee " + fabrikam_jdoe}));
    EXPECT_EQ(calls({"CreateRecipient"}).size(), 3u);  // each address looked up once

    load("11.0", {{jdoe, "EX"}, {jdoe, "EX"}, {fabrikam_jdoe, "EX"}});
    add_every_contact();
    EXPECT_EQ(recipients(), (Strings{std::string("Ann Lee ") + jdoe, "Ann Lee " + fabrikam_jdoe}));
}

// Any call of the look-up that fails keeps the Exchange address whole: the member is in the
// list, and the contact is named in what the run tells the user.
TEST_F(AddressRuleTest, AFailedLookUpKeepsTheAddressAndIsTold) {
    for (const char* member : {"Version", "GetNamespace", "CreateRecipient", "Resolve", "AddressEntry",
                               "GetExchangeUser", "PrimarySmtpAddress"}) {
        SCOPED_TRACE(member);
        load("16.0", {{jdoe, "EX"}});
        const auto items = contact_items();
        host.fail(u(member), host.world().calls_of(u(member)) + 1);
        add(items);
        EXPECT_EQ(recipients(), Strings{std::string("Ann Lee ") + jdoe});
        EXPECT_EQ(members->left_out.not_looked_up(), std::vector<std::u16string>{u"Ann Lee"});
        EXPECT_TRUE(members->left_out.contacts().empty());
    }
}

// A contact whose name cannot be read is told of by the same words in both lists of the
// message: what was left out of it, and the address that could not be looked up.
TEST_F(AddressRuleTest, AContactWithoutAReadableNameIsToldOfAlikeInBothLists) {
    load("16.0", {{jdoe, "EX"}});
    const auto items = contact_items();
    host.fail(u"FullName", host.world().calls_of(u"FullName") + 1);
    host.fail(u"CreateRecipient", host.world().calls_of(u"CreateRecipient") + 1);
    add(items);
    const std::vector<std::u16string> unreadable{std::u16string(engine::text::contact_name_unreadable)};
    EXPECT_EQ(members->left_out.contacts(), unreadable);
    EXPECT_EQ(members->left_out.not_looked_up(), unreadable);
}

}  // namespace
}  // namespace engine_test
