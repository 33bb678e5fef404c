/* The debugger of the test prefixes: Wine starts it for a program that crashed, as the
 * prefix's AeDebug key says ("crash-report.exe PID EVENT"). It attaches, takes the crash,
 * writes one line that names the program, its command line, the exception and the module it
 * happened in (with the modules whose code is on the stack above it), and ends the program.
 * Unlike Wine's own debugger it never waits for anyone, keeps no settings and opens no
 * console, so a crash leaves nothing in the prefix that a comparison of its registry would
 * take for a trace of the add-in.
 *   crash-report.exe PID EVENT
 * The line goes to the end of the file that the crashed program's QUILLAMOR_CRASH_LOG names
 * (a Windows path), or to the standard error when it names none. Built for 32-bit and 64-bit Windows: each debugs the
 * programs of its own bitness. */
#include <windows.h>
#include <winternl.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#define MAX_MODULES 512

typedef struct {
    ULONG_PTR base, size;
    wchar_t name[MAX_PATH];
} Module;

static Module modules[MAX_MODULES];
static int module_count;
static HANDLE process;

static void add_module(void *base, HANDLE file) {
    if (module_count == MAX_MODULES) return;
    Module *m = &modules[module_count++];
    m->base = (ULONG_PTR)base;
    m->size = 0x1000;
    lstrcpyW(m->name, L"?");
    if (file) {
        wchar_t path[MAX_PATH];
        DWORD n = GetFinalPathNameByHandleW(file, path, MAX_PATH, 0);
        if (n > 0 && n < MAX_PATH) {
            const wchar_t *slash = wcsrchr(path, L'\\');
            lstrcpynW(m->name, slash ? slash + 1 : path, MAX_PATH);
        }
        CloseHandle(file);
    }
    /* The image's size from its headers, as they are in the crashed program. */
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    SIZE_T got;
    if (ReadProcessMemory(process, base, &dos, sizeof dos, &got) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
        ReadProcessMemory(process, (char *)base + dos.e_lfanew, &nt, sizeof nt, &got) &&
        nt.Signature == IMAGE_NT_SIGNATURE)
        m->size = nt.OptionalHeader.SizeOfImage;
}

static const Module *module_at(ULONG_PTR address) {
    for (int i = 0; i < module_count; i++)
        if (address >= modules[i].base && address - modules[i].base < modules[i].size) return &modules[i];
    return NULL;
}

static const char *exception_name(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer divided by zero";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_BREAKPOINT: return "breakpoint";
    case 0xC0000409: return "stack buffer overrun";
    case 0xC0000374: return "heap corruption";
    case 0xE06D7363: return "C++ exception";
    case 0x20474343: return "C++ exception (GCC)";
    default: return "exception";
    }
}

/* Appends "MODULE+0xOFFSET" (or the bare address) to out. */
static void describe(wchar_t *out, size_t size, ULONG_PTR address) {
    const Module *m = module_at(address);
    size_t used = wcslen(out);
    if (m)
        swprintf(out + used, size - used, L"%ls+0x%llx", m->name, (unsigned long long)(address - m->base));
    else
        swprintf(out + used, size - used, L"0x%llx (no module)", (unsigned long long)address);
}

/* The crashed program's command line, read from its process parameters. */
static void command_line(wchar_t *out, size_t size) {
    PROCESS_BASIC_INFORMATION info;
    PEB peb;
    RTL_USER_PROCESS_PARAMETERS parameters;
    SIZE_T got;
    out[0] = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, NULL) != 0 ||
        !ReadProcessMemory(process, info.PebBaseAddress, &peb, sizeof peb, &got) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &got))
        return;
    size_t n = parameters.CommandLine.Length / sizeof(wchar_t);
    if (n >= size) n = size - 1;
    if (ReadProcessMemory(process, parameters.CommandLine.Buffer, out, n * sizeof(wchar_t), &got))
        out[n] = 0;
}

/* Up to six code addresses of loaded modules on the stack of the thread, from its top: the
 * callers, as near as a reading of the stack can tell without debug information. */
static void callers(wchar_t *out, size_t size, DWORD thread_id) {
    HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SUSPEND_RESUME, FALSE, thread_id);
    if (!thread) return;
    CONTEXT context;
    context.ContextFlags = CONTEXT_CONTROL;
    if (GetThreadContext(thread, &context)) {
#ifdef _WIN64
        ULONG_PTR sp = context.Rsp;
#else
        ULONG_PTR sp = context.Esp;
#endif
        ULONG_PTR words[1024];
        SIZE_T got = 0;
        ReadProcessMemory(process, (void *)sp, words, sizeof words, &got);
        int shown = 0;
        for (SIZE_T i = 0; i < got / sizeof words[0] && shown < 6; i++) {
            const Module *m = module_at(words[i]);
            if (!m || words[i] - m->base < 0x1000) continue;
            wcsncat(out, shown++ ? L" < " : L"; on the stack: ", size - wcslen(out) - 1);
            describe(out, size, words[i]);
        }
    }
    CloseHandle(thread);
}

/* The crashed program's value of QUILLAMOR_CRASH_LOG: Wine starts the debugger with an
 * environment of its own making, so the program's is read where the program keeps it. */
static wchar_t crash_log[MAX_PATH];

static void find_crash_log(void) {
    PROCESS_BASIC_INFORMATION info;
    PEB peb;
    struct {
        RTL_USER_PROCESS_PARAMETERS known;
        void *environment; /* the field after the command line */
    } parameters;
    SIZE_T got;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, NULL) != 0 ||
        !ReadProcessMemory(process, info.PebBaseAddress, &peb, sizeof peb, &got) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &got))
        return;
    static wchar_t block[32768];
    const char *from = parameters.environment;
    size_t have = 0;
    /* Page by page, until the empty string that ends the block. */
    while (have + 2048 <= sizeof block / sizeof block[0] &&
           ReadProcessMemory(process, from + have * sizeof(wchar_t), block + have, 4096, &got)) {
        have += 2048;
        BOOL ended = FALSE;
        for (size_t i = 1; i < have && !ended; i++) ended = !block[i] && !block[i - 1];
        if (ended) break;
    }
    if (!have) return;
    block[have - 1] = block[have - 2] = 0;
    static const wchar_t name[] = L"QUILLAMOR_CRASH_LOG=";
    for (const wchar_t *v = block; *v; v += wcslen(v) + 1)
        if (_wcsnicmp(v, name, wcslen(name)) == 0) lstrcpynW(crash_log, v + wcslen(name), MAX_PATH);
}

static void report(const wchar_t *line) {
    char text[8192];
    int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text - 2, NULL, NULL);
    if (n <= 0) return;
    text[n - 1] = '\n';
    DWORD written;
    HANDLE out = INVALID_HANDLE_VALUE;
    if (crash_log[0])
        out = CreateFileW(crash_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                          OPEN_ALWAYS, 0, NULL);
    if (out != INVALID_HANDLE_VALUE) {
        WriteFile(out, text, (DWORD)n, &written, NULL);
        CloseHandle(out);
    } else {
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, (DWORD)n, &written, NULL);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    (void)instance, (void)previous, (void)show;
    char *rest;
    DWORD pid = strtoul(arguments, &rest, 10);
    HANDLE attached = (HANDLE)(ULONG_PTR)_strtoui64(rest, NULL, 10);
    static wchar_t line[6000], program[MAX_PATH] = L"?", arguments_line[2048];
    if (!pid || !DebugActiveProcess(pid)) {
        swprintf(line, 6000, L"crash: a program crashed (process %lu) and could not be examined (error %lu)", pid,
                 GetLastError());
        report(line);
        if (attached) SetEvent(attached);
        return 1;
    }
    DEBUG_EVENT event;
    BOOL reported = FALSE, breakpoint_seen = FALSE;
    for (;;) {
        if (!WaitForDebugEvent(&event, 60000)) {
            swprintf(line, 6000, L"crash: %ls (%ls): crashed; no exception reached its debugger within 60 s",
                     program, arguments_line);
            report(line);
            if (process) TerminateProcess(process, 1);
            return 1;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            process = event.u.CreateProcessInfo.hProcess;
            add_module(event.u.CreateProcessInfo.lpBaseOfImage, event.u.CreateProcessInfo.hFile);
            lstrcpyW(program, modules[0].name);
            command_line(arguments_line, 2048);
            find_crash_log();
            break;
        case LOAD_DLL_DEBUG_EVENT:
            add_module(event.u.LoadDll.lpBaseOfDll, event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD *r = &event.u.Exception.ExceptionRecord;
            if (!breakpoint_seen && r->ExceptionCode == EXCEPTION_BREAKPOINT) {
                /* The break of the attachment: let the crashed thread hand on its exception. */
                breakpoint_seen = TRUE;
                if (attached) SetEvent(attached);
                break;
            }
            if (event.u.Exception.dwFirstChance) {
                status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            }
            swprintf(line, 6000, L"crash: %ls (%ls): %hs 0x%08lX at ", program, arguments_line,
                     exception_name(r->ExceptionCode), r->ExceptionCode);
            describe(line, 6000, (ULONG_PTR)r->ExceptionAddress);
            if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2) {
                size_t used = wcslen(line);
                swprintf(line + used, 6000 - used, L" (%ls 0x%llx)",
                         r->ExceptionInformation[0] == 8   ? L"executing"
                         : r->ExceptionInformation[0] == 1 ? L"writing"
                                                           : L"reading",
                         (unsigned long long)r->ExceptionInformation[1]);
            }
            callers(line, 6000, event.dwThreadId);
            report(line);
            reported = TRUE;
            /* Not handled here either: Wine ends the program with the exception's code. */
            status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            if (!reported) {
                swprintf(line, 6000, L"crash: %ls (%ls): crashed and ended before its exception was read", program,
                         arguments_line);
                report(line);
            }
            return 0;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}
