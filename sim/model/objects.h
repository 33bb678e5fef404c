#pragma once
// The objects of the substitute host: proxies over the in-memory profile, made fresh for
// every object the add-in gets, as a COM server hands out interface pointers. Mail host
// objects (Application, NameSpace, MAPIFolder, Folders, Items, the item kinds, Explorers,
// Explorer), the safe-item library's wrappers and the web browser.
#include <memory>
#include <string_view>

#include "host/dispatch.h"
#include "sim/model/model.h"
#include "sim/model/world.h"

namespace sim {

class SimObject;
using WorldPtr = std::shared_ptr<World>;

host::Object make_application(const WorldPtr& w);
host::Object make_namespace(const WorldPtr& w);
host::Object make_folder(const WorldPtr& w, std::shared_ptr<Folder> folder);
// The subfolders of a folder, or the top-level folders when `parent` is null.
host::Object make_folders(const WorldPtr& w, std::shared_ptr<Folder> parent);
host::Object make_items(const WorldPtr& w, std::shared_ptr<Folder> folder);
// A folder's PropertyAccessor (from version 12 on).
host::Object make_property_accessor(const WorldPtr& w, std::shared_ptr<Folder> folder);
host::Object make_item(const WorldPtr& w, std::shared_ptr<Item> item);
host::Object make_explorers(const WorldPtr& w);
host::Object make_explorer(const WorldPtr& w, std::shared_ptr<ExplorerWindow> window);
// An explorer window opens: NewExplorer fires with it while the window that was active stays
// so, then it becomes the active one.
void open_explorer(const WorldPtr& w);
// An explorer window closes: its Close event fires, then it goes; when it was the active
// one, the window opened last of the others becomes active.
void close_explorer(World& w, const std::shared_ptr<ExplorerWindow>& window);

// What an item offers beyond its fields: its user properties and, for a list, its members one
// by one (GetMember, RemoveMember).
void add_item_details(SimObject& o, const WorldPtr& w, const std::shared_ptr<Item>& item);
// The explorer window's selection.
host::Object make_selection(const WorldPtr& w, std::shared_ptr<ExplorerWindow> window);
// The user selects these items in the window: the "select" event (a list's members shown as
// they are), then SelectionChange.
void select_items(World& w, ExplorerWindow& window, std::vector<std::shared_ptr<Item>> items);

// A new item of a CreateItem type (0 mail, 2 contact, 7 distribution list): unsaved, in
// no folder.
std::shared_ptr<Item> new_item(int32_t item_type);

// Objects created by ProgID: the safe-item library's wrappers and the web browser; a null
// object for a ProgID the substitute does not know.
host::Object create_by_progid(const WorldPtr& w, std::u16string_view progid);

// The text fields a contact publishes.
inline constexpr std::u16string_view contact_fields[] = {u"FullName", u"CompanyName", u"Email1Address",
                                                         u"Email2Address", u"Email3Address"};
// The address types of a contact's three e-mail entries, and what one reads: as the profile
// gives it, else "SMTP" for an address that is set and nothing for one that is not.
inline constexpr std::u16string_view contact_address_types[] = {u"Email1AddressType", u"Email2AddressType",
                                                                u"Email3AddressType"};
std::u16string contact_address_type(const ItemData& contact, size_t entry);

// NameSpace.CreateRecipient: a recipient made from a name or address, resolved against the
// profile's directory.
host::Object make_address_book_recipient(const WorldPtr& w, std::u16string name);
// A list member's display name and address, as the profile's "memberAddress" reads its text.
std::u16string member_name_of(const Profile& p, std::u16string_view text);
std::u16string member_address_of(const Profile& p, std::u16string_view text);

}  // namespace sim
