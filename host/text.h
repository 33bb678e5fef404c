#pragma once
// Text is UTF-16 inside the system, as the host's strings are. These convert at the edges.
#include <cstdint>
#include <string>
#include <string_view>

namespace host {

std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

// Decimal text of a number, as the host formats integers ("-3", "42").
std::u16string decimal(int64_t value);

// Exact comparison of text ignoring ASCII letter case, as member names are compared by
// late binding.
bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);
// The text with its ASCII letters lowered: the key under which late binding finds a name
// whatever its case.
std::u16string folded(std::u16string_view name);

// A caption as the user reads it: the "&" before an access-key letter dropped, "&&" read
// as "&".
std::u16string without_access_key(std::u16string_view caption);

}  // namespace host
