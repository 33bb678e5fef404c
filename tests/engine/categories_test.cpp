// The selection text: finding the separator the host put between the picked categories,
// splitting the text into names, and the filter made from each name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/categories.h"
#include "engine_fixture.h"
#include "host/failure.h"
#include "sim/model/restrict.h"

namespace engine_test {
namespace {

TEST(CategorySeparator, ScanAndSplit) {
    struct Case {
        const char* text;
        const char* separator;
        std::vector<const char*> names;
    } cases[] = {
        {"Business, Personal", ",", {"Business", " Personal"}},  // the blank after it stays
        {"Business", "---", {"Business"}},
        {"Business;Personal", "---", {"Business;Personal"}},  // no blank after the ";"
        {"Key Customer, VIP", ",", {"Key Customer", " VIP"}},  // a blank after a letter is passed over
        {"A, B, C", ",", {"A", " B", " C"}},
        {"Business;  Personal; VIP", ";", {"Business", "  Personal", " VIP"}},
        {"A---B", "---", {"A", "B"}},
        {"A---B---", "---", {"A", "B", ""}},  // empty pieces are kept
        {"A,, B", ",", {"A", "", " B"}},
        {"Business, ", ",", {"Business", " "}},
        {" Business, VIP", ",", {" Business", " VIP"}},  // nothing precedes the first character
        {"  VIP", " ", {"", "", "VIP"}},                 // ...but the second blank follows the first
        {"VIP ", "---", {"VIP "}},
        {"R&D, Sales", ",", {"R&D", " Sales"}},
        // Letters of any alphabet and decimal digits belong to the name.
        {"Team 1 Leads, VIP", ",", {"Team 1 Leads", " VIP"}},
        {"Café Owners, VIP", ",", {"Café Owners", " VIP"}},
        {"Straße Nord, Süd", ",", {"Straße Nord", " Süd"}},
        {"Клиенты Москва, VIP", ",", {"Клиенты Москва", " VIP"}},
        {"Πελάτες Α, VIP", ",", {"Πελάτες Α", " VIP"}},
        {"東京 支店、 VIP", "、", {"東京 支店", " VIP"}},
        {"عملاء ٣ كبار, VIP", ",", {"عملاء ٣ كبار", " VIP"}},  // Arabic-Indic digit three
        {"Team １ Leads, VIP", ",", {"Team １ Leads", " VIP"}},  // fullwidth digit one
        {"1 2", "---", {"1 2"}},
        // Anything else before a blank is taken for the separator, as the scan always did.
        {"Sales & Marketing, VIP", "&", {"Sales ", " Marketing, VIP"}},
        {"Clients (old) 2, VIP", ")", {"Clients (old", " 2, VIP"}},
        // Half of a character outside the basic plane is never the separator: 𠮷 is a letter.
        {"𠮷田 𠮷 Group, VIP", ",", {"𠮷田 𠮷 Group", " VIP"}},
        {"🙂 Fans, VIP", ",", {"🙂 Fans", " VIP"}},
    };
    for (const auto& c : cases) {
        std::u16string separator = engine::FindCategorySeparator(u(c.text));
        EXPECT_EQ(utf8(separator), c.separator) << c.text;
        std::vector<std::string> names;
        for (const auto& n : engine::SplitCategories(u(c.text), separator)) names.push_back(utf8(n));
        EXPECT_EQ(names, std::vector<std::string>(c.names.begin(), c.names.end())) << c.text;
    }
}

TEST(CategorySeparator, EmptyTextHasNone) { EXPECT_EQ(engine::FindCategorySeparator(u""), u"---"); }

TEST(CategorySeparator, TextLongerThanASixteenBitLengthOverflows) {
    std::u16string longest(32767, u'x');
    longest[32765] = u',';
    longest[32766] = u' ';
    EXPECT_EQ(engine::FindCategorySeparator(longest), u",");
    try {
        engine::FindCategorySeparator(longest + u"x");
        FAIL() << "no overflow";
    } catch (const host::Failure& f) {
        EXPECT_EQ(f.number(), host::errors::overflow);
    }
}

TEST(CategoryFilterText, NamesGoInQuotedWithApostrophesDoubled) {
    struct Case {
        const char* name;
        const char* filter;
    } cases[] = {
        {"Business", "[Categories] = 'Business'"},
        {" Personal", "[Categories] = ' Personal'"},
        {"Mom's friends", "[Categories] = 'Mom''s friends'"},
        {"'", "[Categories] = ''''"},
        {"a''b", "[Categories] = 'a''''b'"},
        {"", "[Categories] = ''"},
        {"Café Owners", "[Categories] = 'Café Owners'"},
    };
    for (const auto& c : cases) {
        std::u16string filter = engine::CategoryFilter(u(c.name));
        EXPECT_EQ(utf8(filter), c.filter) << c.name;
        // The host reads back exactly the name from the filter.
        EXPECT_EQ(utf8(sim::parse_category_filter(filter)), c.name) << c.name;
    }
}

TEST_F(EngineTest, AFilterWithAnApostropheFindsItsContacts) {
    profile(R"({"folders": [{"name": "Contacts", "defaultFor": "contacts", "items": [
        {"FullName": "Jack Byrne", "Email1Address": "jack@byrne.example", "Categories": ["Mom's friends"]},
        {"FullName": "Kate Byrne", "Email1Address": "kate@byrne.example", "Categories": ["Personal", "mom's friends"]},
        {"FullName": "Lou Byrne", "Email1Address": "lou@byrne.example", "Categories": ["Moms friends"]}]}]})");
    auto items = contacts().GetItems().Restrict(engine::CategoryFilter(u"Mom's friends"));
    EXPECT_EQ(items.Count(), 2);
}

}  // namespace
}  // namespace engine_test
