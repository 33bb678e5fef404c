/* Stands in for a running Outlook while a setup runs: it has a window of the class of
 * Outlook's main window, and it may hold the installed add-in loaded, as Outlook does, or one
 * of its files open, as some other program might. Built for 32-bit and 64-bit Windows: a DLL
 * is only loaded by a program of its own bitness.
 *   hold-addin.exe run           holds nothing
 *   hold-addin.exe load PROGID   loads the DLL that the COM registration of PROGID names
 *   hold-addin.exe open FILE     opens the file without letting others write, delete or move it
 * Prints "held ..." once it holds, then waits until its standard input ends. Then, with load,
 * it calls into the loaded DLL once more, to show the code it has is still there whatever was
 * done to the file meanwhile, and prints "still running". Exit code 0, or 1 with the reason. */
#include <windows.h>
#include <stdio.h>

static int fail(const char *what, DWORD error) {
    printf("%s (error %lu)\n", what, error);
    fflush(stdout);
    return 1;
}

static void wait_for_end_of_input(void) {
    char buffer[64];
    DWORD got;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(in, buffer, sizeof buffer, &got, NULL) && got > 0) {
    }
}

/* The InprocServer32 path registered for the ProgID, in this program's registry view. */
static int registered_server(const wchar_t *progid, wchar_t *path, DWORD size) {
    wchar_t key[300], clsid[64];
    DWORD length = sizeof clsid;
    swprintf(key, 300, L"%ls\\CLSID", progid);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key, NULL, RRF_RT_REG_SZ, NULL, clsid, &length)) return 0;
    swprintf(key, 300, L"CLSID\\%ls\\InprocServer32", clsid);
    length = size * sizeof(wchar_t);
    return RegGetValueW(HKEY_CLASSES_ROOT, key, NULL, RRF_RT_REG_SZ, NULL, path, &length) == ERROR_SUCCESS;
}

/* A hidden top-level window of the class of Outlook's main window, which is what a check for
 * a running Outlook by its window finds. */
static void show_outlook_window(void) {
    WNDCLASSW type;
    ZeroMemory(&type, sizeof type);
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(NULL);
    type.lpszClassName = L"rctrl_renwnd32";
    RegisterClassW(&type);
    CreateWindowW(L"rctrl_renwnd32", L"Inbox - Outlook", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL,
                  type.hInstance, NULL);
}

int wmain(int argc, wchar_t **argv) {
    show_outlook_window();
    if (argc == 2 && lstrcmpW(argv[1], L"run") == 0) {
        printf("held nothing\n");
        fflush(stdout);
        wait_for_end_of_input();
        return 0;
    }
    if (argc != 3) return fail("usage: hold-addin.exe run | load PROGID | open FILE", 0);
    wchar_t path[MAX_PATH];
    if (lstrcmpW(argv[1], L"load") == 0) {
        if (!registered_server(argv[2], path, MAX_PATH)) return fail("the ProgID is not registered", GetLastError());
        HMODULE dll = LoadLibraryW(path);
        if (!dll) return fail("the DLL does not load", GetLastError());
        typedef HRESULT(__stdcall * entry)(void);
        entry can_unload = (entry)(void (*)(void))GetProcAddress(dll, "DllCanUnloadNow");
        if (!can_unload) return fail("the DLL has no DllCanUnloadNow", GetLastError());
        printf("held %ls\n", path);
        fflush(stdout);
        wait_for_end_of_input();
        can_unload();
        printf("still running\n");
        fflush(stdout);
        FreeLibrary(dll);
        return 0;
    }
    if (lstrcmpW(argv[1], L"open") == 0) {
        HANDLE file = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE) return fail("the file does not open", GetLastError());
        printf("held %ls\n", argv[2]);
        fflush(stdout);
        wait_for_end_of_input();
        CloseHandle(file);
        return 0;
    }
    return fail("usage: hold-addin.exe run | load PROGID | open FILE", 0);
}
