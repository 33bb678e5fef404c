#pragma once
// Base of the typed wrappers: a named view of a host::Object, so that code reads like the
// object model it drives. Each wrapper method is one line over Object.
#include "host/dispatch.h"

namespace host {

class Wrapper {
public:
    Wrapper() = default;
    explicit Wrapper(Object o) : obj_(std::move(o)) {}
    explicit Wrapper(const Variant& v) : obj_(v.as_object()) {}

    const Object& object() const { return obj_; }
    explicit operator bool() const { return static_cast<bool>(obj_); }
    void reset() { obj_.reset(); }

protected:
    Object obj_;
};

}  // namespace host
