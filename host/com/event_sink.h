#pragma once
// Events of host objects through connection points: the explorers' NewExplorer, an explorer's
// SelectionChange and Close, and the command-bar button's Click. Each subscription advises one
// small sink object on the source's connection point and unadvises it when dropped.
#include <windows.h>
#include <oaidl.h>

#include <string_view>

#include "host/com/com_ptr.h"
#include "host/object.h"

namespace host::com {

struct EventInterface {
    std::u16string_view event;  // the event's name, as subscribe() is asked for it
    IID iid;                    // the source interface (a dispinterface)
    DISPID dispid;              // the event's member in it
    bool bools_by_reference;    // Click's CancelDefault is a VARIANT_BOOL* the handler may set
};

// The events of the host objects the add-in receives, as the hosts publish them.
inline constexpr EventInterface event_interfaces[] = {
    // The explorers collection: NewExplorer(Explorer), before the explorer's window appears.
    {u"NewExplorer", {0x00063078, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}, 0xF001, false},
    // An explorer window (its events of 2002 on): SelectionChange(), after the user selects.
    {u"SelectionChange",
     {0x0006300F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
     0xF007,
     false},
    // The same interface: Close(), before the explorer window closes.
    {u"Close", {0x0006300F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}, 0xF008, false},
    // A command-bar button: Click(Ctrl, CancelDefault).
    {u"Click", {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}, 1, true},
};

// The event of that name, or null when the system knows no such event.
const EventInterface* find_event(std::u16string_view name);

// Connects `handler` to the event of `source`; raises a Failure when the source has no
// connection point for the event's interface.
Subscription connect_event(const com_ptr<IDispatch>& source, const EventInterface& event,
                           EventHandler handler);

}  // namespace host::com
