// The category filter: parsing the condition and matching items against it.
#include "sim/model/restrict.h"

#include "host/failure.h"
#include "host/outlook.h"
#include "host/letter_case.h"
#include "sim/model/model.h"

namespace sim {

namespace {

// What the real host answers for a condition it cannot parse (DISP_E_EXCEPTION).
constexpr int32_t unparsable_condition = -2147352567;

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

[[noreturn]] void refuse(std::u16string_view filter, size_t at) {
    throw host::Failure(unparsable_condition,
                        u"Cannot parse condition. Error at \"" + std::u16string(filter.substr(at)) + u"\".",
                        u"Items.Restrict");
}

// A letter or digit: part of a word. Characters beyond ASCII count as letters, so a word
// of any alphabet is never cut inside, nor a character between the halves of its pair.
bool word_character(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0x80;
}

// The phrase occurs in the text as whole words: equal letters ignoring case, and no letter
// or digit joined to it on either side. Both are folded first: folding keeps every
// character's position.
bool contains_phrase(std::u16string_view text_as_given, std::u16string_view phrase_as_given) {
    const std::u16string text = host::case_folded(text_as_given), phrase = host::case_folded(phrase_as_given);
    if (phrase.empty() || phrase.size() > text.size()) return false;
    for (size_t at = text.find(phrase); at != std::u16string::npos; at = text.find(phrase, at + 1)) {
        const size_t after = at + phrase.size();
        const bool starts_word = at == 0 || !word_character(text[at - 1]) || !word_character(phrase.front());
        const bool ends_word = after == text.size() || !word_character(text[after]) || !word_character(phrase.back());
        if (starts_word && ends_word) return true;
    }
    return false;
}

}  // namespace

std::u16string parse_category_filter(std::u16string_view filter) {
    size_t i = 0, n = filter.size();
    auto skip_blanks = [&] {
        while (i < n && blank(filter[i])) ++i;
    };
    skip_blanks();
    if (i >= n || filter[i] != u'[') refuse(filter, i);
    size_t close = filter.find(u']', i);
    if (close == std::u16string_view::npos) refuse(filter, i);
    if (lower_ascii(filter.substr(i + 1, close - i - 1)) != u"categories") refuse(filter, i);
    i = close + 1;
    skip_blanks();
    if (i >= n || filter[i] != u'=') refuse(filter, i);
    ++i;
    skip_blanks();
    if (i >= n || filter[i] != u'\'') refuse(filter, i);
    size_t open = i++;
    std::u16string value;
    while (true) {
        if (i >= n) refuse(filter, open);  // no closing quote
        if (filter[i] == u'\'') {
            if (i + 1 < n && filter[i + 1] == u'\'') {
                value += u'\'';
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        value += filter[i++];
    }
    skip_blanks();
    if (i != n) refuse(filter, i);
    return value;
}

CategoryReading default_category_reading(std::u16string_view version) {
    return host::MajorVersion(version) >= 12 ? CategoryReading::phrase : CategoryReading::whole;
}

std::vector<std::u16string> split_categories(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string> out;
    if (separator.empty()) separator = u",";
    size_t start = 0;
    while (start <= text.size()) {
        size_t at = text.find(separator, start);
        auto piece = trim(text.substr(start, at == std::u16string_view::npos ? at : at - start));
        if (!piece.empty()) out.emplace_back(piece);
        if (at == std::u16string_view::npos) break;
        start = at + separator.size();
    }
    return out;
}

std::u16string join_categories(const std::vector<std::u16string>& names, std::u16string_view separator) {
    std::u16string joined;
    for (const auto& name : names) {
        if (!joined.empty()) joined.append(separator).append(u" ");
        joined += name;
    }
    return joined;
}

bool categories_match(std::u16string_view categories_text, std::u16string_view value, CategoryReading reading,
                      std::u16string_view separator) {
    if (reading == CategoryReading::whole)
        return !categories_text.empty() && host::equal_ignoring_letter_case(categories_text, value);
    const auto wanted = trim(value);
    for (const auto& c : split_categories(categories_text, separator))
        if (reading == CategoryReading::phrase ? contains_phrase(c, wanted) : host::equal_ignoring_letter_case(c, wanted))
            return true;
    return false;
}

}  // namespace sim
