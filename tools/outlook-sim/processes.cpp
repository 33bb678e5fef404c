#include "tools/outlook-sim/processes.h"

#include <shellapi.h>

#include <cstring>

#include "host/com/bstr.h"
#include "host/text.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/addins.h"

namespace outlook_sim {

namespace {

sim::SimHost* recording_host = nullptr;

BOOL WINAPI record_process(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                           BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION process) {
    const wchar_t* line = command_line ? command_line : application;
    if (recording_host)
        recording_host->record({{"event", "process"}, {"commandLine", host::to_utf8(host::com::from_wide(line))}});
    if (process) {
        // Handles of its own for the caller to close: events, already set.
        process->hProcess = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        process->hThread = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        process->dwProcessId = 0;
        process->dwThreadId = 0;
    }
    return TRUE;
}

// The Windows folder the help viewer is started from: the profile's, so that a play under
// Wine starts the same command line as the substitute host does.
UINT WINAPI profile_windows_folder(LPWSTR buffer, UINT size) {
    if (!recording_host) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return 0;
    }
    const std::wstring folder = host::com::to_wide(recording_host->windows_folder());
    const auto length = static_cast<UINT>(folder.size());
    // As Windows answers: the length without the null when it fits, else the size it needs.
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
    return length;
}

// Opening a document or address through the shell: the substitute host records it (or fails
// it, as a scenario's fault on "ShellExecute" says) in place of starting the user's browser.
BOOL WINAPI record_shell(SHELLEXECUTEINFOW* info) {
    if (!info || !info->lpFile || !recording_host) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try {
        recording_host->open_address(host::com::from_wide(info->lpFile));
    } catch (...) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));  // more than 32: success
    info->hProcess = nullptr;
    return TRUE;
}

// Points a module's import of `function` from `library` at `replacement`.
bool redirect_import(HMODULE module, const char* library, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    bool done = false;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk
                                                                                               : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection)) continue;
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            done = true;
        }
    }
    return done;
}

}  // namespace

ProcessRecorder::ProcessRecorder(sim::SimHost& host) { recording_host = &host; }

ProcessRecorder::~ProcessRecorder() { recording_host = nullptr; }

bool ProcessRecorder::watch(IUnknown* object) {
    HMODULE module = module_of(object);
    if (!module) return false;
    const bool processes = redirect_import(module, "kernel32.dll", "CreateProcessW", reinterpret_cast<void*>(&record_process));
    // A DLL that never opens an address has no such import: only the processes are required.
    redirect_import(module, "shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(&record_shell));
    const bool windows_folder = redirect_import(module, "kernel32.dll", "GetSystemWindowsDirectoryW",
                                                reinterpret_cast<void*>(&profile_windows_folder));
    return processes && windows_folder;
}

}  // namespace outlook_sim
