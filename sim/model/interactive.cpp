#include "sim/model/interactive.h"

#include <algorithm>
#include <set>

namespace sim {

namespace {

// An item keeps its categories as one text, the names joined by the list separator and a
// space (a name holds no separator).
void collect(const Folder& folder, std::u16string_view separator, std::set<std::u16string>& out) {
    for (const auto& item : folder.items)
        if (item)
            for (auto& name : split_categories(item->current.categories, separator)) out.insert(std::move(name));
    for (const auto& sub : folder.folders)
        if (sub) collect(*sub, separator, out);
}

}  // namespace

std::vector<std::u16string> categories_in_use(const Profile& profile) {
    std::set<std::u16string> names;
    for (const auto& f : profile.folders)
        if (f) collect(*f, profile.list_separator, names);
    return {names.begin(), names.end()};
}

}  // namespace sim
