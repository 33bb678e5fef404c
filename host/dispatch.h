#pragma once
// The interface behind host::Object. It has two implementations: the host's IDispatch
// (host/com) and the substitute host's member tables (sim/model).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/failure.h"
#include "host/object.h"
#include "host/variant.h"

namespace host {

enum class Invoke { Get, Put, Call };

class Enumerator {
public:
    virtual ~Enumerator() = default;
    virtual std::optional<Variant> next() = 0;
};

class Dispatch {
public:
    virtual ~Dispatch() = default;
    virtual std::u16string type_name() const = 0;
    // For Put the last argument is the value to assign.
    virtual Variant invoke(Invoke kind, std::u16string_view member, std::vector<Variant>& args) = 0;
    virtual Subscription subscribe(std::u16string_view event, EventHandler handler) = 0;
    virtual std::unique_ptr<Enumerator> enumerate() = 0;
};

template <class... A>
Variant Object::get(std::u16string_view member, A&&... args) const {
    std::vector<Variant> list{Variant(std::forward<A>(args))...};
    return invoke(Invoke::Get, member, list);
}

template <class... A>
Variant Object::call(std::u16string_view member, A&&... args) const {
    std::vector<Variant> list{Variant(std::forward<A>(args))...};
    return invoke(Invoke::Call, member, list);
}

}  // namespace host
