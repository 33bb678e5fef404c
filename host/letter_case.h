#pragma once
// Letter case by Unicode's simple case folding, the standard's rule for caseless matching,
// from a table compiled in: the Linux and Windows builds, and both test hosts, agree on every
// pair whatever the platform's own tables say. Text beyond the basic plane is read whole: a
// surrogate pair is one character, folded as one.
#include <string>
#include <string_view>

namespace host {

// The character's simple case folding; a character without one is returned unchanged.
char32_t folded_character(char32_t c);

// The text with every character folded. Folding keeps each character in its plane, so the
// folded text has as many UTF-16 units as the text, and a position in one is the same
// character's in the other. A lone surrogate is kept as it is.
std::u16string case_folded(std::u16string_view text);

// Text equality ignoring letter case: equal simple case foldings. "Σ", "σ" and "ς" are
// equal; "I" and "ı", "İ" and "i", "ß" and "SS" are not (their foldings differ or take
// more than one character).
bool equal_ignoring_letter_case(std::u16string_view a, std::u16string_view b);

// The first character of the text: a surrogate pair decoded, any other unit as it is.
// `units` is set to the number of UTF-16 units it takes (1 or 2).
char32_t character_at(std::u16string_view text, size_t at, size_t& units);

// The longest start of the text of at most `units` UTF-16 units that does not end between
// the two halves of a pair: where text may be cut for a width.
size_t whole_characters(std::u16string_view text, size_t units);

}  // namespace host
