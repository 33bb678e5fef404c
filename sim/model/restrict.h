#pragma once
// The substitute host's item filter: the one condition form the add-in builds,
// [Categories] = 'value', and how an item's categories match it.
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The value of a filter of the form  [Categories] = 'value'  in which an apostrophe inside
// the value is written twice. Blanks may stand around the parts and the property name may
// differ in letter case; anything else (another property or operator, an unbalanced quote,
// text after the closing quote) is refused with a Failure, as the real host refuses a
// condition it cannot parse.
std::u16string parse_category_filter(std::u16string_view filter);

// The names in a Categories text: the pieces between commas, without surrounding blanks,
// empty pieces left out.
std::vector<std::u16string> split_categories(std::u16string_view text);

// The substitute's model of how the real host matches a category condition: an item
// matches when one of its categories equals the value, ignoring letter case and blanks
// around either. So the value " Personal" that follows a separator still finds items of
// "Personal". (The real host's exact rule is its own; this is what the tests rely on.)
bool categories_match(std::u16string_view categories_text, std::u16string_view value);

// Text equality ignoring letter case for the Latin, Greek and Cyrillic alphabets.
bool equal_ignoring_letter_case(std::u16string_view a, std::u16string_view b);

}  // namespace sim
