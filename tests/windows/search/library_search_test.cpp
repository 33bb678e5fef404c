// Where the add-in finds a library it loads by file name, under the real loader: a library of
// that name planted in the current folder or on PATH is never loaded; one beside the module,
// in the system folder or in a folder the process added is. Built into a folder of its own,
// with no library beside it, and given the library to plant:
//   library_search_test LIBRARY.dll
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/com/library_search.h"

namespace {

using host::com::folder_of;
using host::com::load_system_library;
using host::com::load_trusted_library;

const wchar_t* const name = L"LibOrvane.dll";

// The library to plant, as the command line names it.
std::wstring planted_library;

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

std::wstring system_folder() {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    return system;
}

// The current folder and PATH hold a library of that name: it is not taken, unless the host
// adds that folder for its libraries.
TEST(LibrarySearch, NotFromTheCurrentFolderOrPathButFromAnAddedFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring planted_folder = std::wstring(temp) + L"quillamor-planted";
    CreateDirectoryW(planted_folder.c_str(), nullptr);
    {
        Planted planted(planted_library, planted_folder);
        EXPECT_TRUE(planted.copied);
        EXPECT_TRUE(SetCurrentDirectoryW(planted_folder.c_str()));
        EXPECT_TRUE(SetEnvironmentVariableW(L"PATH", (planted_folder + L";C:\\windows\\system32").c_str()));
        auto m = load_trusted_library(self(), name);
        EXPECT_EQ(path_of(m.get()), std::wstring(L"(not loaded)"));
        EXPECT_EQ(GetModuleHandleW(name), nullptr);

        DLL_DIRECTORY_COOKIE cookie = AddDllDirectory(planted_folder.c_str());
        EXPECT_NE(cookie, nullptr);
        auto added = load_trusted_library(self(), name);
        EXPECT_EQ(path_of(added.get()), planted_folder);
        added.reset();
        if (cookie) RemoveDllDirectory(cookie);
        SetCurrentDirectoryW(system_folder().c_str());
    }
    RemoveDirectoryW(planted_folder.c_str());
}

// Beside the module that asks: taken from there, by its full path.
TEST(LibrarySearch, FromBesideTheModule) {
    Planted beside(planted_library, folder_of(self()));
    EXPECT_TRUE(beside.copied);
    auto m = load_trusted_library(self(), name);
    EXPECT_EQ(path_of(m.get()), folder_of(self()));
}

TEST(LibrarySearch, FromTheSystemFolder) {
    Planted in_system(planted_library, system_folder());
    EXPECT_TRUE(in_system.copied);
    auto m = load_trusted_library(self(), name);
    EXPECT_EQ(path_of(m.get()), system_folder());
}

// A library of the system by name comes from the system folder.
TEST(LibrarySearch, ASystemLibraryFromTheSystemFolder) {
    auto controls = load_system_library(L"comctl32.dll");
    EXPECT_TRUE(controls);
    EXPECT_EQ(_wcsicmp(path_of(controls.get()).c_str(), system_folder().c_str()), 0)
        << testing::PrintToString(path_of(controls.get()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    GTEST_FLAG_SET(brief, true);
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: library_search_test LIBRARY.dll\n");
        return 100;
    }
    planted_library = argv[1];
    return RUN_ALL_TESTS();
}
