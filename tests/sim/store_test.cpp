// The substitute host's store: saving a new list, reading it back by entry ID, discarding
// unsaved changes, and the safe-item wrappers that fill and name a list.
#include <gtest/gtest.h>

#include "host/redemption.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

using StoreTest = SimTest;

// A list made as the runs make it: recipients gathered on a scratch mail, moved in one call.
TEST_F(StoreTest, ASavedListIsStoredInContactsAndReadBackByEntryID) {
    auto a = app();
    auto ns = a.GetNamespace(u"MAPI");
    host::SafeMailItem mail(host.create_object(host::progid_safe_mail_item));
    host::SafeDistList safe_list(host.create_object(host::progid_safe_dist_list));
    mail.SetItem(a.CreateItem(host::olMailItem));
    safe_list.SetItem(a.CreateItem(host::olDistributionListItem));
    mail.Recipients().Add(u"Ann Lee ann@acme.example");
    mail.Recipients().Add(u" dee@fox.example");
    ASSERT_EQ(mail.Recipients().Count(), 2);
    EXPECT_EQ(mail.Recipients().Item(2).Name(), u" dee@fox.example");
    EXPECT_THROW(mail.Recipients().Item(3), host::Failure);
    safe_list.AddMembers(mail.Recipients());
    safe_list.object().put(u"Subject", u"Business, VIP");
    safe_list.object().put(u"Categories", u"Business, VIP");

    host::DistListItem list(safe_list.Item());
    EXPECT_EQ(list.EntryID(), u"");
    list.Save();
    std::u16string id = list.EntryID();
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of(u"0123456789ABCDEF"), std::u16string::npos);

    // A change after saving is lost with Close(1).
    list.object().put(u"Subject", u"changed");
    list.Close(host::olDiscard);
    host::DistListItem again(ns.GetItemFromID(id));
    EXPECT_FALSE(again.object() == list.object());  // a fresh object on the same item
    EXPECT_EQ(again.object().get(u"Subject").as_text(), u"Business, VIP");
    EXPECT_EQ(again.Categories(), u"Business, VIP");
    again.Display();

    auto saved = events("saved");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0], (Json{{"event", "saved"},
                              {"entryId", sim::utf8(id)},
                              {"subject", "Business, VIP"},
                              {"categories", "Business, VIP"},
                              {"members", {"Ann Lee ann@acme.example", " dee@fox.example"}}}));
    EXPECT_EQ(events("display"), (std::vector<Json>{{{"event", "display"}, {"entryId", sim::utf8(id)}}}));
    // Where the host puts a new item: the default Contacts folder, after what was there.
    EXPECT_EQ(host.profile().contacts()->items.size(), 5u);
    EXPECT_EQ(host.profile().contacts()->items.back()->entry_id, id);
}

TEST_F(StoreTest, EntryIDsAreDistinctAndUnknownOnesFail) {
    auto a = app();
    host::DistListItem one(a.CreateItem(host::olDistributionListItem));
    host::DistListItem two(a.CreateItem(host::olDistributionListItem));
    one.Save();
    two.Save();
    EXPECT_NE(one.EntryID(), two.EntryID());
    // Saving again keeps the ID.
    std::u16string id = one.EntryID();
    one.Save();
    EXPECT_EQ(one.EntryID(), id);
    EXPECT_THROW(a.GetNamespace(u"MAPI").GetItemFromID(u"00000000000000000000000000000000"), host::Failure);
    // An item never saved cannot be fetched.
    host::DistListItem scratch(a.CreateItem(host::olDistributionListItem));
    EXPECT_THROW(a.GetNamespace(u"MAPI").GetItemFromID(scratch.EntryID()), host::Failure);
}

TEST_F(StoreTest, ProfileItemsAreInTheStoreToo) {
    auto ns = app().GetNamespace(u"MAPI");
    const auto& first = host.profile().contacts()->items.front();
    auto item = ns.GetItemFromID(first->entry_id);
    EXPECT_EQ(item.get(u"FullName").as_text(), u"Ann Lee");
    EXPECT_EQ(item.get(u"Categories").as_text(), u"Business, VIP");
    EXPECT_EQ(item.get(u"Email3Address").as_text(), u"");  // unset text fields read empty
}

TEST_F(StoreTest, ContactWrapperReadsFieldsAndNeedsAnItem) {
    host::SafeContactItem c(host.create_object(host::progid_safe_contact_item));
    EXPECT_THROW(c.Field(u"FullName"), host::Failure);
    host::Items items = contacts().GetItems();
    c.SetItem(items.object().call(u"Item", 4).as_object());
    EXPECT_EQ(c.Field(u"FullName"), u"Cy Orr");
    EXPECT_EQ(c.Field(u"CompanyName"), u"Orr Ltd");
    EXPECT_EQ(c.Field(u"Email1Address"), u"");
}

}  // namespace
}  // namespace sim_test
