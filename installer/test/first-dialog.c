/* Starts a program (the setup, without /S) and reports the first window it shows, then ends
 * it before it does anything: a message box prints "message: " and its text, anything else
 * (the setup's own pages) prints "window". Exit code 0 when a window came, 1 when none came
 * within the time limit, 2 when the program could not be started.
 *   first-dialog.exe [--cancel] PROGRAM [ARGUMENTS]
 * With --cancel the setup is ended as a person would: Cancel on its page, then Yes when it
 * asks whether to quit; then "exit N" gives its exit code.                               */
#include <windows.h>
#include <stdio.h>

/* The static control that holds a message box's text. */
#define MESSAGE_TEXT_ID 0xFFFF

struct search {
    DWORD process;
    HWND found;
};

static BOOL CALLBACK visit(HWND window, LPARAM data) {
    struct search *s = (struct search *)data;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == s->process && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t **argv) {
    if (argc < 2) {
        fputs("usage: first-dialog PROGRAM [ARGUMENTS]\n", stderr);
        return 2;
    }
    /* The command line after our own name (and --cancel), as given. */
    int cancel = lstrcmpW(argv[1], L"--cancel") == 0;
    wchar_t *line = GetCommandLineW();
    for (int word = 0; word < 1 + cancel; ++word) {
        int quoted = 0;
        while (*line && (quoted || (*line != L' ' && *line != L'\t'))) {
            if (*line == L'"') quoted = !quoted;
            ++line;
        }
        while (*line == L' ' || *line == L'\t') ++line;
    }

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child)) {
        fprintf(stderr, "first-dialog: cannot start the program (error %lu)\n", GetLastError());
        return 2;
    }
    struct search s = {child.dwProcessId, NULL};
    for (int i = 0; i < 600 && !s.found; ++i) {
        if (WaitForSingleObject(child.hProcess, 50) == WAIT_OBJECT_0) break;
        EnumWindows(visit, (LPARAM)&s);
    }
    int rc = 1;
    if (s.found) {
        wchar_t text[2048] = L"";
        HWND label = GetDlgItem(s.found, MESSAGE_TEXT_ID);
        if (label) {
            GetWindowTextW(label, text, (int)(sizeof text / sizeof text[0]));
            char utf8[4 * 2048];
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, (int)sizeof utf8, NULL, NULL);
            printf("message: %s\n", utf8);
        } else {
            printf("window\n");
        }
        rc = 0;
    } else {
        printf("no window\n");
    }
    fflush(stdout);
    if (cancel && s.found) {
        /* Cancel, then Yes in the box that asks whether to quit (a new window of the setup). */
        PostMessageW(s.found, WM_COMMAND, IDCANCEL, 0);
        HWND page = s.found;
        for (int i = 0; i < 200; ++i) {
            if (WaitForSingleObject(child.hProcess, 50) == WAIT_OBJECT_0) break;
            s.found = NULL;
            EnumWindows(visit, (LPARAM)&s);
            if (s.found && s.found != page && GetDlgItem(s.found, IDYES)) {
                PostMessageW(s.found, WM_COMMAND, IDYES, 0);
                page = s.found;
            }
        }
        DWORD code = 0;
        if (WaitForSingleObject(child.hProcess, 5000) == WAIT_OBJECT_0 && GetExitCodeProcess(child.hProcess, &code))
            printf("exit %lu\n", code);
        else
            printf("still running\n");
        fflush(stdout);
    }
    TerminateProcess(child.hProcess, 3);
    WaitForSingleObject(child.hProcess, 5000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return rc;
}
