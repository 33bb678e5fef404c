// The four entry points of the in-process server.
#include <windows.h>
#include <ole2.h>

#include "addin/com/class_factory.h"
#include "addin/com/module.h"
#include "addin/com/registration.h"
#include "host/com/com_edge.h"
#include "host/com/live_objects.h"
#include "quillamor_h.h"
#include "wizard/win32/runtime.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) addin::com::set_module(instance);
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Connect) return CLASS_E_CLASSNOTAVAILABLE;
    return addin::com::connect_factory().QueryInterface(riid, out);
}

// With no object of the add-in alive, no page is left either: only then may the common
// controls go, just before the module itself.
STDAPI DllCanUnloadNow() {
    if (host::com::live_objects() != 0) return S_FALSE;
    wizard::win32::release_common_controls();
    return S_OK;
}

STDAPI DllRegisterServer() {
    HRESULT hr = host::com::com_edge(IID_NULL, [] { addin::com::register_server(); });
    if (FAILED(hr)) host::com::com_edge(IID_NULL, [] { addin::com::unregister_server(); });
    return hr;
}

STDAPI DllUnregisterServer() {
    return host::com::com_edge(IID_NULL, [] { addin::com::unregister_server(); });
}
