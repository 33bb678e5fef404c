// Profile, answers and faults from the JSON of a scenario file.
#include "sim/profile/profile_json.h"

#include <initializer_list>
#include <limits>
#include <set>
#include <utility>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/model/command_bars.h"
#include "sim/model/restrict.h"
#include "sim/profile/command_bar_presets.h"
#include "sim/profile/json_checks.h"

namespace sim {

namespace {

[[noreturn]] void bad(const std::string& where, const std::string& what) {
    throw ScenarioError(where.empty() ? what : where + ": " + what);
}

std::u16string text(const Json& v, const std::string& where, const char* name) {
    if (!v.is_string()) bad(where, std::string("\"") + name + "\" must be text");
    return host::from_utf8(v.get<std::string>());
}

bool flag(const Json& v, const std::string& where, const char* name) {
    if (!v.is_boolean()) bad(where, std::string("\"") + name + "\" must be true or false");
    return v.get<bool>();
}

// One of a field's named values; anything else is refused with the names it may take.
template <class T>
T choice(const Json& v, const std::string& where, const char* name,
         std::initializer_list<std::pair<std::u16string_view, T>> options) {
    const std::u16string given = text(v, where, name);
    std::string names;
    size_t i = 0;
    for (const auto& [option, value] : options) {
        if (given == option) return value;
        if (i > 0) names += i + 1 == options.size() ? " or " : ", ";
        names += "\"" + utf8(option) + "\"";
        ++i;
    }
    bad(where, "\"" + std::string(name) + "\" must be " + names + ", not \"" + utf8(given) + "\"");
}

int32_t integer(const Json& v, const std::string& where, const char* name) {
    if (!v.is_number_integer()) bad(where, std::string("\"") + name + "\" must be a whole number");
    // A number above the signed 64-bit range is kept unsigned; read as signed it would wrap.
    bool in_range = v.is_number_unsigned()
                        ? v.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
                        : v.get<int64_t>() >= std::numeric_limits<int32_t>::min() &&
                              v.get<int64_t>() <= std::numeric_limits<int32_t>::max();
    if (!in_range)
        bad(where, std::string("\"") + name + "\" is out of range (" + v.dump() + "; at most " +
                       std::to_string(std::numeric_limits<int32_t>::max()) + ")");
    return static_cast<int32_t>(v.get<int64_t>());
}

// An HRESULT, as a whole number (-2147467259) or as its hex digits ("0x80004005").
int32_t hresult(const Json& v, const std::string& where, const char* name) {
    if (!v.is_string()) return integer(v, where, name);
    const std::string t = v.get<std::string>();
    const bool hex = t.size() > 2 && t.size() <= 10 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X') &&
                     t.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
    if (!hex) bad(where, std::string("\"") + name + "\" must be a whole number or hex digits such as \"0x80004005\"");
    return static_cast<int32_t>(static_cast<uint32_t>(std::stoul(t.substr(2), nullptr, 16)));
}

struct DefaultFolder {
    const char* name;
    int32_t number;
    int32_t item_type;
};
constexpr DefaultFolder default_folders[] = {
    {"contacts", olFolderContacts, 2}, {"inbox", olFolderInbox, 0},     {"outbox", olFolderOutbox, 0},
    {"sentMail", olFolderSentMail, 0}, {"deletedItems", olFolderDeletedItems, 0},
    {"calendar", olFolderCalendar, 1}, {"journal", olFolderJournal, 4}, {"notes", olFolderNotes, 5},
    {"tasks", olFolderTasks, 3},       {"drafts", olFolderDrafts, 0},
};

// An item's other fields are its properties, by any letter case; but one that is a letter or
// two away from a field the host reads is taken for a misspelling of it.
void check_item_field(const std::string& key, const std::string& where) {
    static const std::vector<std::string_view> known = {
        "class", "Categories", "members", "userProperties", "Subject", "FullName", "CompanyName",
        "Email1Address", "Email2Address", "Email3Address", "Email1AddressType", "Email2AddressType",
        "Email3AddressType"};
    std::string near = nearest_name(key, known);
    if (near.empty() || key == near) return;
    bool special = near == "class" || near == "Categories" || near == "members" || near == "userProperties";
    if (!special && host::equal_ignoring_case(host::from_utf8(key), host::from_utf8(near))) return;
    bad(field_place(where, key), "unknown field; did you mean \"" + near + "\"?");
}

std::shared_ptr<Item> read_item(const Json& j, const std::string& where, std::u16string_view separator) {
    if (!j.is_object()) bad(where, "an item must be an object");
    auto item = std::make_shared<Item>();
    ItemData& d = item->current;
    for (const auto& [key, value] : j.items()) {
        check_item_field(key, where);
        if (key == "class") {
            d.cls = integer(value, where, "class");
        } else if (key == "Categories") {
            if (!value.is_array()) bad(where, "\"Categories\" must be a list of names");
            std::vector<std::u16string> names;
            for (const auto& c : value) {
                std::u16string name = text(c, where, "Categories");
                // The host keeps categories as one text, the names joined by the list
                // separator and a space, and its filter reads them separated by commas: a
                // name can hold neither.
                if (name.find(u',') != std::u16string::npos)
                    bad(where, "the category \"" + c.get<std::string>() + "\" contains a comma");
                if (name.find(separator) != std::u16string::npos)
                    bad(where, "the category \"" + c.get<std::string>() + "\" contains the list separator \"" +
                                   utf8(separator) + "\"");
                names.push_back(std::move(name));
            }
            d.categories = join_categories(names, separator);
        } else if (key == "members") {
            if (!value.is_array()) bad(where, "\"members\" must be a list of texts");
            for (const auto& m : value) d.members.push_back(text(m, where, "members"));
        } else if (key == "userProperties") {
            if (!value.is_object()) bad(where, "\"userProperties\" must be an object of texts");
            for (const auto& [name, v] : value.items())
                d.user_properties[host::from_utf8(name)] = text(v, where, name.c_str());
        } else {
            d.fields[host::from_utf8(key)] = text(value, where, key.c_str());
        }
    }
    return item;
}

// `where` (the folder's place in the file) and `path` (its parent's folder path) are each one
// buffer for the whole walk: this folder's part is added on the way in and taken off again on
// the way out, so a chain of folders thousands deep costs two texts rather than two a level.
std::shared_ptr<Folder> read_folder(const Json& j, std::string& where, std::string& path, int32_t inherited_type,
                                    Profile& profile) {
    const size_t parent_path_length = path.size();
    if (!j.is_object()) bad(where, "a folder must be an object");
    only_fields(j, {"name", "defaultFor", "itemType", "items", "folders", "hidden", "restrictFails", "itemsFail"}, where);
    if (!j.contains("name")) bad(where, "a folder needs a \"name\"");
    auto f = std::make_shared<Folder>();
    f->name = text(j["name"], where, "name");
    if (f->name.empty() || f->name.find(u'/') != std::u16string::npos)
        bad(where, "a folder name must be non-empty and without \"/\"");
    if (!path.empty()) path += '/';
    path += utf8(f->name);
    f->item_type = inherited_type;
    if (j.contains("defaultFor")) {
        std::u16string which = text(j["defaultFor"], where, "defaultFor");
        const DefaultFolder* found = nullptr;
        for (const auto& d : default_folders)
            if (host::from_utf8(d.name) == which) found = &d;
        if (!found) bad(where, "unknown \"defaultFor\": \"" + utf8(which) + "\"");
        if (profile.defaults.count(found->number))
            bad(where, std::string("a second default folder for \"") + found->name + "\"");
        profile.defaults[found->number] = f;
        f->item_type = found->item_type;
    }
    if (j.contains("itemType")) f->item_type = integer(j["itemType"], where, "itemType");
    if (j.contains("hidden")) f->hidden = flag(j["hidden"], where, "hidden");
    if (j.contains("restrictFails")) {
        f->restrict_fails = hresult(j["restrictFails"], where, "restrictFails");
        if (!f->restrict_fails) bad(where, "\"restrictFails\" must be a failure, not 0");
    }
    if (j.contains("itemsFail")) {
        f->items_fail = hresult(j["itemsFail"], where, "itemsFail");
        if (!f->items_fail) bad(where, "\"itemsFail\" must be a failure, not 0");
    }
    if (j.contains("items")) {
        if (!j["items"].is_array()) bad(where, "\"items\" must be a list");
        for (size_t i = 0; i < j["items"].size(); ++i)
            f->items.push_back(
                read_item(j["items"][i], element_place(field_place(where, "items"), i), profile.list_separator));
    }
    if (j.contains("folders")) {
        if (!j["folders"].is_array()) bad(where, "\"folders\" must be a list");
        std::set<std::u16string> names;
        const size_t where_length = where.size();
        for (size_t i = 0; i < j["folders"].size(); ++i) {
            where += ".folders[" + std::to_string(i + 1) + "]";
            auto child = read_folder(j["folders"][i], where, path, f->item_type, profile);
            where.resize(where_length);
            if (!names.insert(child->name).second)
                bad(field_place(where, "folders"), "two subfolders of \"" + path + "\" are named \"" +
                                                       utf8(child->name) + "\"");
            f->folders.push_back(child);
        }
    }
    path.resize(parent_path_length);
    return f;
}

// The Exchange address book: each entry a distinguished name, given once, with its display
// name, primary SMTP address and whether it is a user.
std::vector<DirectoryEntry> read_directory(const Json& j) {
    const std::string place = "profile.directory";
    if (!j.is_array()) bad("profile", "\"directory\" must be a list");
    std::vector<DirectoryEntry> out;
    std::set<std::u16string> names;
    for (size_t i = 0; i < j.size(); ++i) {
        const std::string where = element_place(place, i);
        const Json& e = j[i];
        if (!e.is_object()) bad(where, "an address book entry must be an object");
        only_fields(e, {"dn", "name", "smtp", "user"}, where);
        if (!e.contains("dn")) bad(where, "an address book entry needs a \"dn\"");
        DirectoryEntry entry;
        entry.dn = text(e["dn"], where, "dn");
        if (entry.dn.empty()) bad(where, "\"dn\" must not be empty");
        if (!names.insert(entry.dn).second) bad(where, "the \"dn\" \"" + utf8(entry.dn) + "\" is given twice");
        if (e.contains("name")) entry.name = text(e["name"], where, "name");
        if (e.contains("smtp")) entry.smtp = text(e["smtp"], where, "smtp");
        if (e.contains("user")) entry.user = flag(e["user"], where, "user");
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace

Profile profile_from_json(const Json& j) {
    if (!j.is_object()) bad("profile", "must be an object");
    only_fields(j,
                {
                    "folders",
                    "explorer",
                    "serviceLibrary",
                    "picture",
                    "installFolder",
                    "windowsFolder",
                    "redemption",
                    "internetExplorer",
                    "commandBars",
                    "version",
                    "listLimitBytes",
                    "listFull",
                    "openItemLimit",
                    "guard",
                    "directory",
                    "memberAddress",
                    "categoryFilter",
                    "listSeparator",
                },
                "profile");
    Profile p;
    // Before the folders: their items' categories are joined with it.
    if (j.contains("listSeparator")) {
        p.list_separator = text(j["listSeparator"], "profile", "listSeparator");
        // Windows keeps at most three characters; a blank, letter or digit would cut names.
        bool fits = !p.list_separator.empty() && p.list_separator.size() <= 3;
        for (char16_t c : p.list_separator)
            if (c == u' ' || c == u'\t' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
                fits = false;
        if (!fits)
            bad("profile", "\"listSeparator\" must be one to three characters, none a blank, letter or digit, not \"" +
                               utf8(p.list_separator) + "\"");
    }
    if (j.contains("categoryFilter")) {
        p.category_filter = choice<CategoryReading>(
            j["categoryFilter"], "profile", "categoryFilter",
            {{u"phrase", CategoryReading::phrase}, {u"whole", CategoryReading::whole}, {u"value", CategoryReading::value}});
    }
    if (j.contains("folders")) {
        if (!j["folders"].is_array()) bad("profile", "\"folders\" must be a list");
        std::set<std::u16string> names;
        for (size_t i = 0; i < j["folders"].size(); ++i) {
            std::string where = element_place("profile.folders", i), path;
            auto folder = read_folder(j["folders"][i], where, path, 0, p);
            if (!names.insert(folder->name).second)
                bad("profile", "two top-level folders are named \"" + utf8(folder->name) + "\"");
            p.folders.push_back(folder);
        }
    }
    // Every profile has a default Contacts folder; a profile that marks none gets an empty one.
    if (!p.contacts()) {
        if (p.find(u"Contacts"))
            bad("profile", "a folder is named \"Contacts\" but no folder has \"defaultFor\": \"contacts\"");
        Profile d = default_profile();
        p.folders.push_back(d.folders.front());
        p.defaults[olFolderContacts] = d.folders.front();
    }
    if (j.contains("explorer")) p.explorer = flag(j["explorer"], "profile", "explorer");
    if (j.contains("version")) p.version = text(j["version"], "profile", "version");
    if (j.contains("picture")) p.picture = flag(j["picture"], "profile", "picture");
    if (j.contains("installFolder")) {
        p.install_folder = text(j["installFolder"], "profile", "installFolder");
        if (p.install_folder.empty()) bad("profile", "\"installFolder\" must name a folder");
        if (p.install_folder.back() != u'\\') p.install_folder += u'\\';
    }
    if (j.contains("windowsFolder")) {
        p.windows_folder = text(j["windowsFolder"], "profile", "windowsFolder");
        if (p.windows_folder.empty()) bad("profile", "\"windowsFolder\" must name a folder");
    }
    if (j.contains("redemption")) p.redemption = flag(j["redemption"], "profile", "redemption");
    if (j.contains("internetExplorer"))
        p.internet_explorer = flag(j["internetExplorer"], "profile", "internetExplorer");
    if (j.contains("commandBars")) p.command_bars = command_bar_presets_from_json(j["commandBars"]);
    if (j.contains("listLimitBytes")) {
        const int32_t limit = integer(j["listLimitBytes"], "profile", "listLimitBytes");
        if (limit < 0) bad("profile", "\"listLimitBytes\" must be 0 (no limit) or more");
        p.list_limit_bytes = limit;
    }
    if (j.contains("listFull"))
        p.list_full_fails = choice<bool>(j["listFull"], "profile", "listFull", {{u"truncate", false}, {u"fail", true}});
    if (j.contains("openItemLimit")) {
        p.open_item_limit = integer(j["openItemLimit"], "profile", "openItemLimit");
        if (p.open_item_limit < 0) bad("profile", "\"openItemLimit\" must be 0 (no limit) or more");
        p.report_peaks = true;
    }
    if (j.contains("guard"))
        p.guard = choice<GuardMode>(j["guard"], "profile", "guard",
                                    {{u"off", GuardMode::Off}, {u"prompt", GuardMode::Prompt}, {u"deny", GuardMode::Deny}});
    if (j.contains("directory")) p.directory = read_directory(j["directory"]);
    if (j.contains("memberAddress"))
        p.member_address = choice<MemberAddressReading>(
            j["memberAddress"], "profile", "memberAddress",
            {{u"lastSpace", MemberAddressReading::last_space}, {u"exchangeName", MemberAddressReading::exchange_name}});
    if (j.contains("serviceLibrary")) {
        const Json& s = j["serviceLibrary"];
        std::string where = "profile.serviceLibrary";
        if (!s.is_object()) bad(where, "must be an object");
        only_fields(s, {"present", "initResult"}, where);
        if (s.contains("present")) p.service_present = flag(s["present"], where, "present");
        // One answer for every start-up call, or a list of them: the calls in turn, the last
        // one answering every call after it.
        if (s.contains("initResult")) {
            const Json& r = s["initResult"];
            if (r.is_array()) {
                if (r.empty()) bad(where, "\"initResult\" must not be an empty list");
                for (size_t i = 0; i < r.size(); ++i)
                    (i == 0 ? p.service_init_result : p.later_init_results.emplace_back()) =
                        integer(r[i], where, "initResult");
            } else {
                p.service_init_result = integer(r, where, "initResult");
            }
        }
    }
    return p;
}

std::vector<Answer> answers_from_json(const Json& j) {
    if (!j.is_array()) bad("answers", "must be a list");
    std::vector<Answer> out;
    for (size_t i = 0; i < j.size(); ++i) {
        std::string where = element_place("answers", i);
        const Json& a = j[i];
        if (!a.is_object() || a.size() != 1)
            bad(where, "an answer is an object with one field: categories, pickFolder, msgbox or guard");
        only_fields(a, {"categories", "pickFolder", "msgbox", "guard"}, where);
        Answer answer;
        if (a.contains("categories")) {
            answer.kind = AnswerKind::Categories;
            if (!a["categories"].is_null()) answer.value = text(a["categories"], where, "categories");
        } else if (a.contains("pickFolder")) {
            answer.kind = AnswerKind::PickFolder;
            if (!a["pickFolder"].is_null()) answer.value = text(a["pickFolder"], where, "pickFolder");
        } else if (a.contains("msgbox")) {
            answer.kind = AnswerKind::MsgBox;
            answer.value = text(a["msgbox"], where, "msgbox");
            if (*answer.value != u"Yes" && *answer.value != u"No" && *answer.value != u"Cancel")
                bad(where, "\"msgbox\" must be \"Yes\", \"No\" or \"Cancel\"");
        } else if (a.contains("guard")) {
            answer.kind = AnswerKind::Guard;
            answer.value = text(a["guard"], where, "guard");
            if (*answer.value != u"Allow" && *answer.value != u"Deny") bad(where, "\"guard\" must be \"Allow\" or \"Deny\"");
        } else {
            bad(where, "unknown answer \"" + a.begin().key() + "\"");
        }
        out.push_back(std::move(answer));
    }
    return out;
}

std::vector<Fault> faults_from_json(const Json& j) {
    if (!j.is_array()) bad("faults", "must be a list");
    std::vector<Fault> out;
    for (size_t i = 0; i < j.size(); ++i) {
        std::string where = element_place("faults", i);
        const Json& f = j[i];
        if (!f.is_object()) bad(where, "a fault must be an object");
        only_fields(f, {"member", "occurrence", "object"}, where);
        if (!f.contains("member")) bad(where, "a fault needs a \"member\"");
        Fault fault;
        fault.member = text(f["member"], where, "member");
        fault.occurrence = f.contains("occurrence") ? integer(f["occurrence"], where, "occurrence") : 1;
        if (fault.occurrence < 1) bad(where, "\"occurrence\" counts from 1");
        if (f.contains("object")) fault.object = text(f["object"], where, "object");
        out.push_back(std::move(fault));
    }
    return out;
}

}  // namespace sim
