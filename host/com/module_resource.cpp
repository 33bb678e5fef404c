// The add-in's own resources, read from its DLL image: they live as long as the module.
#include <windows.h>

#include "host/com/com_environment.h"
#include "host/com/bstr.h"

namespace host::com {

std::string ComEnvironment::module_resource(std::u16string_view name) {
    auto module = static_cast<HMODULE>(module_handle());
    std::wstring wide = to_wide(name);
    HRSRC found = module ? FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10)) : nullptr;  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return Environment::module_resource(name);
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace host::com
