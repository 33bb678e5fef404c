// The support log's record of a failure: the member a failing host call names, the line the
// Windows build writes of it, and the substitute host's "log" event.
#include <gtest/gtest.h>

#include "host/skip.h"
#include "host/support_log.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

using SupportLogTest = SimTest;

TEST_F(SupportLogTest, AFailingCallNamesItsObjectAndMemberTheInnermostFirst) {
    host.fail(u"Count", 1);
    try {
        contacts().GetItems().Count();
        FAIL() << "Count did not fail";
    } catch (host::Failure& f) {
        EXPECT_EQ(f.member(), u"Items.Count");
        f.note_member(u"Application", u"Outer");
        EXPECT_EQ(f.member(), u"Items.Count");
    }
    try {
        host::Object().get(u"Name");
        FAIL() << "a call on Nothing did not fail";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), 91);
        EXPECT_EQ(f.member(), u"Nothing.Name");
    }
}

TEST(SupportLogLine, NamesWhereAndWhatAndTheHostsWordsOnlyWhenDetailed) {
    host::Failure host_failure(static_cast<int32_t>(0x80004005), u"Cannot read\tAnn Lee\r\n<ann@acme.example>");
    host_failure.note_member(u"ContactItem", u"Email1Address");
    host::LogContext context{.time = u"2026-12-09 19:30:05Z", .host_version = u"16.0", .addin_version = u"1.0.0"};
    struct Case {
        const host::Failure& failure;
        host::Shown shown;
        bool detailed;
        std::u16string line;
    };
    const host::Failure own(6, u"Overflow");
    const std::u16string start = u"2026-12-09 19:30:05Z\tOutlook 16.0\tQuillamor 1.0.0\t";
    const Case cases[] = {
        {host_failure, host::Shown::no, false, start + u"ContactItem.Email1Address\t-2147467259 (0x80004005)\twent on"},
        {own, host::Shown::yes, false, start + u"Quillamor\t6 (0x00000006)\tshown"},
        {host_failure, host::Shown::no, true,
         start + u"ContactItem.Email1Address\t-2147467259 (0x80004005)\twent on\tCannot read Ann Lee  <ann@acme.example>"},
    };
    for (const auto& c : cases) {
        context.detailed = c.detailed;
        EXPECT_EQ(host::to_utf8(host::log_line(context, c.failure, c.shown)), host::to_utf8(c.line));
    }
}

TEST(SupportLogLine, AFileTurnsOverOnlyWhenALineWouldTakeItPastTheLimit) {
    EXPECT_FALSE(host::log_needs_rotation(0, host::log_size_limit * 2));
    EXPECT_FALSE(host::log_needs_rotation(host::log_size_limit - 10, 10));
    EXPECT_TRUE(host::log_needs_rotation(host::log_size_limit - 10, 11));
}

TEST_F(SupportLogTest, TheHostRecordsALogEventOnlyWhenAskedTo) {
    host.fail(u"FullName", 1);
    host.fail(u"FullName", 2);
    auto first = contacts().GetItems().object().call(u"Item", 1).as_object();
    host::skip(host, [&] { first.get(u"FullName"); });
    EXPECT_TRUE(events("log").empty());
    host.world().log_failures = true;
    EXPECT_TRUE(host::met_or_failed(host, [&] { return first.get(u"FullName").as_text().empty(); }));
    EXPECT_EQ(events("log"), (std::vector<Json>{{{"event", "log"}, {"member", "ContactItem.FullName"},
                                                  {"number", -2147467259}, {"shown", false}}}));
}

}  // namespace
}  // namespace sim_test
