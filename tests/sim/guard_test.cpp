// The object-model guard of the substitute host: which Application the host trusts, on which
// versions, and what each "guard" setting does with a protected read by untrusted code.
#include <gtest/gtest.h>

#include <string>

#include "host/outlook.h"
#include "sim/model/guard.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

struct GuardCase {
    const char* name;
    const char* version;
    const char* guard;     // the profile's setting; null: left out (prompt)
    bool own_application;  // the add-in made its own Application instead of the host's
    const char* answer;    // the guard answer waiting; null: none
    bool warned, allowed;
};

class GuardTest : public ::testing::TestWithParam<GuardCase> {};

// Reads the first member of the profile's list: DistListItem.GetMember, then Recipient.Address.
TEST_P(GuardTest, AProtectedReadWarnsOnlyWhereTheHostDoesNotTrustTheCaller) {
    const GuardCase& c = GetParam();
    sim::SimHost host;
    Json profile = Json::parse(R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "itemType": 2,
        "items": [{"class": 69, "Subject": "Team", "members": ["Ann Lee ann@acme.example"]}]}]})");
    profile["version"] = c.version;
    if (c.guard) profile["guard"] = c.guard;
    host.load_profile(profile);
    if (c.answer) host.add_answers(Json::array({{{"guard", c.answer}}}));

    host::Application app(c.own_application ? host.create_application() : host.application());
    host::Items items = app.GetNamespace(u"MAPI").GetDefaultFolder(host::olFolderContacts).GetItems();
    host::DistListItem list(items.object().call(u"Item", 1).as_object());
    EXPECT_EQ(list.Subject(), u"Team");  // not a protected member: never warns
    bool allowed = true;
    try {
        EXPECT_EQ(list.GetMember(1).Address(), u"ann@acme.example");
    } catch (const host::Failure& f) {
        allowed = false;
        EXPECT_EQ(f.number(), sim::guard_denied);
    }
    EXPECT_EQ(allowed, c.allowed);

    std::vector<Json> warnings;
    for (const auto& e : host.events())
        if (e["event"] == "guard") warnings.push_back(e);
    if (!c.warned) {
        EXPECT_TRUE(warnings.empty());
        return;
    }
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings[0]["member"], "GetMember");
    EXPECT_EQ(warnings[0]["object"], "DistListItem");
    const bool asks = !c.guard || std::string(c.guard) == "prompt";
    EXPECT_EQ(warnings[0]["answer"], c.allowed || (asks && c.answer) ? c.answer ? c.answer : "Allow" : "Deny");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuardTest,
    ::testing::Values(
        GuardCase{"HostsApplicationOn2003", "11.0", nullptr, false, nullptr, false, true},
        GuardCase{"HostsApplicationOn2016Deny", "16.0", "deny", false, nullptr, false, true},
        GuardCase{"HostsApplicationOn2002", "10.0", "deny", false, nullptr, true, false},
        GuardCase{"OwnApplicationUnanswered", "16.0", nullptr, true, nullptr, true, false},
        GuardCase{"OwnApplicationDenied", "16.0", "prompt", true, "Deny", true, false},
        GuardCase{"OwnApplicationPolicyDenies", "16.0", "deny", true, "Allow", true, false},
        GuardCase{"OwnApplicationHealthyAntivirus", "16.0", "off", true, nullptr, false, true},
        // Allowed once, the member itself is read; its Address then warns again, unanswered.
        GuardCase{"OwnApplicationAllowedOnce", "11.0", "prompt", true, "Allow", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GuardModel, ProtectsWhatTheHostProtectsAndNothingElse) {
    EXPECT_TRUE(sim::guarded_member(u"DistListItem", u"GetMember"));
    EXPECT_TRUE(sim::guarded_member(u"Recipient", u"Name"));
    EXPECT_TRUE(sim::guarded_member(u"ContactItem", u"email2address"));
    EXPECT_FALSE(sim::guarded_member(u"ContactItem", u"FullName"));
    EXPECT_FALSE(sim::guarded_member(u"UserProperties", u"Find"));
    EXPECT_FALSE(sim::guarded_member(u"SafeContactItem", u"Email1Address"));
}

}  // namespace
}  // namespace sim_test
