/* Uninstall.exe, the uninstaller that people, Programs and Features and deployment tools run:
 * it hands the work to the setup's own uninstaller beside it (Uninstall.dat) and returns when
 * that is done, with its exit code.
 *
 * The setup's uninstaller cannot do both by itself. Started as it is, it copies itself to the
 * temporary folder, starts the copy and ends at once, so a script that removes Quillamor and
 * then installs it races with the removal. Started in place it waits, but it keeps its own
 * file open to the end and so can never delete it. This program holds nothing open: the
 * uninstaller it starts (from a copy in the temporary folder) can move it out of the folder
 * while it runs, and so remove the folder.
 *
 *   Uninstall.exe [/S] [/LOG=FILE]     (the arguments go to the uninstaller as they are)
 *
 * Its manifest (uninstall.manifest) asks Windows for an administrator's rights, so a person
 * gets the consent prompt. Where it runs without them all the same (an administrator's
 * filtered token handed on by a tool, a standard user where the prompt is switched off), it
 * changes nothing and ends with 740, the code Windows gives for a program that needs
 * elevation, as the setup does.
 *
 * Exit code: the uninstaller's (docs/admin-guide.md), 740 without an administrator's rights,
 * or 1603 when the uninstaller cannot be started. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#define EXIT_FAILED 1603
/* ERROR_ELEVATION_REQUIRED, which mingw-w64's headers lack: CreateProcess's error for a program
 * that needs elevation, and the exit code for it. */
#define EXIT_NOT_ADMIN 740

/* Whether this process holds an administrator's rights: a token that is not the filtered half
 * of an administrator's (which Windows hands out until consent is given) and that counts the
 * Administrators group among its enabled groups. */
static BOOL administrator(void) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return FALSE;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    BOOL filtered = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
                    type == TokenElevationTypeLimited;
    CloseHandle(token);
    if (filtered) return FALSE;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sid_size = sizeof sid;
    BOOL member = FALSE;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, NULL, sid, &sid_size) ||
        !CheckTokenMembership(NULL, sid, &member))
        return FALSE;
    return member;
}

/* The command line after this program's own name. */
static const wchar_t *arguments(void) {
    const wchar_t *rest = GetCommandLineW();
    if (*rest == L'"') {
        for (rest++; *rest && *rest != L'"'; rest++) {
        }
        if (*rest) rest++;
    } else {
        while (*rest && *rest != L' ' && *rest != L'\t') rest++;
    }
    while (*rest == L' ' || *rest == L'\t') rest++;
    return rest;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR line, int show) {
    (void)instance, (void)previous, (void)line, (void)show;
    if (!administrator()) return EXIT_NOT_ADMIN;
    wchar_t folder[MAX_PATH], core[MAX_PATH + 16], temp[MAX_PATH], copy[MAX_PATH + 8];
    DWORD n = GetModuleFileNameW(NULL, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return EXIT_FAILED;
    wchar_t *slash = wcsrchr(folder, L'\\');
    if (!slash) return EXIT_FAILED;
    *slash = 0;
    _snwprintf(core, MAX_PATH + 16, L"%ls\\Uninstall.dat", folder);

    /* A name of our own in the temporary folder, with .exe on it (the reserved name without
     * it is given back at once). */
    if (!GetTempPathW(MAX_PATH, temp) || !GetTempFileNameW(temp, L"qun", 0, copy)) return EXIT_FAILED;
    DeleteFileW(copy);
    lstrcatW(copy, L".exe");
    if (!CopyFileW(core, copy, FALSE)) return EXIT_FAILED;

    /* _?= tells the uninstaller where the installation is and to run where it is; it has to
     * come last and must not be quoted. */
    const wchar_t *rest = arguments();
    size_t size = lstrlenW(copy) + lstrlenW(rest) + lstrlenW(folder) + 16;
    wchar_t *command = HeapAlloc(GetProcessHeap(), 0, size * sizeof(wchar_t));
    if (!command) return EXIT_FAILED;
    _snwprintf(command, size, L"\"%ls\" %ls _?=%ls", copy, rest, folder);

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    DWORD code = EXIT_FAILED;
    if (CreateProcessW(copy, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else if (GetLastError() == EXIT_NOT_ADMIN) {
        /* The setup's uninstaller asks for rights this process lacks. */
        code = EXIT_NOT_ADMIN;
    }
    if (!DeleteFileW(copy)) MoveFileExW(copy, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return (int)code;
}
