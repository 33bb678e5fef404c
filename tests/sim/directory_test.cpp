// The Exchange address book of the substitute host: a recipient made from an address, resolved
// to its entry and, from 2007 on, to the entry's Exchange user; a contact's address types; how a
// list member's text shows as a name and an address under each reading; and what the guard
// protects of it all.
#include <gtest/gtest.h>

#include <string>

#include "host/outlook.h"
#include "host/redemption.h"
#include "sim/model/guard.h"
#include "sim/model/host_errors.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

constexpr char16_t jdoe[] = u"/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe";

Json profile(const char* version) {
    Json p = Json::parse(R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": [
          {"class": 40, "FullName": "Jane Doe", "Email1AddressType": "EX",
           "Email1Address": "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe",
           "Email2Address": "jane@home.example"},
          {"class": 69, "Subject": "Team", "members": [
           "Jane Doe /o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe",
           "Ann Lee ann@acme.example", " bob@ray.example"]}]}],
        "directory": [
          {"dn": "/o=Contoso/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe",
           "name": "Jane Doe", "smtp": "jane.doe@contoso.example"},
          {"dn": "/o=Contoso/cn=sales", "name": "Sales", "smtp": "sales@contoso.example", "user": false},
          {"dn": "/o=Contoso/cn=a1", "name": "Twin"}, {"dn": "/o=Contoso/cn=a2", "name": "Twin"}]})");
    p["version"] = version;
    return p;
}

struct Book {
    sim::SimHost host;
    explicit Book(const char* version) { host.load_profile(profile(version)); }
    host::NameSpace mapi() { return host::Application(host.application()).GetNamespace(u"MAPI"); }
    host::Object item(int32_t n) {
        return mapi().GetDefaultFolder(host::olFolderContacts).GetItems().object().call(u"Item", n).as_object();
    }
};

TEST(Directory, ARecipientResolvesToOneEntryAndItsExchangeUser) {
    struct Case {
        const char16_t* name;
        bool resolves;
        const char16_t* smtp;  // null: GetExchangeUser gives Nothing
    } cases[] = {
        {jdoe, true, u"jane.doe@contoso.example"},
        {u"Jane Doe", true, u"jane.doe@contoso.example"},
        {u"jane.doe@contoso.example", true, u"jane.doe@contoso.example"},
        {u"/o=Contoso/cn=sales", true, nullptr},   // a group: no Exchange user
        {u"/O=CONTOSO/CN=SALES", false, nullptr},  // compared exactly
        {u"Twin", false, nullptr},                 // ambiguous
        {u"/o=Contoso/cn=gone", false, nullptr},
    };
    Book b("16.0");
    for (const auto& c : cases) {
        SCOPED_TRACE(host::to_utf8(c.name));
        host::AddressBookRecipient r = b.mapi().CreateRecipient(c.name);
        EXPECT_EQ(r.Name(), c.name);
        EXPECT_EQ(r.Address(), u"");
        EXPECT_EQ(r.Resolve(), c.resolves);
        if (!c.resolves) {
            // Reading the entry of a name that cannot be resolved fails.
            EXPECT_THROW(r.GetAddressEntry(), host::Failure);
            continue;
        }
        EXPECT_NE(r.Address(), u"");
        host::ExchangeUser user = r.GetAddressEntry().GetExchangeUser();
        EXPECT_EQ(static_cast<bool>(user), c.smtp != nullptr);
        if (user) {
            EXPECT_EQ(user.PrimarySmtpAddress(), c.smtp);
        }
    }
}

TEST(Directory, BeforeTwoThousandSevenAnEntryHasNoExchangeUser) {
    Book b("11.0");
    host::AddressBookRecipient r = b.mapi().CreateRecipient(jdoe);
    ASSERT_TRUE(r.Resolve());
    host::AddressEntry entry = r.GetAddressEntry();
    EXPECT_EQ(entry.object().get(u"Address").as_text(), jdoe);
    try {
        entry.GetExchangeUser();
        ADD_FAILURE() << "GetExchangeUser answered on 2003";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), host::errors::member_not_found);
    }
}

TEST(Directory, AContactsAddressTypesReadAsGivenElseSmtpWhereAnAddressIsSet) {
    Book b("16.0");
    host::Object contact = b.item(1);
    host::SafeContactItem safe(b.host.create_object(host::progid_safe_contact_item));
    safe.SetItem(contact);
    const std::u16string expected[] = {u"EX", u"SMTP", u""};
    for (int e = 0; e < 3; ++e) {
        const std::u16string field = u"Email" + host::decimal(e + 1) + u"AddressType";
        EXPECT_EQ(safe.Field(field), expected[e]) << host::to_utf8(field);
        EXPECT_EQ(contact.get(field).as_text(), expected[e]) << host::to_utf8(field);
    }
}

TEST(Directory, AMembersAddressUnderEachReading) {
    struct Case {
        const char* reading;
        std::u16string name, address;  // of the first member
    } cases[] = {
        {"lastSpace", u"Jane Doe /o=Contoso/ou=Exchange Administrative Group",
         u"(FYDIBOHF23SPDLT)/cn=Recipients/cn=jdoe"},
        {"exchangeName", u"Jane Doe", jdoe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reading);
        sim::SimHost host;
        Json p = profile("16.0");
        p["memberAddress"] = c.reading;
        host.load_profile(p);
        host::DistListItem list(host::Application(host.application())
                                    .GetNamespace(u"MAPI")
                                    .GetDefaultFolder(host::olFolderContacts)
                                    .GetItems()
                                    .object()
                                    .call(u"Item", 2)
                                    .as_object());
        EXPECT_EQ(list.GetMember(1).Name(), c.name);
        EXPECT_EQ(list.GetMember(1).Address(), c.address);
        // Other members read alike under both.
        EXPECT_EQ(list.GetMember(2).Name(), u"Ann Lee");
        EXPECT_EQ(list.GetMember(2).Address(), u"ann@acme.example");
        EXPECT_EQ(list.GetMember(3).Name(), u"");
        EXPECT_EQ(list.GetMember(3).Address(), u"bob@ray.example");
    }
}

TEST(Directory, TheGuardProtectsTheAddressBooksAddresses) {
    EXPECT_TRUE(sim::guarded_member(u"Recipient", u"Resolve"));
    EXPECT_TRUE(sim::guarded_member(u"Recipient", u"AddressEntry"));
    EXPECT_TRUE(sim::guarded_member(u"AddressEntry", u"GetExchangeUser"));
    EXPECT_TRUE(sim::guarded_member(u"ExchangeUser", u"PrimarySmtpAddress"));
    EXPECT_FALSE(sim::guarded_member(u"AddressEntry", u"Name"));
    EXPECT_FALSE(sim::guarded_member(u"NameSpace", u"CreateRecipient"));
    EXPECT_TRUE(sim::guarded_member(u"ContactItem", u"Email1AddressType"));
    EXPECT_FALSE(sim::guarded_member(u"SafeContactItem", u"Email1AddressType"));

    // Untrusted (2002 trusts nothing), the look-up warns at its first protected step.
    Book b("10.0");
    b.host.load_profile([] {
        Json p = profile("10.0");
        p["guard"] = "deny";
        return p;
    }());
    host::AddressBookRecipient r = b.mapi().CreateRecipient(jdoe);
    EXPECT_THROW(r.Resolve(), host::Failure);
    bool warned = false;
    for (const auto& e : b.host.events())
        if (e["event"] == "guard") warned = warned || (e["member"] == "Resolve" && e["object"] == "Recipient");
    EXPECT_TRUE(warned);
}

TEST(Directory, TheProfileReaderChecksTheAddressBook) {
    struct Case {
        const char* json;
        const char* error;  // a piece of the message
    } cases[] = {
        {R"({"directory": {}})", "\"directory\" must be a list"},
        {R"({"directory": [{"name": "x"}]})", "needs a \"dn\""},
        {R"({"directory": [{"dn": ""}]})", "must not be empty"},
        {R"({"directory": [{"dn": "/o=a"}, {"dn": "/o=a"}]})", "given twice"},
        {R"({"directory": [{"dn": "/o=a", "smpt": "x"}]})", "unknown field"},
        {R"({"memberAddress": "firstSpace"})", "\"memberAddress\" must be"},
    };
    for (const auto& c : cases) {
        sim::SimHost host;
        try {
            host.load_profile(Json::parse(c.json));
            ADD_FAILURE() << c.json << " was read";
        } catch (const sim::ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace sim_test
