#pragma once
// 32-bit counters are checked: leaving their range raises an overflow, as the host does.
#include <cstdint>
#include <limits>

#include "host/failure.h"

namespace host {

inline int32_t checked_add(int32_t a, int64_t b) {
    int64_t r = static_cast<int64_t>(a) + b;
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        raise_overflow();
    return static_cast<int32_t>(r);
}

}  // namespace host
