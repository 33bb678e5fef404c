#include "tools/outlook-sim/crash.h"

#include <windows.h>

#include <cstdio>

namespace outlook_sim {

namespace {

const char* volatile scenario_name = "";
volatile unsigned long step_number = 0;

LONG WINAPI host_crashed(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    // Where it happened: inside a module, or where a module used to be.
    wchar_t module_file[MAX_PATH] = L"no module (code that is not loaded)";
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(r->ExceptionAddress), &module))
        GetModuleFileNameW(module, module_file, MAX_PATH);
    char line[1024];
    const int n = std::snprintf(line, sizeof line,
                                "outlook-sim: %s: step %lu: the host crashed: exception 0x%08lX at %p in %ls\n",
                                scenario_name, step_number, static_cast<unsigned long>(r->ExceptionCode),
                                r->ExceptionAddress, module_file);
    DWORD written = 0;
    if (n > 0) WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(n), &written, nullptr);
    TerminateProcess(GetCurrentProcess(), crashed_status);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void end_at_a_crash() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(&host_crashed);
}

void now_playing(const char* scenario) { scenario_name = scenario; }
void now_at_step(unsigned long step) { step_number = step; }

}  // namespace outlook_sim
