#pragma once
// Typed wrappers over the safe-item library the engine reads contacts and collects members
// through. Its objects are created by ProgID.
#include <cstdint>
#include <string>

#include "host/wrapper.h"

namespace host {

inline constexpr std::u16string_view progid_safe_mail_item = u"Redemption.SafeMailItem";
inline constexpr std::u16string_view progid_safe_dist_list = u"Redemption.SafeDistList";
inline constexpr std::u16string_view progid_safe_contact_item = u"Redemption.SafeContactItem";

class SafeRecipient : public Wrapper {
public:
    using Wrapper::Wrapper;
    std::u16string Name() const { return obj_.get(u"Name").as_text(); }
};

class SafeRecipients : public Wrapper {
public:
    using Wrapper::Wrapper;
    SafeRecipient Add(std::u16string_view name) const { return SafeRecipient(obj_.call(u"Add", name)); }
    int32_t Count() const { return obj_.get(u"Count").as_int32(); }
    SafeRecipient Item(int32_t index) const { return SafeRecipient(obj_.get(u"Item", index)); }
};

class SafeMailItem : public Wrapper {
public:
    using Wrapper::Wrapper;
    void SetItem(const Object& item) const { obj_.put(u"Item", item); }
    SafeRecipients Recipients() const { return SafeRecipients(obj_.get(u"Recipients")); }
};

class SafeDistList : public Wrapper {
public:
    using Wrapper::Wrapper;
    void SetItem(const Object& item) const { obj_.put(u"Item", item); }
    Object Item() const { return obj_.get(u"Item").as_object(); }
    void AddMembers(const SafeRecipients& r) const { obj_.call(u"AddMembers", r.object()); }
};

class SafeContactItem : public Wrapper {
public:
    using Wrapper::Wrapper;
    void SetItem(const Object& item) const { obj_.put(u"Item", item); }
    std::u16string Field(std::u16string_view name) const { return obj_.get(name).as_text(); }
};

}  // namespace host
