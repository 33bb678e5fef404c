// The selection text: the separator between the picked categories (the user's list
// separator, or the guess where it cannot be read), the names, and which an item carries.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/categories.h"
#include "engine_fixture.h"
#include "host/failure.h"
#include "host/letter_case.h"
#include "host/text.h"

namespace engine_test {
namespace {

// A host whose user's list separator cannot be read.
class NoListSeparator : public sim::SimHost {
public:
    std::optional<std::u16string> list_separator() override { return std::nullopt; }
};

// The guess, where the user's list separator cannot be read, and the names the runs read at it.
TEST(CategorySeparator, ScanAndSplit) {
    struct Case {
        const char* text;
        const char* separator;
        std::vector<const char*> names;
    } cases[] = {
        {"Business, Personal", ",", {"Business", "Personal"}},  // the blank after it is no part of a name
        {"Business", "---", {"Business"}},
        {"Business;Personal", "---", {"Business;Personal"}},  // no blank after the ";"
        {"Key Customer, VIP", ",", {"Key Customer", "VIP"}},  // a blank after a letter is passed over
        {"A, B, C", ",", {"A", "B", "C"}},
        {"Business;  Personal; VIP", ";", {"Business", "Personal", "VIP"}},
        {"A---B", "---", {"A---B"}},  // none found: the names are read at a comma
        {"A,, B", ",", {"A", "B"}},
        {"Business, ", ",", {"Business"}},
        {" Business, VIP", ",", {"Business", "VIP"}},  // nothing precedes the first character
        {"  VIP", " ", {"VIP"}},  // ...but the second blank follows the first
        {"VIP ", "---", {"VIP"}},
        {"R&D, Sales", ",", {"R&D", "Sales"}},
        // Letters of any alphabet and decimal digits belong to the name.
        {"Team 1 Leads, VIP", ",", {"Team 1 Leads", "VIP"}},
        {"Café Owners, VIP", ",", {"Café Owners", "VIP"}},
        {"Straße Nord, Süd", ",", {"Straße Nord", "Süd"}},
        {"Клиенты Москва, VIP", ",", {"Клиенты Москва", "VIP"}},
        {"Πελάτες Α, VIP", ",", {"Πελάτες Α", "VIP"}},
        {"東京 支店、 VIP", "、", {"東京 支店", "VIP"}},
        {"عملاء ٣ كبار, VIP", ",", {"عملاء ٣ كبار", "VIP"}},  // Arabic-Indic digit three
        {"Team １ Leads, VIP", ",", {"Team １ Leads", "VIP"}},  // fullwidth digit one
        {"1 2", "---", {"1 2"}},
        // Anything else before a blank is taken for the separator, as the scan always did.
        {"Sales & Marketing, VIP", "&", {"Sales", "Marketing, VIP"}},
        {"Clients (old) 2, VIP", ")", {"Clients (old", "2, VIP"}},
        // Half of a character outside the basic plane is never the separator: 𠮷 is a letter.
        {"𠮷田 𠮷 Group, VIP", ",", {"𠮷田 𠮷 Group", "VIP"}},
        {"🙂 Fans, VIP", ",", {"🙂 Fans", "VIP"}},
    };
    for (const auto& c : cases) {
        std::u16string separator = engine::FindCategorySeparator(u(c.text));
        EXPECT_EQ(utf8(separator), c.separator) << c.text;
        std::vector<std::string> names;
        NoListSeparator host;
        for (const auto& n : engine::CategoryNames(u(c.text), engine::CategorySeparator(host, u(c.text))))
            names.push_back(utf8(n));
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

// The names of a selection: split at the user's list separator wherever the system gives
// one, each name without the blanks around it; the guess only where nothing can be read.
TEST(CategoryNames, SplitAtTheListSeparator) {
    struct Case {
        const char* system;  // the user's list separator; null: it cannot be read
        const char* text;
        const char* separator;
        std::vector<const char*> names;
    } cases[] = {
        {",", "Sales & Marketing", ",", {"Sales & Marketing"}},
        {",", "Sales & Marketing, VIP", ",", {"Sales & Marketing", "VIP"}},
        {";", "Sales & Marketing; VIP", ";", {"Sales & Marketing", "VIP"}},
        {";", "Business, Personal", ";", {"Business, Personal"}},  // a comma is part of a name there
        {",", "Q1: Leads, VIP", ",", {"Q1: Leads", "VIP"}},
        {",", "Team 1 Leads, Clients (old), R-D", ",", {"Team 1 Leads", "Clients (old)", "R-D"}},
        {",", "Mom's friends", ",", {"Mom's friends"}},
        {",", " Business ,  VIP ", ",", {"Business", "VIP"}},
        {",", "A,, B", ",", {"A", "B"}},  // empty pieces are no names
        {"\u061B", "عملاء\u061B VIP", "\u061B", {"عملاء", "VIP"}},
        // Nothing to read: the guess, and a comma when the text suggests nothing.
        {nullptr, "Business, Personal", ",", {"Business", "Personal"}},
        {nullptr, "Business;  Personal; VIP", ";", {"Business", "Personal", "VIP"}},
        {nullptr, "Business", ",", {"Business"}},
        {nullptr, "Sales & Marketing, VIP", "&", {"Sales", "Marketing, VIP"}},  // the guess's known fault
    };
    for (const auto& c : cases) {
        std::unique_ptr<sim::SimHost> host = c.system ? std::make_unique<sim::SimHost>() : std::make_unique<NoListSeparator>();
        if (c.system) host->world().profile.list_separator = host::from_utf8(c.system);
        const std::u16string separator = engine::CategorySeparator(*host, u(c.text));
        EXPECT_EQ(utf8(separator), c.separator) << c.text;
        std::vector<std::string> names;
        for (const auto& n : engine::CategoryNames(u(c.text), separator)) names.push_back(utf8(n));
        EXPECT_EQ(names, std::vector<std::string>(c.names.begin(), c.names.end())) << c.text;
    }
}

// Category names compare equal when their simple case foldings are: in every script, beyond
// the basic plane too. The test hosts compare with the same function, so this table and the
// check against the standard's own file below are what catch a wrong pair.
TEST(CategoryNames, LetterCaseIsIgnoredByUnicodeSimpleFolding) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Business", "bUSINESS", true},
        {"Äpfel Öl Über", "äPFEL öL üBER", true},
        {"Łódź Ĳssel Ŋ Ŀ Ž Ÿ", "łÓDŹ ĳSSEL ŋ ŀ ž ÿ", true},
        {"Москва Ёлка", "мОСКВА ёЛКА", true},
        {"ΠΕΛΆΤΕΣ", "Πελάτες", true},  // a tonos, and the final sigma: Σ, σ and ς all fold to σ
        {"ȘCOALĂ", "școală", true},     // Romanian: S and T with a comma below
        {"ҐАЗДА Її Єє", "ґазда ЇЇ єЄ", true},
        {"ՀԱՅ", "հայ", true},            // Armenian
        {"ＶＩＰ", "ｖｉｐ", true},          // full-width Latin
        {"Ǳ ǲ Ǆ Ș", "ǳ ǳ ǆ ș", true},    // Latin Extended-B, title case letters too
        {"ẞ", "ß", true},                // the capital sharp s folds to the small one...
        {"𐐔𐐇𐐝𐐀𐐡𐐇𐐓", "𐐼𐐯𐑅𐐨𐑉𐐯𐐻", true},  // Deseret, beyond the basic plane
        {"🙂 FANS", "🙂 fans", true},
        {"🙂", "🙃", false},  // two pairs that differ only in their second half
        {"Straße", "STRASSE", false},  // ...but ß is not SS: that folding takes two characters
        {"KIRMIZI", "kırmızı", false},  // the dotless i has no simple folding
        {"İSTANBUL", "istanbul", false},  // nor the dotted capital I
        {"×", "÷", false},
        {"A1", "a2", false},
        {"ab", "a", false},
        {"\xED\xA0\x80", "\xED\xA0\x80", true},  // placeholder, replaced below
        {"", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(host::equal_ignoring_letter_case(u(c.a), u(c.b)), c.equal) << c.a << " / " << c.b;
}

// The compiled table is the standard's: every code point folds as CaseFolding.txt says by
// its statuses C and S (the ones it lists under F and T alone, and all it does not list,
// fold to themselves), and no folding leaves its plane, so folded text keeps its length.
TEST(CategoryNames, TheFoldingIsUnicodesSimpleCaseFolding) {
    std::ifstream file("/usr/share/unicode/CaseFolding.txt");
    ASSERT_TRUE(file) << "package unicode-data is missing";
    std::map<char32_t, char32_t> expected;
    for (std::string line; std::getline(file, line);) {
        unsigned from = 0, to = 0;
        char status = 0;
        if (std::sscanf(line.c_str(), "%x; %c; %x;", &from, &status, &to) == 3 && (status == 'C' || status == 'S'))
            expected[from] = to;
    }
    ASSERT_GT(expected.size(), 1400u);
    size_t wrong = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const auto it = expected.find(c);
        const char32_t want = it == expected.end() ? c : it->second;
        if (host::folded_character(c) != want && ++wrong <= 5) ADD_FAILURE() << std::hex << "U+" << uint32_t(c);
        if ((c < 0x10000) != (want < 0x10000)) ADD_FAILURE() << std::hex << "U+" << uint32_t(c) << " leaves its plane";
    }
    EXPECT_EQ(wrong, 0u);
    // A lone half of a pair is kept, and the letter after it still folds.
    EXPECT_EQ(host::case_folded(std::u16string{0xD801, u'A', 0xDC00}), (std::u16string{0xD801, u'a', 0xDC00}));
}

// An item carries a category when one of its own names equals it, ignoring letter case: a
// phrase of another name, or the whole text of several, never does.
TEST(CategoryNames, AnItemCarriesOnlyItsOwnNames) {
    struct Case {
        const char* item;
        const char* separator;
        const char* name;
        bool carries;
    } cases[] = {
        {"Partner", ",", "Partner", true},
        {"Tier1 Partner", ",", "Partner", false},
        {"Partner, Important", ",", "partner", true},
        {"Business, Social", ",", "Business", true},
        {"Business, Social", ",", "Social", true},
        {"Sales & Marketing", ",", "Sales", false},
        {"Sales & Marketing; VIP", ";", "Sales & Marketing", true},
        {"Sales & Marketing; VIP", ";", "VIP", true},
        {"Sales & Marketing, VIP", ";", "VIP", false},
        {"Café Owners", ",", "CAFÉ OWNERS", true},
        {"Mom's friends", ",", "Mom's friends", true},
        {"", ",", "Business", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(engine::CarriesCategory(u(c.item), u(c.name), u(c.separator)), c.carries) << c.item << " / " << c.name;
}

}  // namespace
}  // namespace engine_test
