// The in-memory profile: name ordering, field reads and folder paths.
#include "sim/model/model.h"

#include <algorithm>
#include <functional>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/store_limits.h"

namespace sim {

namespace {
char16_t lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }
}  // namespace

bool NameLess::operator()(std::u16string_view a, std::u16string_view b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = lower(a[i]), y = lower(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

std::u16string lower_ascii(std::u16string_view name) {
    std::u16string out(name);
    for (auto& c : out) c = lower(c);
    return out;
}

std::u16string ItemData::field(std::u16string_view name) const {
    auto it = fields.find(name);
    return it == fields.end() ? std::u16string() : it->second;
}

std::shared_ptr<Folder> Profile::find(std::u16string_view path) const {
    const std::vector<std::shared_ptr<Folder>>* level = &folders;
    std::shared_ptr<Folder> found;
    size_t start = 0;
    while (true) {
        size_t slash = path.find(u'/', start);
        std::u16string_view name = path.substr(start, slash == std::u16string_view::npos ? slash : slash - start);
        found = nullptr;
        for (const auto& f : *level)
            if (f->name == name) {
                found = f;
                break;
            }
        if (!found) return nullptr;
        if (slash == std::u16string_view::npos) return found;
        level = &found->folders;
        start = slash + 1;
    }
}

std::u16string Profile::path_of(const Folder& folder) const {
    std::u16string result;
    std::function<bool(const std::vector<std::shared_ptr<Folder>>&, const std::u16string&)> walk =
        [&](const std::vector<std::shared_ptr<Folder>>& level, const std::u16string& prefix) {
            for (const auto& f : level) {
                std::u16string path = prefix.empty() ? f->name : prefix + u"/" + f->name;
                if (f.get() == &folder) {
                    result = path;
                    return true;
                }
                if (walk(f->folders, path)) return true;
            }
            return false;
        };
    walk(folders, {});
    return result;
}

std::vector<std::shared_ptr<Item>> Profile::stored_items() const {
    std::vector<std::shared_ptr<Item>> out;
    std::vector<const Folder*> folders;
    for (auto f = this->folders.rbegin(); f != this->folders.rend(); ++f) folders.push_back(f->get());
    while (!folders.empty()) {
        const Folder* folder = folders.back();
        folders.pop_back();
        for (const auto& item : folder->items)
            if (item->stored) out.push_back(item);
        for (auto f = folder->folders.rbegin(); f != folder->folders.rend(); ++f) folders.push_back(f->get());
    }
    return out;
}

std::vector<std::shared_ptr<Item>> Profile::stored_lists() const {
    std::vector<std::shared_ptr<Item>> out = stored_items();
    std::erase_if(out, [](const auto& item) { return item->stored->cls != host::olDistributionList; });
    return out;
}

std::shared_ptr<Folder> Profile::contacts() const {
    auto it = defaults.find(olFolderContacts);
    return it == defaults.end() ? nullptr : it->second;
}

bool Profile::ribbon() const { return host::MajorVersion(version) >= host::first_ribbon_version; }

int64_t Profile::list_limit() const {
    if (list_limit_bytes) return *list_limit_bytes;
    return ribbon() ? 0 : classic_list_limit_bytes;
}

std::u16string folder_entry_id(std::u16string_view path) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string id;
    for (unsigned char byte : host::to_utf8(path)) {
        id += digits[byte >> 4];
        id += digits[byte & 15];
    }
    return id;
}

std::optional<std::u16string> folder_path_of_id(std::u16string_view entry_id) {
    auto digit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    if (entry_id.empty() || entry_id.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (size_t i = 0; i < entry_id.size(); i += 2) {
        const int hi = digit(entry_id[i]), lo = digit(entry_id[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return host::from_utf8(bytes);
}

Profile default_profile() {
    Profile p;
    auto contacts = std::make_shared<Folder>();
    contacts->name = u"Contacts";
    contacts->item_type = 2;
    p.folders.push_back(contacts);
    p.defaults[olFolderContacts] = contacts;
    return p;
}

}  // namespace sim
