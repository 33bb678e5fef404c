// The choke point of the substitute host: the call log, fault injection, call hooks, unknown
// members, and the count of live host objects.
#include <gtest/gtest.h>

#include "host/redemption.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

using CallsTest = SimTest;

TEST_F(CallsTest, EveryInvocationIsLoggedInOrderWithItsArguments) {
    auto items = contacts().GetItems();
    items.Restrict(u"[Categories] = 'VIP'").Count();
    EXPECT_EQ(host.call_names(),
              (std::vector<std::string>{"Application.GetNamespace", "NameSpace.GetDefaultFolder",
                                        "MAPIFolder.Items", "Items.Restrict", "Items.Count"}));
    auto calls = events("call");
    EXPECT_EQ(calls[1]["args"], Json::array({10}));
    EXPECT_EQ(calls[1]["kind"], "call");
    EXPECT_EQ(calls[3]["args"], Json::array({"[Categories] = 'VIP'"}));
    EXPECT_EQ(calls[4]["kind"], "get");
    // An object argument is logged by its type.
    host::SafeMailItem mail(host.create_object(host::progid_safe_mail_item));
    mail.SetItem(app().CreateItem(host::olMailItem));
    EXPECT_EQ(events("call").back()["args"], Json::array({Json{{"object", "MailItem"}}}));
}

TEST_F(CallsTest, TheNthCallOfAMemberFailsCountingOverTheWholeRun) {
    host.fail(u"Count", 3);
    auto f = contacts();
    auto items = f.GetItems();
    EXPECT_NO_THROW(items.Count());
    EXPECT_NO_THROW(f.GetFolders().object().get(u"Count"));  // counted on another type too
    try {
        items.Count();
        FAIL() << "the third Count did not fail";
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), -2147467259);
        EXPECT_NE(e.description().find(u"Items.Count, call 3"), std::u16string::npos);
    }
    EXPECT_NO_THROW(items.Count());
    // The failing call is in the log: the log shows what was attempted.
    EXPECT_EQ(host.call_names().size(), 8u);
}

TEST_F(CallsTest, AFaultForOneTypeCountsOnlyThatType) {
    host.add_faults(Json::parse(R"([{"member": "Count", "occurrence": 2, "object": "Items"}])"));
    auto f = contacts();
    auto items = f.GetItems();
    items.Count();
    f.GetFolders().object().get(u"count");  // another type, any letter case
    f.GetFolders().object().get(u"Count");
    EXPECT_THROW(items.Count(), host::Failure);
}

TEST_F(CallsTest, RuntimeCallsCanFail) {
    host.fail(u"CreateObject", 1);
    EXPECT_THROW(host.create_object(host::progid_safe_mail_item), host::Failure);
    EXPECT_NO_THROW(host.create_object(host::progid_safe_mail_item));
    host.fail(u"New", 1);
    EXPECT_THROW(host.create_application(), host::Failure);
}

TEST_F(CallsTest, AHookRunsBeforeItsCallAndCanChangeTheProfile) {
    host.profile().category_filter = sim::CategoryReading::value;
    // Between a counting and a filling pass: a new contact appears before the second Restrict.
    host.on_call(u"Restrict", 2, [this] {
        auto item = std::make_shared<sim::Item>();
        item->current.categories = u"VIP";
        host.profile().contacts()->items.push_back(item);
        host.create_application();  // a hook may call the host itself
    });
    host.fail(u"Restrict", 2, u"Items");
    auto items = contacts().GetItems();
    EXPECT_EQ(items.Restrict(u"[Categories] = 'VIP'").Count(), 2);
    // The hook ran, then the call failed as the fault said.
    EXPECT_THROW(items.Restrict(u"[Categories] = 'VIP'"), host::Failure);
    EXPECT_EQ(items.Restrict(u"[Categories] = 'VIP'").Count(), 3);
    EXPECT_EQ(host.world().calls_of(u"restrict", u"items"), 3);
}

TEST_F(CallsTest, UnknownMembersAndReadOnlyPropertiesFail438) {
    auto f = contacts();
    try {
        f.object().get(u"NoSuchThing");
        FAIL();
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), 438);
    }
    try {
        f.object().put(u"DefaultItemType", 0);
        FAIL();
    } catch (const host::Failure& e) {
        EXPECT_EQ(e.number(), 438);
    }
    // Member names ignore letter case; a read and a call reach the same member.
    EXPECT_EQ(f.object().call(u"defaultitemtype").as_int32(), 2);
}

TEST_F(CallsTest, LiveObjectsAreCountedUntilReleased) {
    EXPECT_EQ(host.live_objects(), 0);
    {
        auto a = app();
        auto f = contacts();
        auto items = f.GetItems();
        items.object().for_each([](const host::Variant&) {});  // each item released in turn
        EXPECT_EQ(host.live_objects(), 3);  // the application, the folder and its items
        host::SafeMailItem mail(host.create_object(host::progid_safe_mail_item));
        mail.SetItem(a.CreateItem(host::olMailItem));
        EXPECT_EQ(host.live_objects(), 5);  // the wrapper holds the mail it was given
    }
    EXPECT_EQ(host.live_objects(), 0);
}

}  // namespace
}  // namespace sim_test
