#pragma once
// The substitute host's item filter: the one condition form the add-in ever built,
// [Categories] = 'value', and how an item's categories match it under each reading of the
// host's documentation.
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// How the host compares a category condition with an item's Categories ("categoryFilter").
// Microsoft's pages disagree, so each reading is played:
// - phrase: a whole-word phrase match against each of the item's categories, ignoring case
//   ("Partner" finds Partner, Tier1 Partner and Partner and Important, not Partnership);
//   the keywords-property filtering page of 2007 on;
// - whole: the item's whole Categories text equals the value, ignoring case, so an item with
//   a second category is never found; the older Restrict reference;
// - value: one of the item's categories equals the value, ignoring case and blanks around
//   either.
enum class CategoryReading { phrase, whole, value };

// The reading a host of that version plays when the profile does not say: phrase from 12
// (2007) on, whole before.
CategoryReading default_category_reading(std::u16string_view version);

// The value of a filter of the form  [Categories] = 'value'  in which an apostrophe inside
// the value is written twice. Blanks may stand around the parts and the property name may
// differ in letter case; anything else (another property or operator, an unbalanced quote,
// text after the closing quote) is refused with a Failure, as the real host refuses a
// condition it cannot parse.
std::u16string parse_category_filter(std::u16string_view filter);

// The names in a Categories text: the pieces between list separators, without surrounding
// blanks, empty pieces left out.
std::vector<std::u16string> split_categories(std::u16string_view text, std::u16string_view separator);
// A Categories text as the host writes it, an item's or the Categories dialog's answer: the
// names joined by the list separator and a space.
std::u16string join_categories(const std::vector<std::u16string>& names, std::u16string_view separator);

// Whether an item whose Categories text is `categories_text` (names joined by the list
// separator and a space) matches the condition's value under the reading.
bool categories_match(std::u16string_view categories_text, std::u16string_view value, CategoryReading reading,
                      std::u16string_view separator);

}  // namespace sim
