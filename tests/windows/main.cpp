// The Windows test program, run under Wine by scripts/windows-test. Each command runs the
// tests of one stage of the registration story, in a process of its own, since regsvr32 runs
// between them:
//   addin_test boundary         the IDispatch boundary against stand-in host objects, the
//                               COM objects' IUnknown, the button picture's copy, the
//                               button faces on the clipboard and the support log file
//   addin_test typelib DLL      the embedded type library and resources
//   addin_test seed             writes a stand-in for the host's IDTExtensibility2 key
//   addin_test registered DLL   the registry after regsvr32
//   addin_test gone-here        this bitness's keys are gone after regsvr32 /u
//   addin_test gone             all of the add-in's keys are gone
//   addin_test connect          the add-in end to end through COM (registered beforehand)
// GoogleTest's own options (--gtest_brief=0, --gtest_repeat=...) may come first or after.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/windows/addin_ids.h"

namespace wintest {

namespace {
std::wstring dll;
}

const std::wstring& dll_under_test() { return dll; }

}  // namespace wintest

namespace {

struct Command {
    const wchar_t* name;
    const char* tests;  // GoogleTest's filter
    bool needs_dll;
};

constexpr Command commands[] = {
    {L"boundary", "ComObject.*:Boundary.*:PictureCopy.*:ButtonFace.*:LogFile.*", false},
    {L"typelib", "TypeLibrary.*:Resources.*", true},
    {L"seed", "RegistrySeed.*", false},
    {L"registered", "Registered.*", true},
    {L"gone-here", "UnregisteredHere.*", false},
    {L"gone", "UnregisteredHere.*:UnregisteredEverywhere.*", false},
    {L"connect", "Connect.*", false},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    GTEST_FLAG_SET(brief, true);  // failures and the totals only, unless asked otherwise
    testing::InitGoogleTest(&argc, argv);
    const Command* command = nullptr;
    for (const Command& c : commands)
        if (argc > 1 && std::wstring(argv[1]) == c.name) command = &c;
    if (!command || (command->needs_dll && argc < 3)) {
        std::fprintf(stderr, "usage: addin_test boundary|typelib|seed|registered|gone-here|gone|connect [DLL]\n");
        return 100;
    }
    if (argc > 2) wintest::dll = argv[2];
    GTEST_FLAG_SET(filter, command->tests);

    // The tests are the host's main thread: one single-threaded apartment for all of them.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 100;
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    // A command whose filter matches nothing must not pass for one whose tests passed.
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "addin_test %ls: no test ran\n", command->name);
        result = 1;
    }
    std::printf("addin_test %ls: %s\n", command->name, result ? "FAILED" : "ok");
    return result;
}
