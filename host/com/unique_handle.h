#pragma once
// The owners of the handles the COM edge and the windows hold (host/unique_any.h).
#include <windows.h>

#include "host/unique_any.h"

namespace host::com {

using host::unique_any;

using unique_hmodule = unique_any<HMODULE, &FreeLibrary>;
using unique_handle = unique_any<HANDLE, &CloseHandle>;
using unique_hkey = unique_any<HKEY, &RegCloseKey>;

}  // namespace host::com
