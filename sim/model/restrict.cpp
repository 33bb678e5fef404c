// The category filter: parsing the condition and matching items against it.
#include "sim/model/restrict.h"

#include "host/failure.h"
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

// One simple case mapping, to lower case, of the letters the host's users meet most.
char16_t fold(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : static_cast<char16_t>(c + 32);  // Latin-1 letters
    if (c >= 0x100 && c <= 0x17F) {                                       // Latin Extended-A
        bool even_upper = (c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177);
        bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (even_upper && c % 2 == 0) return static_cast<char16_t>(c + 1);
        if (odd_upper && c % 2 == 1) return static_cast<char16_t>(c + 1);
        if (c == 0x178) return 0xFF;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);  // Greek
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);                 // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    return c;
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

std::vector<std::u16string> split_categories(std::u16string_view text) {
    std::vector<std::u16string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(u',', start);
        auto piece = trim(text.substr(start, comma == std::u16string_view::npos ? comma : comma - start));
        if (!piece.empty()) out.emplace_back(piece);
        if (comma == std::u16string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

bool equal_ignoring_letter_case(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

bool categories_match(std::u16string_view categories_text, std::u16string_view value) {
    auto wanted = trim(value);
    for (const auto& c : split_categories(categories_text))
        if (equal_ignoring_letter_case(c, wanted)) return true;
    return false;
}

}  // namespace sim
