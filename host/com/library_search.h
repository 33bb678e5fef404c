#pragma once
// Where the add-in looks for a library it loads by file name: where its maker or an
// administrator puts it, and nowhere else. A bare name given to LoadLibrary is looked for in
// the current folder and on PATH as well, and a file of that name planted there (a PATH
// folder the user can write to is common) would run inside the mail host with the user's
// mail.
#include <windows.h>

#include <string>
#include <string_view>

#include "host/com/unique_handle.h"

namespace host::com {

// `file` from the folder of `module` (by its full path), else from the application's folder,
// the system folder and the folders the process added with AddDllDirectory; never from the
// current folder or PATH. Null when it is in none of them (GetLastError says why).
unique_hmodule load_trusted_library(HMODULE module, std::wstring_view file);

// A library of the system by name, from the system folder only (a side-by-side manifest of
// the process still redirects it, as the loader does before any folder is searched).
unique_hmodule load_system_library(std::wstring_view file);

// The folder a module's file is in, without the last separator.
std::wstring folder_of(HMODULE module);

}  // namespace host::com
