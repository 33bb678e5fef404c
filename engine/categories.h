#pragma once
// The categories of a selection and of an item: the separator between their names, the names
// themselves, and whether an item carries a category. Both runs and Update List use them.
#include <string>
#include <string_view>
#include <vector>

#include "host/environment.h"

namespace engine {

// What FindCategorySeparator gives for a selection with no separator in it.
inline constexpr std::u16string_view no_separator = u"---";

// The separator guessed from a selection text, for where the user's list separator cannot be
// read: the first character, other than a letter or digit, that a space follows;
// no_separator when there is none. A name such as "Sales & Marketing" fools it.
std::u16string FindCategorySeparator(std::u16string_view text);
// The separator the names are read at where the user's list separator cannot be read: the
// guess, or a comma when the selection suggests none.
std::u16string GuessedCategorySeparator(std::u16string_view selection);

// The separator between the names of a Categories text. The host joins an item's categories,
// and the Categories dialog's answer, with the user's list separator and a space, so that is
// the separator wherever the system gives it. Only where it cannot be read is it guessed
// (GuessedCategorySeparator).
std::u16string CategorySeparator(host::Environment& env, std::u16string_view selection);
// The names of a Categories text: the pieces between the separators, each without the blanks
// around it, empty pieces left out.
std::vector<std::u16string> CategoryNames(std::u16string_view text, std::u16string_view separator);
// Whether an item whose Categories text is `item_categories` carries the category `name`: one
// of its own names equals it, ignoring letter case. This, not the host's filter, decides.
bool CarriesCategory(std::u16string_view item_categories, std::u16string_view name, std::u16string_view separator);

}  // namespace engine
