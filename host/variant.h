#pragma once
// A late-bound value, as it crosses the boundary to the host: empty, boolean, 16/32-bit
// integer, single, double, text, object or the "missing" marker of an omitted argument.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "host/object.h"

namespace host {

struct Missing {
    bool operator==(const Missing&) const = default;
};

// Booleans of the host are 16-bit: True is -1, False is 0.
using Bool16 = int16_t;
inline constexpr Bool16 True = -1;
inline constexpr Bool16 False = 0;

class Variant {
public:
    enum class Type { Empty, Bool, I2, I4, Single, Double, Text, Object, Missing };

    Variant() = default;
    static Variant boolean(bool b) { Variant v; v.value_ = b; return v; }
    Variant(int16_t i) : value_(i) {}
    Variant(int32_t i) : value_(i) {}
    Variant(float f) : value_(f) {}
    Variant(double d) : value_(d) {}
    Variant(std::u16string s) : value_(std::move(s)) {}
    Variant(const char16_t* s) : value_(std::u16string(s)) {}
    Variant(std::u16string_view s) : value_(std::u16string(s)) {}
    Variant(Object o) : value_(std::move(o)) {}
    Variant(Missing m) : value_(m) {}

    Type type() const { return static_cast<Type>(value_.index()); }
    bool is_empty() const { return type() == Type::Empty; }
    bool is_missing() const { return type() == Type::Missing; }
    bool is_object() const { return type() == Type::Object; }
    // True for an object variant that holds no object (the host's Nothing) and for empty.
    bool is_nothing() const;

    // Conversions follow the host's coercion rules; a value that cannot convert raises
    // a type mismatch, a number out of range an overflow.
    bool as_bool() const;
    int16_t as_int16() const;
    int32_t as_int32() const;
    float as_single() const;
    double as_double() const;
    std::u16string as_text() const;
    Object as_object() const;  // raises "Object required" for anything but an object

    bool operator==(const Variant& other) const { return value_ == other.value_; }

private:
    std::variant<std::monostate, bool, int16_t, int32_t, float, double, std::u16string, Object,
                 Missing>
        value_;
};

}  // namespace host
