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

// The three readings of Microsoft's pages, each over the same items: the reading decides what
// the filter returns, and only "value" returns exactly the items that carry the category.
TEST(CategoryFilter, EachReadingMatchesAsDocumented) {
    struct Case {
        const char* categories;  // the item's text, as the host joins it
        const char* separator;
        const char* value;
        bool phrase, whole, value_reading;
    } cases[] = {
        {"Partner", ",", "Partner", true, true, true},
        {"Tier1 Partner", ",", "Partner", true, false, false},  // a phrase of another category
        {"Partnership", ",", "Partner", false, false, false},   // whole words only
        {"Partner, Important", ",", "Partner", true, false, true},
        {"Business, Social", ",", "Business", true, false, true},  // a second category
        {"Business, Social", ",", "Business, Social", false, true, false},
        {"business", ",", "Business", true, true, true},
        {"Business, VIP", ",", " vip ", true, false, true},
        {"Key Customer", ",", "Customer", true, false, false},
        {"Sales & Marketing", ",", "Sales & Marketing", true, true, true},
        {"Sales & Marketing", ",", "Sales", true, false, false},
        {"Sales & Marketing; VIP", ";", "Sales & Marketing", true, false, true},
        {"Sales & Marketing; VIP", ";", "VIP", true, false, true},
        {"Sales & Marketing, VIP", ";", "VIP", true, false, false},  // one name under ";"
        {"Q1: Leads", ",", "Leads", true, false, false},
        {"Clients (old)", ",", "Clients (old)", true, true, true},
        {"Café Owners", ",", "CAFÉ OWNERS", true, true, true},
        {"Ärzte", ",", "ärzte", true, true, true},
        {"Mom's friends", ",", "Mom's friends", true, true, true},
        // Letter case is one rule in every reading: simple case folding, pairs read whole.
        {"ΠΕΛΆΤΕΣ Α, VIP", ",", "πελάτες", true, false, false},
        {"𐐔𐐇𐐝𐐀𐐡𐐇𐐓", ",", "𐐼𐐯𐑅𐐨𐑉𐐯𐐻", true, true, true},
        {"🙂 Fans", ",", "\xED\xB9\x82 Fans", false, false, false},
        {"KIRMIZI", ",", "kırmızı", false, false, false},
        {"", ",", "", false, false, false},
    };
    for (const auto& c : cases) {
        const auto match = [&](sim::CategoryReading r) {
            return sim::categories_match(u(c.categories), u(c.value), r, u(c.separator));
        };
        const std::string at = std::string(c.categories) + " / " + c.value;
        EXPECT_EQ(match(sim::CategoryReading::phrase), c.phrase) << "phrase: " << at;
        EXPECT_EQ(match(sim::CategoryReading::whole), c.whole) << "whole: " << at;
        EXPECT_EQ(match(sim::CategoryReading::value), c.value_reading) << "value: " << at;
    }
}

TEST(CategoryFilter, TheVersionSaysTheReadingUnlessTheProfileDoes) {
    EXPECT_EQ(sim::default_category_reading(u"10.0"), sim::CategoryReading::whole);
    EXPECT_EQ(sim::default_category_reading(u"11.0"), sim::CategoryReading::whole);
    EXPECT_EQ(sim::default_category_reading(u"12.0.6211"), sim::CategoryReading::phrase);
    EXPECT_EQ(sim::default_category_reading(u"16.0.17928.20114"), sim::CategoryReading::phrase);
    sim::Profile p;
    p.version = u"16.0";
    p.category_filter = sim::CategoryReading::value;
    EXPECT_EQ(p.category_reading(), sim::CategoryReading::value);
}

using RestrictTest = SimTest;

TEST_F(RestrictTest, KeepsMatchingItemsOfAnyClassInFolderOrder) {
    host.world().profile.category_filter = sim::CategoryReading::value;
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
    host.world().profile.category_filter = sim::CategoryReading::value;
    auto items = contacts().GetItems();
    EXPECT_THROW(items.Restrict(u"[Categories] = 'Mom's friends'"), host::Failure);
    EXPECT_EQ(items.Restrict(u"[Categories] = 'Mom''s friends'").Count(), 0);
}

}  // namespace
}  // namespace sim_test
