// The limits of real mail stores as the substitute host plays them (and outlook-sim with it,
// over the same objects): a list's members on a host before 2010, and a session's open items.
#include <gtest/gtest.h>

#include "host/redemption.h"
#include "sim/model/store_limits.h"
#include "sim_fixture.h"

namespace {

using sim::member_entry_bytes;

struct EntrySize {
    const char* what;
    std::u16string text;  // as the recipients hold it: "Display Name address"
    int64_t bytes;
};

class MemberEntry : public ::testing::TestWithParam<EntrySize> {};

// 24 bytes, then name, "SMTP" and address as UTF-16 with their zeros.
TEST_P(MemberEntry, CostsItsOneOffEntryId) { EXPECT_EQ(member_entry_bytes(GetParam().text), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(
    Texts, MemberEntry,
    ::testing::Values(EntrySize{"ascii", u"Ann Lee ann@acme.example", 24 + 2 * 8 + 10 + 2 * 17},
                      EntrySize{"no_name", u" dee@fox.example", 24 + 2 * 1 + 10 + 2 * 16},
                      EntrySize{"cjk_with_spaces", u"\u674E \u5C0F\u9F8D li@x.example", 24 + 2 * 5 + 10 + 2 * 13},
                      EntrySize{"right_to_left", u"\u05D3\u05E0\u05D4 dana@x.example", 24 + 2 * 4 + 10 + 2 * 15},
                      // A character beyond the basic plane is two UTF-16 units.
                      EntrySize{"surrogate_pair", u"\U0001F600 x@y.z", 24 + 2 * 3 + 10 + 2 * 6},
                      EntrySize{"combining_mark", u"Zoe\u0308 z@y.z", 24 + 2 * 5 + 10 + 2 * 6}),
    [](const auto& info) { return std::string(info.param.what); });

// A list filled as the runs fill it, on a host with a small limit.
class ListLimit : public sim_test::SimTest {
protected:
    // Members of 84 bytes each ("Ann Lee ann@acme.example" and its like).
    static std::u16string member(int i) { return u"Ann Lee ann" + std::u16string(1, u'0' + i) + u"@acme.exampl"; }

    int32_t fill(int members, int64_t limit, const char* full, int32_t version = 11) {
        sim::Json p = sim_test::small_profile();
        p["version"] = std::to_string(version) + ".0";
        if (limit >= 0) p["listLimitBytes"] = limit;
        if (full) p["listFull"] = full;
        host.load_profile(p);
        auto a = app();
        host::SafeMailItem mail(host.create_object(host::progid_safe_mail_item));
        host::SafeDistList list(host.create_object(host::progid_safe_dist_list));
        mail.SetItem(a.CreateItem(host::olMailItem));
        list.SetItem(a.CreateItem(host::olDistributionListItem));
        for (int i = 0; i < members; ++i) mail.Recipients().Add(member(i));
        list.AddMembers(mail.Recipients());
        return host::DistListItem(list.Item()).object().get(u"MemberCount").as_int32();
    }
};

TEST_F(ListLimit, KeepsTheMembersThatFitInTruncateMode) {
    ASSERT_EQ(member_entry_bytes(member(0)), 84);
    EXPECT_EQ(fill(3, 3 * 84, nullptr), 3);          // the last one just fits
    EXPECT_EQ(fill(3, 3 * 84 - 1, "truncate"), 2);   // one byte short: it does not
    EXPECT_EQ(fill(3, 0, nullptr), 3);               // 0: no limit
}

TEST_F(ListLimit, AddsNothingAndFailsInFailMode) {
    EXPECT_EQ(fill(3, 3 * 84, "fail"), 3);
    try {
        fill(3, 3 * 84 - 1, "fail");
        ADD_FAILURE() << "AddMembers did not fail";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.description(), sim::list_full_text);
    }
}

TEST_F(ListLimit, IsTheHostsOwnWhenTheProfileSaysNothing) {
    // 15,000 bytes before 2010: 178 members of 84 bytes fit, the 179th does not.
    EXPECT_EQ(fill(179, -1, nullptr, 11), 178);
    EXPECT_EQ(fill(179, -1, nullptr, 14), 179);  // from 2010 on, none
}


// Items a session holds open: the one past the limit is refused as a mailbox server refuses
// it; the ones let go make room; folders and collections do not count.
TEST_F(ListLimit, OpenItemsPastTheLimitAreRefusedAndThePeaksKept) {
    sim::Json p = sim_test::small_profile();
    p["openItemLimit"] = 2;
    host.load_profile(p);
    auto items = contacts().GetItems();
    {
        host::Object first = items.object().call(u"Item", host::Variant(1)).as_object();
        host::Object second = items.object().call(u"Item", host::Variant(2)).as_object();
        try {
            items.object().call(u"Item", host::Variant(3)).as_object();
            ADD_FAILURE() << "a third item was handed out";
        } catch (const host::Failure& f) {
            EXPECT_EQ(f.number(), sim::too_many_open_items);
        }
    }
    host::Object again = items.object().call(u"Item", host::Variant(3)).as_object();  // room again
    auto end = host.world().end_event(0);
    EXPECT_EQ(end["peakOpenItems"], 2);
    EXPECT_GE(end["peakLiveObjects"].get<int64_t>(), 3);  // the two items and their collection at least
    // Without the field, the end says nothing of peaks (every transcript before stays as it was).
    host.load_profile(sim_test::small_profile());
    EXPECT_FALSE(host.world().end_event(0).contains("peakOpenItems"));
}

}  // namespace
