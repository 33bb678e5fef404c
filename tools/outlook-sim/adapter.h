#pragma once
// The substitute host's objects as real COM objects: one generic adapter makes any SimObject
// an IDispatch from its member table (member ids per type and name, Invoke into the
// object's choke point, failures as EXCEPINFO, _NewEnum as IEnumVARIANT) and, for the two
// events the add-in receives, a connection point container whose points forward the
// object's events to the advised sinks.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "host/com/com_ptr.h"
#include "host/com/com_variant.h"
#include "host/object.h"
#include "host/variant.h"

namespace outlook_sim {

// What the add-in asked of the host's objects, by (type, member in lower case).
struct CallCounts {
    std::map<std::pair<std::u16string, std::u16string>, int64_t> ids;      // GetIDsOfNames
    std::map<std::pair<std::u16string, std::u16string>, int64_t> invokes;  // Invoke
};
CallCounts& call_counts();

// COM objects of the adapter layer alive now: adapters and their enumerators.
long live_adapters();

// Told of every call that reaches a host object through an adapter, before it runs.
void on_host_call(std::function<void()> hook);
// Told when a host object finds that the scenario cannot be played (a dialog with no answer
// waiting...). The add-in gets a failure for the call.
void on_scenario_error(std::function<void(const std::string&)> hook);

// The IDispatch of a host object (a new reference; null for Nothing): an object of the
// substitute host gets an adapter, an object that came in through COM its own interface.
host::com::com_ptr<IDispatch> dispatch_of(const host::Object& object);
// A VARIANT as a host value: adapters go back to the object they adapt.
host::Variant host_value(const VARIANT& v);
// A host value as a VARIANT, objects through dispatch_of.
host::com::ComVariant com_value(const host::Variant& v);

}  // namespace outlook_sim
