#pragma once
// SimObject: an object of the substitute host, reached by member name through a member
// table (names compared ignoring case, each with an optional get, put and call). Every
// invocation goes through the world's choke point first. Each SimObject counts itself live
// for as long as it exists, so tests can prove that a run released everything it got.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/dispatch.h"
#include "sim/model/world.h"

namespace sim {

using Args = std::vector<host::Variant>;

struct Member {
    std::u16string name;  // as published
    std::function<host::Variant(Args&)> get;
    std::function<void(Args&)> put;  // the value to assign is the last argument
    std::function<host::Variant(Args&)> call;
};

// What a member offers, for code that exposes a SimObject through another binding.
struct MemberInfo {
    std::u16string name;
    bool get = false, put = false, call = false;
};

class SimObject final : public host::Dispatch {
public:
    SimObject(std::shared_ptr<World> world, std::u16string type, std::shared_ptr<Entity> entity = {});
    ~SimObject() override;
    SimObject(const SimObject&) = delete;
    SimObject& operator=(const SimObject&) = delete;

    std::u16string type_name() const override { return type_; }
    // Late binding asks for a property read and a method call alike, so a Get reaches a
    // member that only has a call and the other way round. Unknown member: Failure 438.
    host::Variant invoke(host::Invoke kind, std::u16string_view member, Args& args) override;
    host::Subscription subscribe(std::u16string_view event, host::EventHandler handler) override;
    // Enumeration passes the choke point as a read of "_NewEnum".
    std::unique_ptr<host::Enumerator> enumerate() override;

    // Building the table.
    SimObject& getter(std::u16string name, std::function<host::Variant(Args&)> fn);
    SimObject& setter(std::u16string name, std::function<void(Args&)> fn);
    SimObject& method(std::u16string name, std::function<host::Variant(Args&)> fn);
    // The collection's members, in order, each made into a value when the walk reaches it.
    SimObject& enumeration(std::function<std::vector<std::function<host::Variant()>>()> list);
    SimObject& events(std::shared_ptr<EventSource> source, std::vector<std::u16string> names);

    std::vector<MemberInfo> members() const;
    bool enumerable() const { return static_cast<bool>(list_); }
    const std::vector<std::u16string>& event_names() const { return event_names_; }
    const std::shared_ptr<Entity>& entity() const { return entity_; }
    // Whether the host trusts the add-in's use of this object: it was reached from the
    // Application the host handed the add-in. Every object the host gives out from an
    // untrusted one is untrusted too.
    bool trusted() const { return trusted_; }
    void distrust() { trusted_ = false; }
    World& world() const { return *world_; }

private:
    Member& entry(std::u16string name);

    std::shared_ptr<World> world_;
    std::u16string type_;
    std::shared_ptr<Entity> entity_;
    std::map<std::u16string, Member, NameLess> table_;
    std::function<std::vector<std::function<host::Variant()>>()> list_;
    std::shared_ptr<EventSource> source_;
    std::vector<std::u16string> event_names_;
    bool trusted_ = true;
};

// A new SimObject wrapped as a host object.
std::pair<host::Object, SimObject*> make_object(const std::shared_ptr<World>& world, std::u16string type,
                                                std::shared_ptr<Entity> entity = {});

// The SimObject behind a host object, or null for Nothing and foreign objects.
SimObject* sim_object(const host::Object& o);
// The model entity of a given kind behind a host object, or null.
template <class T>
std::shared_ptr<T> entity_of(const host::Object& o) {
    SimObject* s = sim_object(o);
    return s ? std::dynamic_pointer_cast<T>(s->entity()) : nullptr;
}

// Argument access: a missing required argument raises "Argument not optional" (449).
const host::Variant& arg(const Args& args, size_t index);
bool has_arg(const Args& args, size_t index);
// The value of a put.
const host::Variant& put_value(const Args& args);

}  // namespace sim
