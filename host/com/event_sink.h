#pragma once
// Events of host objects through connection points. The add-in receives two: the
// explorers' NewExplorer and the command-bar button's Click. Each subscription advises one
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
};

// The event of that name, or null when the system knows no such event.
const EventInterface* find_event(std::u16string_view name);

// Connects `handler` to the event of `source`; raises a Failure when the source has no
// connection point for the event's interface.
Subscription connect_event(const com_ptr<IDispatch>& source, const EventInterface& event,
                           EventHandler handler);

}  // namespace host::com
