#include "host/letter_case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace host {

namespace {

constexpr std::pair<uint32_t, uint32_t> foldings[] = {
#include "host/case_folding.inc"
};

bool high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

char32_t folded_character(char32_t c) {
    if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c;
    auto it = std::lower_bound(std::begin(foldings), std::end(foldings), static_cast<uint32_t>(c),
                               [](const auto& pair, uint32_t v) { return pair.first < v; });
    return it != std::end(foldings) && it->first == c ? static_cast<char32_t>(it->second) : c;
}

char32_t character_at(std::u16string_view text, size_t at, size_t& units) {
    const char16_t c = text[at];
    if (high_surrogate(c) && at + 1 < text.size() && low_surrogate(text[at + 1])) {
        units = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    }
    units = 1;
    return c;
}

std::u16string case_folded(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t units = 1;
    for (size_t i = 0; i < text.size(); i += units) {
        // A lone surrogate has no folding: it is kept as it is.
        const char32_t f = folded_character(character_at(text, i, units));
        if (f >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((f - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((f - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(f);
        }
    }
    return out;
}

bool equal_ignoring_letter_case(std::u16string_view a, std::u16string_view b) {
    // Called for every item's every name: compared character by character, nothing copied.
    size_t i = 0, j = 0, ua = 1, ub = 1;
    for (; i < a.size() && j < b.size(); i += ua, j += ub) {
        const char32_t x = character_at(a, i, ua), y = character_at(b, j, ub);
        if (x != y && folded_character(x) != folded_character(y)) return false;
    }
    return i == a.size() && j == b.size();
}

size_t whole_characters(std::u16string_view text, size_t units) {
    if (units >= text.size()) return text.size();
    return units > 0 && high_surrogate(text[units - 1]) && low_surrogate(text[units]) ? units - 1 : units;
}

}  // namespace host
