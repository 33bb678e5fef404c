// Unknown fields, suggestions and places in scenario and profile files.
#include "sim/profile/json_checks.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace sim {

std::string field_place(const std::string& place, std::string_view key) {
    return place.empty() ? std::string(key) : place + "." + std::string(key);
}

std::string element_place(const std::string& place, size_t index) {
    return place + "[" + std::to_string(index + 1) + "]";
}

namespace {

// Levenshtein distance over ASCII letters ignoring case, given up once above `limit`.
size_t distance(std::string_view a, std::string_view b, size_t limit) {
    if (a.size() > b.size() + limit || b.size() > a.size() + limit) return limit + 1;
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string nearest_name(std::string_view key, const std::vector<std::string_view>& known) {
    // A short key is two edits away from almost any short name: suggest only what is close
    // relative to its length.
    size_t limit = key.size() <= 3 ? 1 : 2;
    std::string best;
    size_t best_distance = limit + 1;
    for (auto name : known) {
        size_t d = distance(key, name, limit);
        if (d < best_distance) {
            best_distance = d;
            best = name;
        }
    }
    return best;
}

void only_fields(const Json& j, const std::vector<std::string_view>& known, const std::string& place) {
    for (const auto& [key, value] : j.items()) {
        if (std::find(known.begin(), known.end(), key) != known.end()) continue;
        std::string message = "unknown field";
        std::string near = nearest_name(key, known);
        if (!near.empty()) message += "; did you mean \"" + near + "\"?";
        throw ScenarioError(field_place(place, key) + ": " + message);
    }
}

}  // namespace sim
