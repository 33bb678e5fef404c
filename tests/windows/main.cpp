// The Windows test program: one check group per command, run under Wine by
// scripts/windows-test.
//   addin_test boundary         the IDispatch boundary against stand-in host objects, and
//                               the button picture's copy
//   addin_test typelib DLL      the embedded type library and resources
//   addin_test seed             writes a stand-in for the host's IDTExtensibility2 key
//   addin_test registered DLL   the registry after regsvr32
//   addin_test gone-here        this bitness's keys are gone after regsvr32 /u
//   addin_test gone             all of the add-in's keys are gone
//   addin_test connect          the add-in end to end through COM (registered beforehand)
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tests/windows/check.h"

namespace wintest {
void boundary_test();
void picture_copy_test();
void typelib_test(const std::wstring& dll);
void registry_seed();
void registry_registered(const std::wstring& dll);
void registry_gone_here();
void registry_gone();
void connect_test();
}  // namespace wintest

namespace {

// Runs the check group a command names; false for an unknown command.
bool run(const std::wstring& command, const std::wstring& dll) {
    if (command == L"boundary") {
        wintest::boundary_test();
        wintest::picture_copy_test();
    }
    else if (command == L"typelib" && !dll.empty())
        wintest::typelib_test(dll);
    else if (command == L"seed")
        wintest::registry_seed();
    else if (command == L"registered" && !dll.empty())
        wintest::registry_registered(dll);
    else if (command == L"gone-here")
        wintest::registry_gone_here();
    else if (command == L"gone")
        wintest::registry_gone();
    else if (command == L"connect")
        wintest::connect_test();
    else
        return false;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    std::wstring dll = argc > 2 ? argv[2] : L"";
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 100;
    bool known = true;
    try {
        known = run(command, dll);
    } catch (const std::exception& e) {
        wintest::fail(__FILE__, __LINE__, std::string("uncaught exception: ") + e.what());
    }
    CoUninitialize();
    if (!known) {
        std::fprintf(stderr, "usage: addin_test boundary|typelib|seed|registered|gone-here|gone|connect [DLL]\n");
        return 100;
    }
    int failures = wintest::failures();
    std::printf("addin_test %ls: %s\n", command.c_str(), failures ? "FAILED" : "ok");
    return failures;
}
