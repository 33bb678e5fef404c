// Where the add-in finds a library it loads by file name, under the real loader: a library of
// that name planted in the current folder or on PATH is never loaded; one beside the module,
// in the system folder or in a folder the process added is. Built into a folder of its own,
// with no library beside it, and given the library to plant:
//   library_search_test LIBRARY.dll
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/com/library_search.h"
#include "tests/windows/check.h"

namespace {

using host::com::folder_of;
using host::com::load_system_library;
using host::com::load_trusted_library;

const wchar_t* const name = L"LibOrvane.dll";

std::wstring path_of(HMODULE m) { return m ? folder_of(m) : L"(not loaded)"; }

// Copies the library to `folder` for as long as it lives.
struct Planted {
    Planted(const std::wstring& library, const std::wstring& folder) : file(folder + L"\\" + name) {
        copied = CopyFileW(library.c_str(), file.c_str(), FALSE) != FALSE;
    }
    ~Planted() {
        if (copied) DeleteFileW(file.c_str());
    }
    std::wstring file;
    bool copied = false;
};

HMODULE self() {
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&self), &m);
    return m;
}

void test(const std::wstring& library) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring planted_folder = std::wstring(temp) + L"quillamor-planted";
    CreateDirectoryW(planted_folder.c_str(), nullptr);
    {
        // The current folder and PATH hold a library of that name: it is not taken.
        Planted planted(library, planted_folder);
        CHECK(planted.copied);
        CHECK(SetCurrentDirectoryW(planted_folder.c_str()));
        CHECK(SetEnvironmentVariableW(L"PATH", (planted_folder + L";C:\\windows\\system32").c_str()));
        auto m = load_trusted_library(self(), name);
        CHECK_EQ(path_of(m.get()), std::wstring(L"(not loaded)"));
        CHECK(GetModuleHandleW(name) == nullptr);

        // A folder the host adds for its libraries is taken.
        DLL_DIRECTORY_COOKIE cookie = AddDllDirectory(planted_folder.c_str());
        CHECK(cookie != nullptr);
        auto added = load_trusted_library(self(), name);
        CHECK_EQ(path_of(added.get()), planted_folder);
        added.reset();
        if (cookie) RemoveDllDirectory(cookie);
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        SetCurrentDirectoryW(system);
    }
    {
        // Beside the module that asks: taken from there, by its full path.
        Planted beside(library, folder_of(self()));
        CHECK(beside.copied);
        auto m = load_trusted_library(self(), name);
        CHECK_EQ(path_of(m.get()), folder_of(self()));
    }
    {
        // In the system folder.
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        Planted in_system(library, system);
        CHECK(in_system.copied);
        auto m = load_trusted_library(self(), name);
        CHECK_EQ(path_of(m.get()), std::wstring(system));
    }
    // A library of the system by name comes from the system folder.
    auto controls = load_system_library(L"comctl32.dll");
    CHECK(controls);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    CHECK(_wcsicmp(path_of(controls.get()).c_str(), system) == 0);
    RemoveDirectoryW(planted_folder.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: library_search_test LIBRARY.dll\n");
        return 100;
    }
    test(argv[1]);
    const int failures = wintest::failures();
    std::printf("library_search_test: %s\n", failures ? "FAILED" : "ok");
    return failures;
}
