#include "host/com/live_objects.h"

#include <windows.h>

namespace host::com {

namespace {
LONG count = 0;
}

void object_created() noexcept { InterlockedIncrement(&count); }
void object_destroyed() noexcept { InterlockedDecrement(&count); }
long live_objects() noexcept { return InterlockedCompareExchange(&count, 0, 0); }

}  // namespace host::com
