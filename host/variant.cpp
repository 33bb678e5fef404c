#include "host/variant.h"

#include <cmath>
#include <limits>

#include "host/failure.h"
#include "host/text.h"

namespace host {

namespace {

// Rounds half to even, as the host does when a fractional number becomes an integer.
double round_even(double d) { return std::nearbyint(d); }

template <typename Int>
Int to_int(double d) {
    double r = round_even(d);
    if (!(r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max()))
        raise_overflow();
    return static_cast<Int>(r);
}

double parse_number(const std::u16string& text) {
    std::string s = to_utf8(text);
    size_t start = s.find_first_not_of(' ');
    size_t end = s.find_last_not_of(' ');
    if (start == std::string::npos) raise(errors::type_mismatch);
    s = s.substr(start, end - start + 1);
    try {
        size_t used = 0;
        double d = std::stod(s, &used);
        if (used != s.size()) raise(errors::type_mismatch);
        return d;
    } catch (const std::logic_error&) {
        raise(errors::type_mismatch);
    }
}

}  // namespace

bool Variant::is_nothing() const {
    if (type() == Type::Empty) return true;
    if (auto o = std::get_if<Object>(&value_)) return !*o;
    return false;
}

double Variant::as_double() const {
    switch (type()) {
    case Type::Empty: return 0;
    case Type::Bool: return std::get<bool>(value_) ? -1 : 0;
    case Type::I2: return std::get<int16_t>(value_);
    case Type::I4: return std::get<int32_t>(value_);
    case Type::Single: return std::get<float>(value_);
    case Type::Double: return std::get<double>(value_);
    case Type::Text: return parse_number(std::get<std::u16string>(value_));
    default: raise(errors::type_mismatch);
    }
}

bool Variant::as_bool() const {
    if (type() == Type::Bool) return std::get<bool>(value_);
    return as_double() != 0;
}

int16_t Variant::as_int16() const { return to_int<int16_t>(as_double()); }
int32_t Variant::as_int32() const {
    if (type() == Type::I4) return std::get<int32_t>(value_);
    return to_int<int32_t>(as_double());
}

float Variant::as_single() const {
    double d = as_double();
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) raise_overflow();
    return static_cast<float>(d);
}

std::u16string Variant::as_text() const {
    switch (type()) {
    case Type::Empty: return {};
    case Type::Bool: return std::get<bool>(value_) ? u"True" : u"False";
    case Type::I2: return decimal(std::get<int16_t>(value_));
    case Type::I4: return decimal(std::get<int32_t>(value_));
    case Type::Single:
    case Type::Double: {
        double d = as_double();
        if (d == std::floor(d) && std::fabs(d) < 1e15) return decimal(static_cast<int64_t>(d));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.7g", d);
        return from_utf8(buf);
    }
    case Type::Text: return std::get<std::u16string>(value_);
    default: raise(errors::type_mismatch);
    }
}

Object Variant::as_object() const {
    if (auto o = std::get_if<Object>(&value_)) return *o;
    raise(errors::object_required);
}

}  // namespace host
