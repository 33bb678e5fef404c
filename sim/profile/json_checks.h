#pragma once
// Checks shared by the readers of scenario and profile files: fields a reader does not know,
// with the known one the writer most likely meant, and places named the way people find
// them in the file ("steps[3].control", counting from 1 as the step numbers do).
#include <string>
#include <string_view>
#include <vector>

#include "sim/model/world.h"

namespace sim {

// "place.key", or just "key" at the top of the file.
std::string field_place(const std::string& place, std::string_view key);
// "place[n]" for the element at `index` (from 0), numbered from 1.
std::string element_place(const std::string& place, size_t index);

// The name in `known` that `key` most likely misspells: the same but for letter case, or at
// most two letters added, dropped or changed. Empty when none is that close.
std::string nearest_name(std::string_view key, const std::vector<std::string_view>& known);

// A ScenarioError for the first field of the object `j` that is not in `known`:
// `place.key: unknown field; did you mean "name"?`.
void only_fields(const Json& j, const std::vector<std::string_view>& known, const std::string& place);

}  // namespace sim
