// The category routines of the mChoose module: the category selection text and the filters
// made from it.
#include "engine/categories.h"

#include <algorithm>
#include <array>
#include <utility>

#include "host/failure.h"

namespace engine {

namespace {

constexpr std::pair<char16_t, char16_t> letters_and_digits[] = {
#include "engine/letter_table.inc"
};

// True for a letter of any alphabet or a decimal digit. Such a character is part of a
// category name, never the separator the host put between two names.
bool is_letter_or_digit(char16_t c) {
    auto it = std::upper_bound(std::begin(letters_and_digits), std::end(letters_and_digits), c,
                               [](char16_t v, const auto& range) { return v < range.first; });
    return it != std::begin(letters_and_digits) && c <= std::prev(it)->second;
}

// Half of a character beyond the basic plane. A separator is one whole character, so a
// name is never cut between the two halves of a letter such as 𠮷.
bool is_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::u16string FindCategorySeparator(std::u16string_view text) {
    if (text.size() > 32767) host::raise_overflow();  // the length is a 16-bit count
    for (size_t i = 1; i < text.size(); ++i) {
        char16_t prev = text[i - 1];
        if (text[i] == u' ' && !is_letter_or_digit(prev) && !is_surrogate(prev)) return std::u16string(1, prev);
    }
    return std::u16string(no_separator);
}

std::vector<std::u16string> SplitCategories(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string> names;
    if (text.empty()) return names;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::u16string_view::npos) break;
        names.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    names.emplace_back(text.substr(start));
    return names;
}

std::u16string CategoryFilter(std::u16string_view name) {
    // The host's filter syntax writes an apostrophe inside a quoted value twice.
    std::u16string quoted;
    for (char16_t c : name) {
        quoted += c;
        if (c == u'\'') quoted += c;
    }
    return u"[Categories] = '" + quoted + u"'";
}

}  // namespace engine
