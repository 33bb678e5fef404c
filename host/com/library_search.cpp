#include "host/com/library_search.h"

namespace host::com {

namespace {

// The search flags came with the loader that has AddDllDirectory: Windows 8 and later, and 7
// with its update. Without them the same folders are tried by full path.
bool search_flags_supported() {
    static const bool supported = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        return kernel && GetProcAddress(kernel, "AddDllDirectory") != nullptr;
    }();
    return supported;
}

std::wstring system_folder() {
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

bool is_file(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A library by its full path; what it needs in turn comes from its own folder and the
// trusted ones.
unique_hmodule load_by_path(const std::wstring& folder, std::wstring_view file) {
    if (folder.empty()) return {};
    const std::wstring path = folder + L"\\" + std::wstring(file);
    if (!is_file(path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return {};
    }
    const DWORD flags = search_flags_supported() ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                                                 : LOAD_WITH_ALTERED_SEARCH_PATH;
    return unique_hmodule(LoadLibraryExW(path.c_str(), nullptr, flags));
}

}  // namespace

std::wstring folder_of(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

unique_hmodule load_trusted_library(HMODULE module, std::wstring_view file) {
    if (auto beside = load_by_path(folder_of(module), file)) return beside;
    const std::wstring name(file);
    if (search_flags_supported())
        return unique_hmodule(LoadLibraryExW(
            name.c_str(), nullptr,
            LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS));
    if (auto in_application = load_by_path(folder_of(nullptr), file)) return in_application;
    return load_by_path(system_folder(), file);
}

unique_hmodule load_system_library(std::wstring_view file) {
    const std::wstring name(file);
    if (search_flags_supported())
        return unique_hmodule(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return load_by_path(system_folder(), file);
}

}  // namespace host::com
