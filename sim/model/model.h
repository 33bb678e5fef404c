#pragma once
// The in-memory profile of the substitute host: folders, items and the store that keeps
// saved items by entry ID. This is plain data; the objects the add-in talks to
// (sim/model/objects.h) are fresh proxies that hold shared pointers into it.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/model/restrict.h"

namespace sim {

// Anything a proxy can stand for. Proxies of the same entity share its events.
struct Entity {
    virtual ~Entity() = default;
};

// Orders member and field names ignoring ASCII letter case, as late binding compares them.
struct NameLess {
    bool operator()(std::u16string_view a, std::u16string_view b) const;
    using is_transparent = void;
};
std::u16string lower_ascii(std::u16string_view name);

// What one item holds: its class, its text properties, its categories (as the Categories
// property reads) and, for distribution lists and mail, its members and recipients.
struct ItemData {
    int32_t cls = 40;
    std::map<std::u16string, std::u16string, NameLess> fields;
    std::u16string categories;
    std::vector<std::u16string> members;     // distribution list: member texts, in order
    std::vector<std::u16string> recipients;  // mail: recipient texts, in order
    // The item's user properties: text values by name.
    std::map<std::u16string, std::u16string, NameLess> user_properties;

    std::u16string field(std::u16string_view name) const;
};

struct Folder;

// One item: what it holds now (with unsaved changes) and what the store keeps.
struct Item : Entity {
    ItemData current;
    std::optional<ItemData> stored;  // nothing until the item is first saved
    std::u16string entry_id;         // empty until the item is first saved
    bool filed = false;              // in a folder of the profile
};

struct Folder : Entity {
    std::u16string name;
    int32_t item_type = 0;
    // PR_ATTR_HIDDEN as the folder's PropertyAccessor reads it ("hidden"): not set (most
    // folders), false, or true (the system folders a mailbox keeps out of the folder list).
    std::optional<bool> hidden;
    // "restrictFails": the HRESULT the folder's Items.Restrict fails with; 0: it does not.
    int32_t restrict_fails = 0;
    // "itemsFail": the HRESULT every walk of the folder's items fails with; 0: none does.
    int32_t items_fail = 0;
    std::vector<std::shared_ptr<Item>> items;
    std::vector<std::shared_ptr<Folder>> folders;  // direct subfolders, in order
};

// The one store of a profile, as the store's entry ID reads.
inline constexpr std::u16string_view store_id = u"0000000038A1BB1005E5101AA1BB08002B2A56C20000";
// A folder's entry ID: the UTF-8 bytes of its path as hex digits, so a scenario can name one.
std::u16string folder_entry_id(std::u16string_view path);
// The path a folder entry ID stands for; nothing when the text is not one.
std::optional<std::u16string> folder_path_of_id(std::u16string_view entry_id);

// Numbers of the host's default folders (GetDefaultFolder).
inline constexpr int32_t olFolderDeletedItems = 3;
inline constexpr int32_t olFolderOutbox = 4;
inline constexpr int32_t olFolderSentMail = 5;
inline constexpr int32_t olFolderInbox = 6;
inline constexpr int32_t olFolderCalendar = 9;
inline constexpr int32_t olFolderContacts = 10;
inline constexpr int32_t olFolderJournal = 11;
inline constexpr int32_t olFolderNotes = 12;
inline constexpr int32_t olFolderTasks = 13;
inline constexpr int32_t olFolderDrafts = 16;

// A command-bar control that another program placed before the add-in connects; a popup
// (type 10) holds controls of its own.
struct PresetControl {
    int32_t type = 1;
    std::u16string caption;
    std::u16string tag;
    int32_t style = 0;
    bool visible = true;
    std::vector<PresetControl> controls;
};

// Preset controls of one command bar, appended to it in order.
struct PresetBar {
    std::u16string bar;  // the bar's name, as the command bars collection hands it out
    std::vector<PresetControl> controls;
};

// What the object-model guard does with a protected read by code the host does not trust
// ("guard"): nothing, as with antivirus reported healthy ("off"); ask the user ("prompt");
// refuse it, as a policy of automatic denial does ("deny").
enum class GuardMode { Off, Prompt, Deny };
// The first version that trusts the Application it hands an add-in at its connection.
inline constexpr int32_t first_trusting_version = 11;

// A person or group of the Exchange address book ("directory"): what the host finds for an
// Exchange address (its distinguished name), from 2007 on through GetExchangeUser.
struct DirectoryEntry {
    std::u16string dn;    // the legacy distinguished name, "/o=.../cn=jdoe"
    std::u16string name;  // the display name
    std::u16string smtp;  // the primary SMTP address; may be empty
    bool user = true;     // an Exchange user; false: a group or public folder (no ExchangeUser)
};

// How the host shows a list member made from the text "Display Name address" ("memberAddress"):
// its address is the text after the last space and its name the rest ("lastSpace", the
// default), or an address that is an Exchange distinguished name ("/o=...") is taken whole,
// from the space before it on ("exchangeName").
enum class MemberAddressReading { last_space, exchange_name };

struct Profile {
    std::vector<std::shared_ptr<Folder>> folders;           // top level, in order
    std::map<int32_t, std::shared_ptr<Folder>> defaults;    // default folder by number
    bool explorer = true;            // an explorer window exists when the add-in connects
    std::u16string version = u"11.0";  // what Application.Version reads
    bool service_present = true;     // the service library file is there
    int32_t service_init_result = 0; // what its start-up call returns
    std::vector<int32_t> later_init_results;  // what the calls after the next one return, in turn
    bool picture = true;             // the button picture file is there
    // The folder the add-in is installed in ("installFolder", ending in a backslash); empty:
    // the add-in's folder has none of its files, so it falls back to the fixed path.
    std::u16string install_folder;
    // "windowsFolder": where Windows is installed, as the system names it (the help viewer's
    // folder).
    std::u16string windows_folder = u"c:\\windows";
    bool redemption = true;          // the safe-item library is registered
    bool internet_explorer = true;   // the web browser's automation object can be created
    std::vector<PresetBar> command_bars;  // other programs' controls, in every explorer window
    // The bytes a distribution list's members may take ("listLimitBytes"; 0: no limit); unset,
    // the host's own: 15000 before 2010 (version 14), none after.
    std::optional<int64_t> list_limit_bytes;
    // "listFull": "fail": an AddMembers that would pass the limit adds nothing and fails;
    // "truncate" (the default): it keeps the first members that fit and succeeds.
    bool list_full_fails = false;
    // "openItemLimit": the items a session may hold open at once; 0: no limit.
    int32_t open_item_limit = 0;
    // The profile names an open-item limit (even 0): the end of a play reports the peaks.
    bool report_peaks = false;
    GuardMode guard = GuardMode::Prompt;
    // The Exchange address book; an address it does not hold resolves to nothing.
    std::vector<DirectoryEntry> directory;
    MemberAddressReading member_address = MemberAddressReading::last_space;
    // "categoryFilter": how Restrict compares a category with an item's categories; unset,
    // the reading of the profile's version (sim/model/restrict.h).
    std::optional<CategoryReading> category_filter;
    // "listSeparator": the user's list separator. The host joins an item's categories, and
    // the Categories dialog's answer, with it and a space.
    std::u16string list_separator = u",";

    CategoryReading category_reading() const {
        return category_filter ? *category_filter : default_category_reading(version);
    }

    // The limit on a list's members that applies, in bytes; 0 for none.
    int64_t list_limit() const;

    // The folder at a path of names joined by "/" from the top; null when there is none.
    std::shared_ptr<Folder> find(std::u16string_view path) const;
    // The path of a folder of the profile (empty when it is not in the profile).
    std::u16string path_of(const Folder& folder) const;
    std::shared_ptr<Folder> contacts() const;
    // The items the store holds (saved at least once), folder by folder from the top, each
    // folder before its subfolders; walked without recursion, as folders nest as deep as a
    // profile has them.
    std::vector<std::shared_ptr<Item>> stored_items() const;
    // Of those, the distribution lists.
    std::vector<std::shared_ptr<Item>> stored_lists() const;
    // The host shows a ribbon in its explorer windows (and asks add-ins for theirs).
    bool ribbon() const;
};

// A profile with one empty default Contacts folder, as a fresh mail profile has.
Profile default_profile();

}  // namespace sim
