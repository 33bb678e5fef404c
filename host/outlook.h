#pragma once
// Typed wrappers over the mail host's object model: only the operations the add-in uses.
#include <cstdint>
#include <string>

#include "host/wrapper.h"

namespace host {

// Item types of CreateItem and folder default item types.
inline constexpr int32_t olMailItem = 0;
inline constexpr int32_t olContactItem = 2;
inline constexpr int32_t olDistributionListItem = 7;
inline constexpr int32_t olFolderContacts = 10;
inline constexpr int32_t olDiscard = 1;
// The type of a text user property.
inline constexpr int32_t olText = 1;
// Values of an item's Class property.
inline constexpr int32_t olContact = 40;
inline constexpr int32_t olMail = 43;
inline constexpr int32_t olDistributionList = 69;

class CommandBars;

class Items : public Wrapper {
public:
    using Wrapper::Wrapper;
    Items Restrict(std::u16string_view filter) const { return Items(obj_.call(u"Restrict", filter)); }
    int32_t Count() const { return obj_.get(u"Count").as_int32(); }
};

class MAPIFolder;

class Folders : public Wrapper {
public:
    using Wrapper::Wrapper;
};

// MAPI properties of an object by their schema names (from version 12 on).
class PropertyAccessor : public Wrapper {
public:
    using Wrapper::Wrapper;
    // Fails when the object does not have the property.
    Variant GetProperty(std::u16string_view schema_name) const { return obj_.call(u"GetProperty", schema_name); }
};

// PR_ATTR_HIDDEN, a folder kept out of the folder list, by its schema name.
inline constexpr std::u16string_view pr_attr_hidden = u"http://schemas.microsoft.com/mapi/proptag/0x10F4000B";
// The first version whose folders have a PropertyAccessor.
inline constexpr int32_t first_property_accessor_version = 12;

class MAPIFolder : public Wrapper {
public:
    using Wrapper::Wrapper;
    PropertyAccessor GetPropertyAccessor() const { return PropertyAccessor(obj_.get(u"PropertyAccessor")); }
    std::u16string Name() const { return obj_.get(u"Name").as_text(); }
    int32_t DefaultItemType() const { return obj_.get(u"DefaultItemType").as_int32(); }
    Folders GetFolders() const { return Folders(obj_.get(u"Folders")); }
    Items GetItems() const { return Items(obj_.get(u"Items")); }
    std::u16string EntryID() const { return obj_.get(u"EntryID").as_text(); }
    std::u16string StoreID() const { return obj_.get(u"StoreID").as_text(); }
};

class ContactItem : public Wrapper {
public:
    using Wrapper::Wrapper;
};

class MailItem : public Wrapper {
public:
    using Wrapper::Wrapper;
};

// A member of a list, or a recipient: its display name and address.
class Recipient : public Wrapper {
public:
    using Wrapper::Wrapper;
    std::u16string Name() const { return obj_.get(u"Name").as_text(); }
    std::u16string Address() const { return obj_.get(u"Address").as_text(); }
};

// An entry of the host's address book (version 12 on for GetExchangeUser).
class ExchangeUser : public Wrapper {
public:
    using Wrapper::Wrapper;
    // Empty when the entry has none.
    std::u16string PrimarySmtpAddress() const { return obj_.get(u"PrimarySmtpAddress").as_text(); }
};

class AddressEntry : public Wrapper {
public:
    using Wrapper::Wrapper;
    // No user (an empty wrapper) when the entry is not an Exchange user.
    ExchangeUser GetExchangeUser() const {
        Variant v = obj_.call(u"GetExchangeUser");
        return v.is_nothing() ? ExchangeUser() : ExchangeUser(v);
    }
};

// A recipient made from a name or address, to be looked up in the address book.
class AddressBookRecipient : public Recipient {
public:
    using Recipient::Recipient;
    bool Resolve() const { return obj_.call(u"Resolve").as_bool(); }
    AddressEntry GetAddressEntry() const { return AddressEntry(obj_.get(u"AddressEntry")); }
};

class UserProperty : public Wrapper {
public:
    using Wrapper::Wrapper;
    std::u16string Value() const { return obj_.get(u"Value").as_text(); }
    void SetValue(std::u16string_view value) const { obj_.put(u"Value", value); }
};

class UserProperties : public Wrapper {
public:
    using Wrapper::Wrapper;
    // No property (an empty wrapper) when the item has none of that name.
    UserProperty Find(std::u16string_view name) const {
        Variant v = obj_.call(u"Find", name);
        return v.is_nothing() ? UserProperty() : UserProperty(v);
    }
    // A text property of the item alone, not added to the folder's fields.
    UserProperty AddText(std::u16string_view name) const {
        return UserProperty(obj_.call(u"Add", name, olText, Variant::boolean(false)));
    }
};

class DistListItem : public Wrapper {
public:
    using Wrapper::Wrapper;
    std::u16string Subject() const { return obj_.get(u"Subject").as_text(); }
    void ShowCategoriesDialog() const { obj_.call(u"ShowCategoriesDialog"); }
    std::u16string Categories() const { return obj_.get(u"Categories").as_text(); }
    void Save() const { obj_.call(u"Save"); }
    std::u16string EntryID() const { return obj_.get(u"EntryID").as_text(); }
    void Close(int32_t save_mode) const { obj_.call(u"Close", save_mode); }
    void Display() const { obj_.call(u"Display"); }
    int32_t MemberCount() const { return obj_.get(u"MemberCount").as_int32(); }
    Recipient GetMember(int32_t index) const { return Recipient(obj_.call(u"GetMember", index)); }
    void RemoveMember(const Recipient& member) const { obj_.call(u"RemoveMember", member.object()); }
    UserProperties GetUserProperties() const { return UserProperties(obj_.get(u"UserProperties")); }
};

class NameSpace : public Wrapper {
public:
    using Wrapper::Wrapper;
    MAPIFolder GetDefaultFolder(int32_t folder) const {
        return MAPIFolder(obj_.call(u"GetDefaultFolder", folder));
    }
    // No folder (an empty wrapper) when the user cancels the picker.
    MAPIFolder PickFolder() const {
        Variant v = obj_.call(u"PickFolder");
        return v.is_nothing() ? MAPIFolder() : MAPIFolder(v);
    }
    Object GetItemFromID(std::u16string_view entry_id) const {
        return obj_.call(u"GetItemFromID", entry_id).as_object();
    }
    MAPIFolder GetFolderFromID(std::u16string_view entry_id, std::u16string_view store_id) const {
        return MAPIFolder(obj_.call(u"GetFolderFromID", entry_id, store_id));
    }
    AddressBookRecipient CreateRecipient(std::u16string_view name) const {
        return AddressBookRecipient(obj_.call(u"CreateRecipient", name));
    }
};

// The items selected in an explorer window.
class Selection : public Wrapper {
public:
    using Wrapper::Wrapper;
    int32_t Count() const { return obj_.get(u"Count").as_int32(); }
    Object Item(int32_t index) const { return obj_.call(u"Item", index).as_object(); }
};

class Explorer : public Wrapper {
public:
    using Wrapper::Wrapper;
    Object GetCommandBars() const { return obj_.get(u"CommandBars").as_object(); }
    Selection GetSelection() const { return Selection(obj_.get(u"Selection")); }
};

class Explorers : public Wrapper {
public:
    using Wrapper::Wrapper;
};

class Application : public Wrapper {
public:
    using Wrapper::Wrapper;
    NameSpace GetNamespace(std::u16string_view type) const {
        return NameSpace(obj_.call(u"GetNamespace", type));
    }
    Object CreateItem(int32_t item_type) const { return obj_.call(u"CreateItem", item_type).as_object(); }
    // No explorer (an empty wrapper) when the host has no explorer window.
    Explorer ActiveExplorer() const {
        Variant v = obj_.call(u"ActiveExplorer");
        return v.is_nothing() ? Explorer() : Explorer(v);
    }
    Explorers GetExplorers() const { return Explorers(obj_.get(u"Explorers")); }
    std::u16string Version() const { return obj_.get(u"Version").as_text(); }
};

// The major number of a host version text such as "16.0.17928.20114"; 0 when the text does
// not start with one.
inline int32_t MajorVersion(std::u16string_view version) {
    int32_t major = 0;
    size_t i = 0;
    for (; i < version.size() && i < 6 && version[i] >= u'0' && version[i] <= u'9'; ++i)
        major = major * 10 + (version[i] - u'0');
    return i < version.size() && version[i] != u'.' ? 0 : major;
}
// The first host version whose explorer window shows a ribbon instead of command bars.
inline constexpr int32_t first_ribbon_version = 14;
// The first host version that reaches an address book entry's Exchange user (GetExchangeUser).
inline constexpr int32_t first_exchange_user_version = 12;

// The Class of any item, read by name through its dispatch interface.
inline int32_t ItemClass(const Object& item) { return item.get(u"Class").as_int32(); }
// The Categories text of an item of any class.
inline std::u16string ItemCategories(const Object& item) { return item.get(u"Categories").as_text(); }

}  // namespace host
