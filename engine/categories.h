#pragma once
// The category selection text and the filters made from it: the category routines of the
// mChoose module, which both runs use.
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// What FindCategorySeparator gives for a selection with no separator in it.
inline constexpr std::u16string_view no_separator = u"---";

// The separator the host put between the names of a selection: the first character, other
// than a letter or digit, that a space follows; no_separator when there is none.
std::u16string FindCategorySeparator(std::u16string_view text);
// The names between the separators, in order; none for an empty text.
std::vector<std::u16string> SplitCategories(std::u16string_view text, std::u16string_view separator);
// The host's Restrict filter for the items that carry the category name.
std::u16string CategoryFilter(std::u16string_view name);

}  // namespace engine
