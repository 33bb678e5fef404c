#pragma once
// Reading a scenario or profile file strictly: a regular file of bounded size, JSON of bounded
// depth, no field twice in one object, no number beyond what a double holds. Anything else is
// a ScenarioFileError of one line that names the place in the file.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace scenario {

// A scenario of a few thousand contacts is well under a megabyte.
inline constexpr std::uintmax_t max_file_bytes = 16 * 1024 * 1024;
// Folders nest two levels a folder (the list and the folder): this leaves room for a chain of
// 12,000 folders, deeper than any store a person keeps, while a file of nothing but brackets
// stops long before anything that reads it runs out of stack.
inline constexpr size_t max_depth = 25000;

// The bytes of `file`, which must be a regular file (after links) of at most max_file_bytes.
std::string read_bounded(const std::filesystem::path& file);

// Parses JSON text under the rules above.
nlohmann::json parse_strict(std::string_view text);

}  // namespace scenario
