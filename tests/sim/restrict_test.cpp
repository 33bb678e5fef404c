// The substitute host's category filter: which conditions it parses, which it refuses, how
// items match, and what Items.Restrict returns.
#include <gtest/gtest.h>

#include "sim/model/restrict.h"
#include "sim_fixture.h"

namespace sim_test {
namespace {

TEST(CategoryFilter, AcceptedFormsGiveTheirValue) {
    struct Case {
        const char* filter;
        const char* value;
    } cases[] = {
        {"[Categories] = 'Business'", "Business"},
        {"[Categories] = ' Personal'", " Personal"},           // the blank after a separator stays
        {"[Categories] = 'Mom''s friends'", "Mom's friends"},  // a doubled apostrophe is one
        {"[Categories] = ''''", "'"},
        {"[Categories] = ''", ""},
        {"[categories]='VIP'", "VIP"},
        {"  [Categories]  =  'A, B'  ", "A, B"},
        {"[Categories] = 'Café Owners'", "Café Owners"},
    };
    for (const auto& c : cases) EXPECT_EQ(sim::parse_category_filter(u(c.filter)), u(c.value)) << c.filter;
}

TEST(CategoryFilter, OtherConditionsAreRefusedWithAFailure) {
    const char* refused[] = {
        "[Categories] = 'Mom's friends'",  // an apostrophe that is not doubled
        "[Categories] = 'Business",        // no closing quote
        "[Categories] = 'A''",             // the doubled quote leaves none to close
        "[FullName] = 'Ann Lee'",
        "[Categories] <> 'A'",
        "[Categories] = \"A\"",
        "Categories = 'A'",
        "[Categories = 'A'",
        "[Categories] = 'A' AND [Categories] = 'B'",
        "",
    };
    for (const char* f : refused) {
        try {
            sim::parse_category_filter(u(f));
            ADD_FAILURE() << "accepted: " << f;
        } catch (const host::Failure& e) {
            EXPECT_EQ(e.number(), -2147352567) << f;
            EXPECT_NE(e.description().find(u"Cannot parse condition"), std::u16string::npos) << f;
        }
    }
}

TEST(CategoryFilter, MatchingIgnoresCaseAndSurroundingBlanks) {
    struct Case {
        const char* categories;
        const char* value;
        bool match;
    } cases[] = {
        {"Business, VIP", "VIP", true},
        {"Business, VIP", " vip ", true},
        {"Business, VIP", "Bus", false},
        {"Business, VIP", "Business, VIP", false},  // one category at a time
        {"Team 1 Leads, VIP", "Team ", false},
        {"Café Owners", "CAFÉ OWNERS", true},
        {"Ärzte", "ärzte", true},
        {"Mom's friends", "Mom's friends", true},
        {"", "", false},
        {"Business;Personal", "Business", false},  // only a comma separates categories
    };
    for (const auto& c : cases)
        EXPECT_EQ(sim::categories_match(u(c.categories), u(c.value)), c.match) << c.categories << " / " << c.value;
}

using RestrictTest = SimTest;

TEST_F(RestrictTest, KeepsMatchingItemsOfAnyClassInFolderOrder) {
    host::Items r = contacts().GetItems().Restrict(u"[Categories] = ' business'");
    ASSERT_EQ(r.Count(), 2);
    std::vector<int32_t> classes;
    r.object().for_each([&](const host::Variant& v) { classes.push_back(host::ItemClass(v.as_object())); });
    EXPECT_EQ(classes, (std::vector<int32_t>{40, 69}));
    // A restricted collection can be restricted again; subfolders are not searched.
    EXPECT_EQ(r.Restrict(u"[Categories] = 'VIP'").Count(), 1);
    EXPECT_EQ(contacts().GetItems().Restrict(u"[Categories] = 'VIP'").Count(), 2);
    EXPECT_EQ(contacts().GetItems().Restrict(u"[Categories] = 'Nobody'").Count(), 0);
}

TEST_F(RestrictTest, ARefusedFilterFailsTheCall) {
    auto items = contacts().GetItems();
    EXPECT_THROW(items.Restrict(u"[Categories] = 'Mom's friends'"), host::Failure);
    EXPECT_EQ(items.Restrict(u"[Categories] = 'Mom''s friends'").Count(), 0);
}

}  // namespace
}  // namespace sim_test
