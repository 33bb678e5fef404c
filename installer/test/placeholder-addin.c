/* Stands in for the add-in while the installer is tested without the real DLL: it has the
 * four COM server entry points and registers and unregisters the same kind of keys. Built
 * with -DFAIL_REGISTER it refuses to register, to test a setup that fails half way. */
#include <windows.h>

#define CLSID_TEXT L"{6D3C1F0A-52B7-4E8C-9A41-0F2B7C5D9E13}"
#define PROGID L"Quillamor.Connect"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

#ifndef FAIL_REGISTER
static LONG set_text(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key, name, REG_SZ, value,
                           (DWORD)((lstrlenW(value) + 1) * sizeof(wchar_t)));
}
#endif

HRESULT __stdcall DllRegisterServer(void) {
#ifdef FAIL_REGISTER
    return E_FAIL;
#else
    wchar_t path[MAX_PATH];
    if (!GetModuleFileNameW(self, path, MAX_PATH)) return E_FAIL;
    if (set_text(L"CLSID\\" CLSID_TEXT, NULL, PROGID) ||
        set_text(L"CLSID\\" CLSID_TEXT L"\\InprocServer32", NULL, path) ||
        set_text(L"CLSID\\" CLSID_TEXT L"\\InprocServer32", L"ThreadingModel", L"Apartment") ||
        set_text(L"CLSID\\" CLSID_TEXT L"\\ProgID", NULL, PROGID) ||
        set_text(PROGID L"\\CLSID", NULL, CLSID_TEXT))
        return E_FAIL;
    return S_OK;
#endif
}

HRESULT __stdcall DllUnregisterServer(void) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\" CLSID_TEXT);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"CLSID\\" CLSID_TEXT);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, PROGID);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, PROGID);
    return S_OK;
}

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    (void)clsid;
    (void)iid;
    *out = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT __stdcall DllCanUnloadNow(void) { return S_OK; }
