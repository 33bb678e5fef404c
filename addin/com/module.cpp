#include "addin/com/module.h"

#include "host/com/hresult.h"

namespace addin::com {

using host::com::check;
using host::com::com_ptr;

namespace {

HMODULE the_module = nullptr;
std::weak_ptr<Shared> the_shared;

com_ptr<ITypeLib> load_type_library() {
    com_ptr<ITypeLib> lib;
    std::wstring path = module_path();
    check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.put()));
    return lib;
}

}  // namespace

void set_module(HMODULE module) noexcept { the_module = module; }
HMODULE module() noexcept { return the_module; }

std::wstring module_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(the_module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) host::com::raise_hresult(HRESULT_FROM_WIN32(GetLastError()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::shared_ptr<Shared> acquire_shared() {
    if (auto s = the_shared.lock()) return s;
    auto s = std::make_shared<Shared>();
    the_shared = s;
    return s;
}

com_ptr<ITypeInfo> type_info(REFIID iid) {
    com_ptr<ITypeLib> lib;
    if (auto s = the_shared.lock()) {
        if (!s->type_library) s->type_library = load_type_library();
        lib = s->type_library;
    } else {
        lib = load_type_library();
    }
    com_ptr<ITypeInfo> info;
    check(lib->GetTypeInfoOfGuid(iid, info.put()));
    return info;
}

}  // namespace addin::com
