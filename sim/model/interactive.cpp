#include "sim/model/interactive.h"

#include <algorithm>
#include <set>

namespace sim {

namespace {

// An item keeps its categories as one text, the names joined by ", " (a name holds no comma).
void add_categories(std::u16string_view text, std::set<std::u16string>& out) {
    static constexpr std::u16string_view separator = u", ";
    while (!text.empty()) {
        auto at = text.find(separator);
        std::u16string_view name = text.substr(0, at);
        if (!name.empty()) out.emplace(name);
        if (at == std::u16string_view::npos) break;
        text.remove_prefix(at + separator.size());
    }
}

void collect(const Folder& folder, std::set<std::u16string>& out) {
    for (const auto& item : folder.items)
        if (item) add_categories(item->current.categories, out);
    for (const auto& sub : folder.folders)
        if (sub) collect(*sub, out);
}

}  // namespace

std::vector<std::u16string> categories_in_use(const Profile& profile) {
    std::set<std::u16string> names;
    for (const auto& f : profile.folders)
        if (f) collect(*f, names);
    return {names.begin(), names.end()};
}

}  // namespace sim
