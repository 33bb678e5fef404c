/* Runs a command line, waits for the program to end and prints "exit N" with its exit code.
 * Wine passes on only the low 8 bits of an exit code, and a setup's codes (1603, 3010, ...)
 * need all of them.
 *   run-wait.exe "COMMAND LINE"
 * The command line is passed on as it is written, which matters for an uninstaller's _?=
 * (never quoted). Exit code 0 once the program has ended, 2 when it could not be started. */
#include <windows.h>
#include <stdio.h>

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        printf("usage: run-wait.exe \"COMMAND LINE\"\n");
        return 2;
    }
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        printf("cannot start: error %lu\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    printf("exit %lu\n", code);
    return 0;
}
