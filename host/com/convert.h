#pragma once
// Values across the boundary: host::Variant to VARIANT and back.
#include "host/com/com_variant.h"
#include "host/variant.h"

namespace host::com {

// A VARIANT as the system sees it. References are followed; objects become ComDispatch
// objects; numbers the system has no type for become the nearest one it has.
Variant to_host(const VARIANT& v);
// The VARIANT of a value. Objects must be objects of the host (ComDispatch); Missing
// becomes the "parameter not found" error value of an omitted optional argument.
ComVariant to_com(const Variant& v);

}  // namespace host::com
