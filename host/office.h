#pragma once
// Typed wrappers over the host's command bars: only the operations the add-in uses.
#include <cstdint>
#include <string>

#include "host/wrapper.h"

namespace host {

inline constexpr int32_t msoControlButton = 1;
inline constexpr int32_t msoControlPopup = 10;
inline constexpr int32_t msoButtonIcon = 1;
inline constexpr int32_t msoButtonIconAndCaption = 3;

class CommandBarControls : public Wrapper {
public:
    using Wrapper::Wrapper;
    // Add(Type, Id, Parameter, Before, Temporary); Before is omitted to append at the end.
    Object Add(int32_t type, const Variant& before, bool temporary) const {
        return obj_.call(u"Add", type, Missing{}, Missing{}, before, Variant::boolean(temporary)).as_object();
    }
    int32_t Count() const { return obj_.get(u"Count").as_int32(); }
};

// What FindControl looks for: each criterion is omitted unless set.
struct FindCriteria {
    Variant type = Missing{};
    Variant id = Missing{};
    Variant tag = Missing{};
    Variant visible = Missing{};
};

inline Object FindControl(const Object& where, const FindCriteria& c) {
    Variant v = where.call(u"FindControl", c.type, c.id, c.tag, c.visible);
    return v.is_nothing() ? Object() : v.as_object();
}

class CommandBar : public Wrapper {
public:
    using Wrapper::Wrapper;
    CommandBarControls Controls() const { return CommandBarControls(obj_.get(u"Controls")); }
    Object FindControl(const FindCriteria& c) const { return host::FindControl(obj_, c); }
};

class CommandBarControl : public Wrapper {
public:
    using Wrapper::Wrapper;
    void SetCaption(std::u16string_view text) const { obj_.put(u"Caption", text); }
    void SetTag(std::u16string_view text) const { obj_.put(u"Tag", text); }
    void Delete() const { obj_.call(u"Delete"); }
};

class CommandBarPopup : public CommandBarControl {
public:
    using CommandBarControl::CommandBarControl;
    CommandBar GetCommandBar() const { return CommandBar(obj_.get(u"CommandBar")); }
    CommandBarControls Controls() const { return CommandBarControls(obj_.get(u"Controls")); }
};

class CommandBarButton : public CommandBarControl {
public:
    using CommandBarControl::CommandBarControl;
    void SetStyle(int32_t style) const { obj_.put(u"Style", style); }
    void PasteFace() const { obj_.call(u"PasteFace"); }
};

class CommandBars : public Wrapper {
public:
    using Wrapper::Wrapper;
    CommandBar Item(std::u16string_view name) const { return CommandBar(obj_.get(u"Item", name)); }
    Object FindControl(const FindCriteria& c) const { return host::FindControl(obj_, c); }
};

// A control of the ribbon, as the host hands it to a ribbon callback.
// The ribbon the add-in's XML was built into: asked to call the add-in's get-callbacks again.
class IRibbonUI : public Wrapper {
public:
    using Wrapper::Wrapper;
    void Invalidate() const { obj_.call(u"Invalidate"); }
    void InvalidateControl(std::u16string_view id) const { obj_.call(u"InvalidateControl", id); }
};

class IRibbonControl : public Wrapper {
public:
    using Wrapper::Wrapper;
    std::u16string Id() const { return obj_.get(u"Id").as_text(); }
    std::u16string Tag() const { return obj_.get(u"Tag").as_text(); }
    // The window whose ribbon holds the control (an explorer for the add-in's ribbon); no
    // object when the host names none.
    Object Context() const {
        Variant v = obj_.get(u"Context");
        return v.is_object() ? v.as_object() : Object();
    }
};

}  // namespace host
