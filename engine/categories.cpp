// The categories of a selection and of an item: separators, names, and what an item carries.
#include "engine/categories.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "host/failure.h"
#include "host/letter_case.h"

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

std::u16string GuessedCategorySeparator(std::u16string_view selection) {
    std::u16string guessed = FindCategorySeparator(selection);
    return guessed == no_separator ? u"," : guessed;
}

std::u16string CategorySeparator(host::Environment& env, std::u16string_view selection) {
    if (std::optional<std::u16string> separator = env.list_separator(); separator && !separator->empty())
        return *separator;
    return GuessedCategorySeparator(selection);
}

namespace {

// Calls `visit` with each name of the text, without the blanks around it, until it returns
// true; empty names are passed over. Nothing is copied: every item of a folder goes through
// here once per picked category.
template <class Visit>
bool any_name(std::u16string_view text, std::u16string_view separator, Visit visit) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (true) {
        const size_t at = separator.empty() ? std::u16string_view::npos : text.find(separator);
        std::u16string_view name = text.substr(0, at);
        while (!name.empty() && blank(name.front())) name.remove_prefix(1);
        while (!name.empty() && blank(name.back())) name.remove_suffix(1);
        if (!name.empty() && visit(name)) return true;
        if (at == std::u16string_view::npos) return false;
        text.remove_prefix(at + separator.size());
    }
}

}  // namespace

std::vector<std::u16string> CategoryNames(std::u16string_view text, std::u16string_view separator) {
    std::vector<std::u16string> names;
    any_name(text, separator, [&](std::u16string_view name) {
        names.emplace_back(name);
        return false;
    });
    return names;
}

bool CarriesCategory(std::u16string_view item_categories, std::u16string_view name, std::u16string_view separator) {
    return any_name(item_categories, separator,
                    [&](std::u16string_view own) { return host::equal_ignoring_letter_case(own, name); });
}

}  // namespace engine
