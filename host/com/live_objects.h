#pragma once
// The count of COM objects of the system that are alive (event sinks, the add-in's own
// objects) plus the server locks: the DLL may be unloaded only when it is zero.
namespace host::com {

void object_created() noexcept;
void object_destroyed() noexcept;
long live_objects() noexcept;

// Counts one object for as long as it lives; a member of every COM class of the system.
class LiveObject {
public:
    LiveObject() noexcept { object_created(); }
    LiveObject(const LiveObject&) noexcept { object_created(); }
    LiveObject& operator=(const LiveObject&) noexcept { return *this; }
    ~LiveObject() { object_destroyed(); }
};

}  // namespace host::com
