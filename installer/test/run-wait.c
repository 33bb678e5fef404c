/* Runs a command line, waits for the program to end and prints "exit N" with its exit code.
 * Wine passes on only the low 8 bits of an exit code, and a setup's codes (1603, 3010, ...)
 * need all of them.
 *   run-wait.exe [--limited] "COMMAND LINE"
 * The command line is passed on as it is written, which matters for an uninstaller's _?=
 * (never quoted). --limited runs it with the filtered half of the administrator's token, as
 * Windows runs an administrator's programs until consent is given: what a deployment tool
 * without rights hands on. Exit code 0 once the program has ended, 2 when it could not be
 * started. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

/* The filtered token linked to this process's, as a primary token; NULL when there is none. */
static HANDLE limited_token(void) {
    HANDLE own, primary = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) return NULL;
    TOKEN_LINKED_TOKEN linked = {0};
    DWORD size = 0;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (GetTokenInformation(own, TokenElevationType, &type, sizeof type, &size) && type == TokenElevationTypeFull &&
        GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size)) {
        DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, NULL, SecurityImpersonation, TokenPrimary, &primary);
        CloseHandle(linked.LinkedToken);
    }
    CloseHandle(own);
    return primary;
}

int wmain(int argc, wchar_t **argv) {
    const BOOL limited = argc == 3 && wcscmp(argv[1], L"--limited") == 0;
    if (argc != 2 && !limited) {
        printf("usage: run-wait.exe [--limited] \"COMMAND LINE\"\n");
        return 2;
    }
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    BOOL started;
    if (limited) {
        HANDLE token = limited_token();
        if (!token) {
            printf("cannot start: no filtered token\n");
            return 2;
        }
        started = CreateProcessAsUserW(token, NULL, argv[2], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
        CloseHandle(token);
    } else {
        started = CreateProcessW(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    }
    if (!started) {
        /* Windows refuses to start a program that needs elevation from a filtered token:
         * that is its exit code as far as a deployment tool can tell. */
        if (GetLastError() == 740) {
            printf("exit 740\n");
            return 0;
        }
        printf("cannot start: error %lu\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    printf("exit %lu\n", code);
    return 0;
}
