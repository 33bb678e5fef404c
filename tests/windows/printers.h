#pragma once
// How the Windows test programs print the values they compare when a check fails: GUIDs in
// their registry form and the host's late-bound values by type and value, rather than as
// GoogleTest's dump of their bytes.
#include <windows.h>
#include <objbase.h>

#include <ostream>

#include "host/text.h"
#include "host/variant.h"

inline void PrintTo(const GUID& g, std::ostream* out) {
    wchar_t text[40] = {};
    StringFromGUID2(g, text, 40);
    for (const wchar_t* c = text; *c; ++c) *out << static_cast<char>(*c);
}

namespace host {

inline void PrintTo(const Variant& v, std::ostream* out) {
    switch (v.type()) {
        case Variant::Type::Empty: *out << "Empty"; break;
        case Variant::Type::Bool: *out << (v.as_bool() ? "True" : "False"); break;
        case Variant::Type::I2: *out << "Integer " << v.as_int16(); break;
        case Variant::Type::I4: *out << "Long " << v.as_int32(); break;
        case Variant::Type::Single: *out << "Single " << v.as_single(); break;
        case Variant::Type::Double: *out << "Double " << v.as_double(); break;
        case Variant::Type::Text: *out << '"' << to_utf8(v.as_text()) << '"'; break;
        case Variant::Type::Object: *out << (v.is_nothing() ? "Nothing" : "Object"); break;
        case Variant::Type::Missing: *out << "Missing"; break;
    }
}

}  // namespace host
