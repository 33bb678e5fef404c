// SimObject: member tables, the route of every invocation and live counting.
#include "sim/model/sim_object.h"

#include "host/text.h"
#include "sim/model/guard.h"
#include "sim/model/store_limits.h"

namespace sim {

namespace {

// An object handed out by an untrusted object is untrusted as well.
host::Variant handed_out(host::Variant v, bool trusted) {
    if (!trusted && v.is_object())
        if (SimObject* o = sim_object(v.as_object())) o->distrust();
    return v;
}

class ListEnumerator : public host::Enumerator {
public:
    ListEnumerator(std::vector<std::function<host::Variant()>> list, bool trusted)
        : list_(std::move(list)), trusted_(trusted) {}
    std::optional<host::Variant> next() override {
        if (pos_ >= list_.size()) return std::nullopt;
        return handed_out(list_[pos_++](), trusted_);
    }

private:
    std::vector<std::function<host::Variant()>> list_;
    size_t pos_ = 0;
    bool trusted_;
};

[[noreturn]] void no_member(std::u16string_view type, std::u16string_view member) {
    throw host::Failure(host::errors::member_not_found,
                        u"Object doesn't support this property or method (" + std::u16string(type) + u"." +
                            std::u16string(member) + u")",
                        std::u16string(type));
}

}  // namespace

SimObject::SimObject(std::shared_ptr<World> world, std::u16string type, std::shared_ptr<Entity> entity)
    : world_(std::move(world)), type_(std::move(type)), entity_(std::move(entity)) {
    world_->object_created(is_item_type(type_));
}

SimObject::~SimObject() { world_->object_destroyed(is_item_type(type_)); }

host::Variant SimObject::invoke(host::Invoke kind, std::u16string_view member, Args& args) {
    world_->enter(type_, kind, member, args);
    auto it = table_.find(member);
    if (it == table_.end()) no_member(type_, member);
    Member& m = it->second;
    if (kind != host::Invoke::Put) guard_read(*world_, type_, m.name, trusted_);
    switch (kind) {
    case host::Invoke::Put:
        if (!m.put) no_member(type_, member);
        if (args.empty()) host::raise(449, u"Argument not optional");
        m.put(args);
        return {};
    case host::Invoke::Get:
        if (m.get) return handed_out(m.get(args), trusted_);
        if (m.call) return handed_out(m.call(args), trusted_);
        break;
    case host::Invoke::Call:
        if (m.call) return handed_out(m.call(args), trusted_);
        if (m.get) return handed_out(m.get(args), trusted_);
        break;
    }
    no_member(type_, member);
}

host::Subscription SimObject::subscribe(std::u16string_view event, host::EventHandler handler) {
    for (const auto& name : event_names_)
        if (host::equal_ignoring_case(name, event)) return source_->subscribe(name, std::move(handler));
    // What connecting to an event interface the object does not source gives.
    throw host::Failure(-2147220992, u"Object has no event " + std::u16string(event) + u" (" + type_ + u")", type_);
}

std::unique_ptr<host::Enumerator> SimObject::enumerate() {
    Args none;
    world_->enter(type_, host::Invoke::Get, u"_NewEnum", none);
    if (!list_) no_member(type_, u"_NewEnum");
    return std::make_unique<ListEnumerator>(list_(), trusted_);
}

Member& SimObject::entry(std::u16string name) {
    auto it = table_.find(name);
    if (it == table_.end()) it = table_.emplace(name, Member{name, {}, {}, {}}).first;
    return it->second;
}

SimObject& SimObject::getter(std::u16string name, std::function<host::Variant(Args&)> fn) {
    entry(std::move(name)).get = std::move(fn);
    return *this;
}

SimObject& SimObject::setter(std::u16string name, std::function<void(Args&)> fn) {
    entry(std::move(name)).put = std::move(fn);
    return *this;
}

SimObject& SimObject::method(std::u16string name, std::function<host::Variant(Args&)> fn) {
    entry(std::move(name)).call = std::move(fn);
    return *this;
}

SimObject& SimObject::enumeration(std::function<std::vector<std::function<host::Variant()>>()> list) {
    list_ = std::move(list);
    return *this;
}

SimObject& SimObject::events(std::shared_ptr<EventSource> source, std::vector<std::u16string> names) {
    source_ = std::move(source);
    event_names_ = std::move(names);
    return *this;
}

std::vector<MemberInfo> SimObject::members() const {
    std::vector<MemberInfo> out;
    for (const auto& [key, m] : table_)
        out.push_back({m.name, static_cast<bool>(m.get), static_cast<bool>(m.put), static_cast<bool>(m.call)});
    return out;
}

std::pair<host::Object, SimObject*> make_object(const std::shared_ptr<World>& world, std::u16string type,
                                                std::shared_ptr<Entity> entity) {
    auto p = std::make_shared<SimObject>(world, std::move(type), std::move(entity));
    SimObject* raw = p.get();
    return {host::Object(std::move(p)), raw};
}

SimObject* sim_object(const host::Object& o) { return dynamic_cast<SimObject*>(o.dispatch()); }

const host::Variant& arg(const Args& args, size_t index) {
    if (index >= args.size() || args[index].is_missing()) host::raise(449, u"Argument not optional");
    return args[index];
}

bool has_arg(const Args& args, size_t index) { return index < args.size() && !args[index].is_missing(); }

const host::Variant& put_value(const Args& args) { return args.back(); }

}  // namespace sim
