#include "host/com/safe_array.h"

#include <new>

namespace host::com {

SafeArray SafeArray::of_variants(ULONG count) {
    SafeArray out;
    out.a_ = SafeArrayCreateVector(VT_VARIANT, 0, count);
    if (!out.a_) throw std::bad_alloc();
    return out;
}

}  // namespace host::com
