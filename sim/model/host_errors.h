#pragma once
// The failures the substitute host raises, with the numbers the real host gives for them.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/dispatch.h"

namespace sim {

// MAPI_E_NOT_FOUND: an entry ID or default folder the host does not have.
inline constexpr int32_t not_found = -2147221233;
// E_INVALIDARG: an argument value the host does not accept.
inline constexpr int32_t invalid_argument = -2147024809;
// E_FAIL: a control that is gone, a paste without a face.
inline constexpr int32_t failed = -2147467259;
// DISP_E_BADINDEX: a collection index out of range.
inline constexpr int32_t bad_index = -2147352565;

[[noreturn]] inline void fail(int32_t number, std::u16string description, std::u16string_view source) {
    throw host::Failure(number, std::move(description), std::u16string(source));
}

// The host's Nothing.
inline host::Variant nothing() { return host::Variant(host::Object()); }

}  // namespace sim
